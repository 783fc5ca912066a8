// Filling and emptying the cells: hover targeting, file drops, double clicks
// and Clear all.
#include "CellTable.h"
#include "ExtCtrls.h"
#include "MainWindow1.h"
#include "ShellApi.h"
#include "SysUtils.h"

#include <string>

namespace {

// The drop's handle belongs to the handler until it returns, on every path.
class DropHandle {
public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    ~DropHandle() { DragFinish(drop_); }
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    HDROP get() const { return drop_; }

private:
    HDROP drop_;
};

bool IsPictureExtension(const std::string& ext)
{
    return AnsiCompareText(ext, ".BMP") == 0 || AnsiCompareText(ext, ".JPG") == 0 ||
           AnsiCompareText(ext, ".JPEG") == 0;
}

void Empty(TImage* image)
{
    image->Picture()->Assign(nullptr);
}

} // namespace

void TMainForm1::Image1MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "左上";
}
void TMainForm1::Image2MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "上";
}
void TMainForm1::Image3MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "右上";
}
void TMainForm1::Image4MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "左";
}
void TMainForm1::Image5MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "中央";
}
void TMainForm1::Image6MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "右";
}
void TMainForm1::Image7MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "左下";
}
void TMainForm1::Image8MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "下";
}
void TMainForm1::Image9MouseMove(TObject*, TShiftState, int, int)
{
    FHoverCell = "右下";
}

void TMainForm1::Image1DblClick(TObject*)
{
    Empty(Image1);
}
void TMainForm1::Image2DblClick(TObject*)
{
    Empty(Image2);
}
void TMainForm1::Image3DblClick(TObject*)
{
    Empty(Image3);
}
void TMainForm1::Image4DblClick(TObject*)
{
    Empty(Image4);
}
void TMainForm1::Image5DblClick(TObject*)
{
    Empty(Image5);
}
void TMainForm1::Image6DblClick(TObject*)
{
    Empty(Image6);
}
void TMainForm1::Image7DblClick(TObject*)
{
    Empty(Image7);
}
void TMainForm1::Image8DblClick(TObject*)
{
    Empty(Image8);
}
void TMainForm1::Image9DblClick(TObject*)
{
    Empty(Image9);
}

void TMainForm1::D1Click(TObject*)
{
    for (const TCellEntry& cell : Cells)
        Empty(this->*cell.Image);
}

void TMainForm1::WMDropFiles(TMessage& Message)
{
    const DropHandle drop(reinterpret_cast<HDROP>(Message.WParam));
    Message.Result = 0;
    if (DragQueryFileA(drop.get(), 0xFFFFFFFFu, nullptr, 0) == 0)
        return;
    // The path is taken whole, however long, as the system gave it.
    const UINT length = DragQueryFileA(drop.get(), 0, nullptr, 0);
    std::string path(length + 1, '\0');
    DragQueryFileA(drop.get(), 0, path.data(), length + 1);
    path.resize(length);
    if (!IsPictureExtension(ExtractFileExt(path)))
        return;
    for (const TCellEntry& cell : Cells) {
        if (FHoverCell == cell.Key)
            (this->*cell.Image)->Picture()->LoadFromFile(path);
    }
}
