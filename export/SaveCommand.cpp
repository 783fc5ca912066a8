// The Save command: the board as a JPEG file where the user chooses, with a
// question before a file is replaced.
#include "BoardSnapshot.h"
#include "Dialogs.h"
#include "MainWindow1.h"
#include "SysUtils.h"

void TMainForm1::Save1Click(TObject*)
{
    const TBoardExportObjects objects;
    // Taken before any dialog can cover the board.
    CaptureBoard(*this);
    if (!SavePictureDialog1->Execute())
        return;
    if (FileExists(SavePictureDialog1->FileName())) {
        const TMessageText question =
            TMessageText::Path(SavePictureDialog1->FileName()) + " は既に存在します。\n上書きしますか？";
        if (MessageDlg(question, mtConfirmation, mbYes | mbNo, 0) != mrYes)
            return;
    }
    WriteBoardJpeg(*this, SavePictureDialog1->FileName(), objects.Jpeg(), objects.Bitmap());
}
