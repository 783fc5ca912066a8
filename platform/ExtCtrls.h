#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <memory>

class QImage;

enum TPenStyle { psSolid, psClear };

// A filled rectangle.
class TShape : public TControl {
public:
    explicit TShape(TComponent* owner);
    ~TShape() override;

    void SetBrushColor(TColor color);
    void SetPenStyle(TPenStyle style);

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    void Paint(QPainter& painter) override;

private:
    TColor brushColor_ = clWhite;
    TColor penColor_ = clBlack;
    TPenStyle penStyle_ = psSolid;
};

// A picture view: shows its picture, stretched over its whole rectangle when
// Stretch is set; an empty view draws nothing.
class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture* Picture() const { return picture_.get(); }
    void SetStretch(bool stretch);
    // The picture's bitmap canvas; an empty view first gets a bitmap of its
    // own size.
    TCanvas* Canvas();

    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnDblClick;

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    void Paint(QPainter& painter) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    // What was last drawn, at the sizes in device pixels it was drawn at.
    struct Renditions;
    std::unique_ptr<Renditions> renditions_;
    bool stretch_ = false;
};
