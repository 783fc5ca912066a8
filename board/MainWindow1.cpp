#include "MainWindow1.h"

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "ShadowLabel.h"
#include "ShellApi.h"

#include <functional>

// The window's form description, embedded at build time.
extern const char kMainForm1Description[];
extern const unsigned long kMainForm1DescriptionSize;

TMainForm1* MainForm1 = nullptr;

TMainForm1::TMainForm1(TComponent* Owner) : TForm(Owner)
{
    ReadForm(std::string_view(kMainForm1Description, kMainForm1DescriptionSize), Methods());
    BindFields();
    FHoverCell = "";
    DragAcceptFiles(Handle(), TRUE);
}

TMainForm1::~TMainForm1()
{
    FHoverCell.clear();
}

void TMainForm1::Dispatch(void* Message)
{
    auto* message = static_cast<TMessage*>(Message);
    if (message->Msg == WM_DROPFILES)
        WMDropFiles(*message);
    else
        TForm::Dispatch(Message);
}

TMethodTable TMainForm1::Methods()
{
    using std::placeholders::_1;
    using std::placeholders::_2;
    using std::placeholders::_3;
    using std::placeholders::_4;
    const auto move = [this](void (TMainForm1::*handler)(TObject*, TShiftState, int, int)) {
        return TMethod(TMouseMoveEvent(std::bind(handler, this, _1, _2, _3, _4)));
    };
    const auto notify = [this](void (TMainForm1::*handler)(TObject*)) {
        return TMethod(TNotifyEvent(std::bind(handler, this, _1)));
    };
    return {
        {"Image1MouseMove", move(&TMainForm1::Image1MouseMove)},
        {"Image2MouseMove", move(&TMainForm1::Image2MouseMove)},
        {"Image3MouseMove", move(&TMainForm1::Image3MouseMove)},
        {"Image4MouseMove", move(&TMainForm1::Image4MouseMove)},
        {"Image5MouseMove", move(&TMainForm1::Image5MouseMove)},
        {"Image6MouseMove", move(&TMainForm1::Image6MouseMove)},
        {"Image7MouseMove", move(&TMainForm1::Image7MouseMove)},
        {"Image8MouseMove", move(&TMainForm1::Image8MouseMove)},
        {"Image9MouseMove", move(&TMainForm1::Image9MouseMove)},
        {"Image1DblClick", notify(&TMainForm1::Image1DblClick)},
        {"Image2DblClick", notify(&TMainForm1::Image2DblClick)},
        {"Image3DblClick", notify(&TMainForm1::Image3DblClick)},
        {"Image4DblClick", notify(&TMainForm1::Image4DblClick)},
        {"Image5DblClick", notify(&TMainForm1::Image5DblClick)},
        {"Image6DblClick", notify(&TMainForm1::Image6DblClick)},
        {"Image7DblClick", notify(&TMainForm1::Image7DblClick)},
        {"Image8DblClick", notify(&TMainForm1::Image8DblClick)},
        {"Image9DblClick", notify(&TMainForm1::Image9DblClick)},
        {"Save1Click", notify(&TMainForm1::Save1Click)},
        {"M1Click", notify(&TMainForm1::M1Click)},
        {"D1Click", notify(&TMainForm1::D1Click)},
        {"N4Click", notify(&TMainForm1::N4Click)},
        {"N6Click", notify(&TMainForm1::N6Click)},
        {"N7Click", notify(&TMainForm1::N7Click)},
        {"N8Click", notify(&TMainForm1::N8Click)},
        {"N10Click", notify(&TMainForm1::N10Click)},
        {"N11Click", notify(&TMainForm1::N11Click)},
    };
}

void TMainForm1::BindFields()
{
#define BIND(field) Bind(field, #field)
    BIND(Image1), BIND(Image2), BIND(Image3), BIND(Image4), BIND(Image5);
    BIND(Image6), BIND(Image7), BIND(Image8), BIND(Image9);
    BIND(Shape1), BIND(Shape2), BIND(Shape3), BIND(Shape4), BIND(Shape5);
    BIND(Shape6), BIND(Shape7), BIND(Shape8), BIND(Shape9);
    BIND(PopupMenu1), BIND(Save1), BIND(SavePictureDialog1), BIND(Image0);
    BIND(M1), BIND(N1), BIND(N2);
    BIND(Label1), BIND(Label2), BIND(Label3), BIND(Label4), BIND(Label5);
    BIND(Label6), BIND(Label7), BIND(Label8), BIND(Label9);
    BIND(N3), BIND(N4), BIND(D1), BIND(N6), BIND(N7), BIND(N8), BIND(N10), BIND(N11), BIND(N9);
#undef BIND
}
