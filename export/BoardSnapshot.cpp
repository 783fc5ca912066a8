#include "BoardSnapshot.h"

#include "ExtCtrls.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "MainWindow1.h"

void CaptureBoard(TMainForm1& Form)
{
    const TRect board = Rect(0, 0, 480, 360);
    Form.Image0->Canvas()->CopyRect(board, Form.Canvas(), board);
}

void WriteBoardJpeg(TMainForm1& Form, const std::string& Path, TJPEGImage& Jpeg, TBitmap& Bitmap)
{
    Bitmap.Assign(Form.Image0->Picture()->Graphic());
    Jpeg.Assign(&Bitmap);
    Jpeg.SetCompressionQuality(80);
    Jpeg.SaveToFile(Path);
}

TBoardExportObjects::TBoardExportObjects()
    : jpeg_(std::make_unique<TJPEGImage>()), bitmap_(std::make_unique<TBitmap>())
{
}

TBoardExportObjects::~TBoardExportObjects()
{
    jpeg_.reset();
    bitmap_.reset();
}
