#include "ExtCtrls.h"

#include "Cp932.h"
#include "Exceptions.h"
#include "FormReader.h"
#include "Widgets.h"

#include <QImage>
#include <QPainter>

namespace {

QColor ToQColor(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

TShape::TShape(TComponent* owner) : TControl(owner)
{
    AdoptWidget(new ControlWidget(*this, nullptr));
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape() = default;

void TShape::SetBrushColor(TColor color)
{
    brushColor_ = color;
    Invalidate();
}

void TShape::SetPenStyle(TPenStyle style)
{
    penStyle_ = style;
    Invalidate();
}

bool TShape::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Brush.Color")
        SetBrushColor(reader.Color(value));
    else if (name == "Pen.Style" && (value == "psClear" || value == "psSolid"))
        SetPenStyle(value == "psClear" ? psClear : psSolid);
    else
        return TControl::ReadProperty(name, value, reader);
    return true;
}

void TShape::Paint(QPainter& painter)
{
    const QRect box(0, 0, Width(), Height());
    painter.fillRect(box, ToQColor(brushColor_));
    if (penStyle_ == psSolid) {
        painter.setPen(ToQColor(penColor_));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

// ---------------------------------------------------------------------------

TImage::TImage(TComponent* owner)
    : TControl(owner), picture_(std::make_unique<TPicture>()), rendition_(std::make_unique<QImage>())
{
    AdoptWidget(new ControlWidget(*this, nullptr));
    SetBounds(0, 0, 105, 105);
    picture_->SetOnChange([this] { PictureChanged(); });
}

TImage::~TImage() = default;

void TImage::SetStretch(bool stretch)
{
    stretch_ = stretch;
    PictureChanged();
}

TCanvas* TImage::Canvas()
{
    if (!picture_->Graphic()) {
        TBitmap* bitmap = picture_->Bitmap();
        bitmap->SetSize(Width(), Height());
    }
    auto* bitmap = dynamic_cast<TBitmap*>(picture_->Graphic());
    if (!bitmap)
        throw Exception(Utf8ToCp932("ビットマップを含むイメージ以外は変更できません"));
    // Whatever is drawn on the canvas shows at the next paint.
    PictureChanged();
    return bitmap->Canvas();
}

bool TImage::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Stretch")
        SetStretch(reader.Bool(value));
    else if (name == "OnMouseMove")
        OnMouseMove = reader.MouseMoveMethod(value);
    else if (name == "OnDblClick")
        OnDblClick = reader.NotifyMethod(value);
    else
        return TControl::ReadProperty(name, value, reader);
    return true;
}

void TImage::Paint(QPainter& painter)
{
    TGraphic* graphic = picture_->Graphic();
    if (!graphic)
        return;
    if (!stretch_) {
        if (const QImage* pixels = graphic->Pixels())
            painter.drawImage(0, 0, *pixels);
        return;
    }
    // Drawn at the device's own resolution so that the view stays sharp on
    // a scaled screen. The view keeps only this rendition, not the picture's
    // full pixels, and has it made again only when that size changes.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const int w = qRound(Width() * ratio);
    const int h = qRound(Height() * ratio);
    if (rendition_->isNull() || rendition_->width() != w || rendition_->height() != h) {
        *rendition_ = QImage(); // the old one goes before the new one is made
        *rendition_ = graphic->Rendition(w, h);
    }
    if (rendition_->isNull())
        return;
    rendition_->setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), *rendition_);
}

void TImage::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TImage::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TImage::PictureChanged()
{
    *rendition_ = QImage();
    Invalidate();
}
