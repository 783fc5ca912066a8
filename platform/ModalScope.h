#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

// Gives the keyboard back to the window that had it once a modal dialog of
// the layer closes, so that its shortcuts work again at once, also where the
// window system does not do so by itself.
class ModalScope {
public:
    ModalScope() : previous_(QApplication::activeWindow()) {}
    ~ModalScope()
    {
        if (previous_)
            previous_->activateWindow();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    QPointer<QWidget> previous_;
};
