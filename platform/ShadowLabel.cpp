#include "ShadowLabel.h"

#include "Cp932.h"
#include "FontMapping.h"
#include "FormReader.h"
#include "Widgets.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor ToQColor(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

bool TShadow::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Visible")
        Visible = reader.Bool(value);
    else if (name == "Color")
        Color = reader.Color(value);
    else if (name == "OffsetLeft")
        OffsetLeft = reader.Int(value);
    else if (name == "OffsetTop")
        OffsetTop = reader.Int(value);
    else
        return false;
    return true;
}

TShadowLabel::TShadowLabel(TComponent* owner)
    : TControl(owner), font_(std::make_unique<TFont>()), shadow_(std::make_unique<TShadow>()),
      highlight_(std::make_unique<TShadow>())
{
    AdoptWidget(new ControlWidget(*this, nullptr));
    shadow_->Visible = true;
    highlight_->Color = clWhite;
    highlight_->OffsetLeft = -1;
    highlight_->OffsetTop = -1;
    font_->SetOnChange([this] { Changed(); });
}

TShadowLabel::~TShadowLabel() = default;

void TShadowLabel::SetCaption(const AnsiString& caption)
{
    caption_ = caption;
    Changed();
}

bool TShadowLabel::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Caption")
        SetCaption(reader.Text(value));
    else if (name.rfind("Font.", 0) == 0)
        return font_->ReadProperty(name.substr(5), value, reader);
    else if (name.rfind("Shadow.", 0) == 0)
        return shadow_->ReadProperty(name.substr(7), value, reader);
    else if (name.rfind("Highlight.", 0) == 0)
        return highlight_->ReadProperty(name.substr(10), value, reader);
    else if (name == "AutoSize")
        autoSize_ = reader.Bool(value);
    else if (name == "Transparent")
        transparent_ = reader.Bool(value);
    else if (name == "Color")
        color_ = reader.Color(value);
    else if (name == "ParentFont" || name == "Flickerless" || name == "Enabled")
        reader.Bool(value); // the badge's look does not depend on these here
    else
        return TControl::ReadProperty(name, value, reader);
    return true;
}

void TShadowLabel::Loaded()
{
    loading_ = false;
    Changed();
}

void TShadowLabel::Changed()
{
    if (loading_)
        return;
    if (autoSize_) {
        const QFontMetrics metrics(ToQFont(*font_));
        const QString text = QString::fromStdString(Cp932ToUtf8(caption_));
        SetBounds(Left(), Top(), metrics.horizontalAdvance(text), metrics.height());
    }
    Invalidate();
}

void TShadowLabel::Paint(QPainter& painter)
{
    const QRect box(0, 0, Width(), Height());
    painter.setClipRect(box);
    if (!transparent_)
        painter.fillRect(box, ToQColor(color_));
    painter.setFont(ToQFont(*font_));
    const QString text = QString::fromStdString(Cp932ToUtf8(caption_));
    const auto drawAt = [&](int dx, int dy, TColor color) {
        painter.setPen(ToQColor(color));
        painter.drawText(box.translated(dx, dy), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    };
    if (highlight_->Visible)
        drawAt(highlight_->OffsetLeft, highlight_->OffsetTop, highlight_->Color);
    if (shadow_->Visible)
        drawAt(shadow_->OffsetLeft, shadow_->OffsetTop, shadow_->Color);
    drawAt(0, 0, font_->Color());
}
