#pragma once

#include "AnsiString.h"
#include "Forms.h"
#include "Types.h"

class TImage;
class TShape;
class TPopupMenu;
class TMenuItem;
class TSavePictureDialog;
class TShadowLabel;

// The board window: nine cells of 160 x 120, each a panel, a picture view and
// a badge; the right-click menu with every command; the save dialog.
class TMainForm1 : public TForm {
public:
    TImage* Image1;
    TImage* Image2;
    TImage* Image3;
    TImage* Image4;
    TImage* Image5;
    TImage* Image6;
    TImage* Image7;
    TImage* Image8;
    TImage* Image9;
    TShape* Shape1;
    TShape* Shape2;
    TShape* Shape3;
    TShape* Shape4;
    TShape* Shape5;
    TShape* Shape6;
    TShape* Shape7;
    TShape* Shape8;
    TShape* Shape9;
    TPopupMenu* PopupMenu1;
    TMenuItem* Save1;
    TSavePictureDialog* SavePictureDialog1;
    TImage* Image0;
    TMenuItem* M1;
    TMenuItem* N1;
    TMenuItem* N2;
    TShadowLabel* Label1;
    TShadowLabel* Label2;
    TShadowLabel* Label3;
    TShadowLabel* Label4;
    TShadowLabel* Label5;
    TShadowLabel* Label6;
    TShadowLabel* Label7;
    TShadowLabel* Label8;
    TShadowLabel* Label9;
    TMenuItem* N3;
    TMenuItem* N4;
    TMenuItem* D1;
    TMenuItem* N6;
    TMenuItem* N7;
    TMenuItem* N8;
    TMenuItem* N10;
    TMenuItem* N11;
    TMenuItem* N9;

    void Dispatch(void* Message) override;
    ~TMainForm1() override;
    explicit TMainForm1(TComponent* Owner);

    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image3MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image4MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image5MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image6MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image7MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image8MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image9MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1DblClick(TObject* Sender);
    void Image2DblClick(TObject* Sender);
    void Image3DblClick(TObject* Sender);
    void Image4DblClick(TObject* Sender);
    void Image5DblClick(TObject* Sender);
    void Image6DblClick(TObject* Sender);
    void Image7DblClick(TObject* Sender);
    void Image8DblClick(TObject* Sender);
    void Image9DblClick(TObject* Sender);
    void Save1Click(TObject* Sender);
    void M1Click(TObject* Sender);
    void D1Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N6Click(TObject* Sender);
    void N7Click(TObject* Sender);
    void N8Click(TObject* Sender);
    void N10Click(TObject* Sender);
    void N11Click(TObject* Sender);

    // The position key of the picture view that last received a mouse move.
    const AnsiString& HoverCell() const { return FHoverCell; }

private:
    AnsiString FHoverCell;
    void WMDropFiles(TMessage& Message);
    TMethodTable Methods();
    void BindFields();
};

extern TMainForm1* MainForm1;
