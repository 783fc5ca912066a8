#pragma once

#include "Classes.h"
#include "Types.h"

#include <memory>
#include <string>

class QPainter;
class QWidget;

// A control drawn on its parent's surface. Controls of one parent are drawn
// in creation order, each over those created before it, and the mouse at a
// point goes to the last-created visible control that holds the point.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    bool Visible() const { return visible_; }
    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool visible);
    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    // Schedules a repaint of the control.
    void Invalidate();

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    bool SetParentComponent(TComponent* parent) override;

    // Platform side: the widget that stands for the control, and the events
    // its widget passes on. Exceptions raised by handlers are shown by the
    // application's default exception display.
    QWidget* Widget() const { return widget_; }
    virtual void Paint(QPainter& painter);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void DblClick();
    // True when the control takes mouse input inside its rectangle.
    virtual bool TakesMouse() const { return true; }

protected:
    // Made by the derived control's constructor; the control deletes it.
    void AdoptWidget(QWidget* widget);

private:
    QWidget* widget_ = nullptr;
    TControl* parent_ = nullptr;
    bool visible_ = true;
};
