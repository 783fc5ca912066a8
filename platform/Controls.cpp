#include "Controls.h"

#include "FormReader.h"

#include <QWidget>

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl()
{
    delete widget_;
}

void TControl::AdoptWidget(QWidget* widget)
{
    widget_ = widget;
}

int TControl::Left() const
{
    return widget_->x();
}

int TControl::Top() const
{
    return widget_->y();
}

int TControl::Width() const
{
    return widget_->width();
}

int TControl::Height() const
{
    return widget_->height();
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    widget_->setGeometry(left, top, width, height);
}

void TControl::SetVisible(bool visible)
{
    visible_ = visible;
    if (parent_)
        widget_->setVisible(visible);
}

void TControl::SetParent(TControl* parent)
{
    parent_ = parent;
    widget_->setParent(parent ? parent->Widget() : nullptr);
    if (parent)
        widget_->setVisible(visible_);
}

void TControl::Invalidate()
{
    widget_->update();
}

bool TControl::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Left")
        widget_->move(reader.Int(value), widget_->y());
    else if (name == "Top")
        widget_->move(widget_->x(), reader.Int(value));
    else if (name == "Width")
        widget_->resize(reader.Int(value), widget_->height());
    else if (name == "Height")
        widget_->resize(widget_->width(), reader.Int(value));
    else if (name == "Visible")
        SetVisible(reader.Bool(value));
    else
        return TComponent::ReadProperty(name, value, reader);
    return true;
}

bool TControl::SetParentComponent(TComponent* parent)
{
    auto* control = dynamic_cast<TControl*>(parent);
    if (!control)
        return false;
    SetParent(control);
    return true;
}

void TControl::Paint(QPainter&) {}

void TControl::MouseMove(TShiftState, int, int) {}

void TControl::DblClick() {}
