#include "Modals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

ModalWatcher::ModalWatcher() : timer_(new QTimer())
{
    QObject::connect(timer_, &QTimer::timeout, [this] { Poll(); });
    timer_->start(5);
}

ModalWatcher::~ModalWatcher()
{
    delete timer_;
}

void ModalWatcher::Clear()
{
    boxes_.clear();
    popups_.clear();
}

void ModalWatcher::Poll()
{
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        popups_.push_back(texts);
        menu->close();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        SeenBox seen;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        boxes_.push_back(seen);
        box->done(QMessageBox::Ok);
    }
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}
