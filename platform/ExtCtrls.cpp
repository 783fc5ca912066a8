#include "ExtCtrls.h"

#include "Cp932.h"
#include "Exceptions.h"
#include "FormReader.h"
#include "Widgets.h"

#include <QImage>
#include <QPainter>
#include <utility>

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

struct TImage::Renditions {
    QImage recent[2]; // the last used first
};

TImage::TImage(TComponent* owner)
    : TControl(owner), picture_(std::make_unique<TPicture>()), renditions_(std::make_unique<Renditions>())
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
    // Drawn at the resolution it lands at, so that the view stays sharp on a
    // scaled screen and a snapshot of the window, drawn at one pixel per
    // pixel, shows the exact stretch. The view keeps only the renditions of
    // the last two sizes (the screen's and the snapshot's), never the
    // picture's full pixels.
    const qreal scale = painter.deviceTransform().m11();
    const qreal ratio = scale > 0 ? scale : painter.device()->devicePixelRatioF();
    const QSize size(qRound(Width() * ratio), qRound(Height() * ratio));
    QImage* recent = renditions_->recent;
    if (recent[0].isNull() || recent[0].size() != size) {
        if (!recent[1].isNull() && recent[1].size() == size) {
            std::swap(recent[0], recent[1]);
        } else {
            recent[1] = std::move(recent[0]);
            recent[0] = graphic->Rendition(size.width(), size.height());
        }
    }
    if (recent[0].isNull())
        return;
    // Placed in the view's own pixels whatever the device's scale.
    painter.drawImage(QRectF(0, 0, Width(), Height()), recent[0]);
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
    renditions_->recent[0] = QImage();
    renditions_->recent[1] = QImage();
    Invalidate();
}
