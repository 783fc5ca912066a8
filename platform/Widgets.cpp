#include "Widgets.h"

#include "Controls.h"
#include "Drop.h"
#include "Forms.h"
#include "Guard.h"
#include "Menus.h"
#include "ShellApi.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace {

TShiftState ShiftOf(const QMouseEvent& e)
{
    TShiftState s = 0;
    const auto mods = e.modifiers();
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (e.buttons() & Qt::LeftButton)
        s |= ssLeft;
    if (e.buttons() & Qt::RightButton)
        s |= ssRight;
    if (e.buttons() & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

std::vector<std::string> LocalFiles(const QMimeData* mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

// A drop waiting for delivery; released if the window goes before it arrives.
struct PendingDrop {
    HDROP drop;
    explicit PendingDrop(HDROP d) : drop(d) {}
    ~PendingDrop()
    {
        if (drop)
            DragFinish(drop);
    }
    PendingDrop(const PendingDrop&) = delete;
    PendingDrop& operator=(const PendingDrop&) = delete;
};

} // namespace

ControlWidget::ControlWidget(TControl& control, QWidget* parent) : QWidget(parent), control_(control)
{
    setMouseTracking(true);
}

void ControlWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GuardedPaint([&] { control_.Paint(painter); });
}

void ControlWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Guarded([&] { control_.MouseMove(ShiftOf(*event), p.x(), p.y()); });
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Guarded([&] { control_.DblClick(); });
}

void ControlWidget::mousePressEvent(QMouseEvent* event)
{
    // A right button press is left to the parent window, which opens its menu.
    if (event->button() == Qt::RightButton)
        event->ignore();
}

FormWidget::FormWidget(TForm& form) : QWidget(nullptr), form_(form) {}

void FormWidget::SetAcceptFileDrops(bool accept)
{
    setAcceptDrops(accept);
}

void FormWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GuardedPaint([&] { form_.Paint(painter); });
}

void FormWidget::closeEvent(QCloseEvent* event)
{
    event->accept();
    Application->FormClosed(&form_);
}

void FormWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (TPopupMenu* menu = form_.PopupMenu()) {
        const QPoint at = event->globalPos();
        Guarded([&] { menu->Popup(at.x(), at.y()); });
    }
}

void FormWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FormWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (!LocalFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FormWidget::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    // Delivered once the drag has ended, so that a box shown for a bad file
    // never holds the file manager's drag open.
    auto pending = std::make_shared<PendingDrop>(NewDrop(std::move(paths)));
    QTimer::singleShot(0, this, [this, pending] {
        TMessage message;
        message.Msg = WM_DROPFILES;
        message.WParam = reinterpret_cast<WPARAM>(pending->drop);
        pending->drop = nullptr; // the receiver releases it now
        Guarded([&] { form_.Dispatch(&message); });
    });
}
