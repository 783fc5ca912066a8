#include "Modals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

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
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || busy_ || !modal->isVisible())
        return;
    busy_ = true;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        SeenBox seen;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text();
        if (box->escapeButton())
            seen.escapeButton = box->escapeButton()->text();
        boxes_.push_back(seen);
    }
    if (!answers_.empty()) {
        auto action = std::move(answers_.front());
        answers_.erase(answers_.begin());
        action(modal);
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        box->done(QMessageBox::Ok);
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    }
    busy_ = false;
}

namespace answer {

std::function<void(QWidget*)> TypeFileName(const QString& folder, const QString& name)
{
    return [folder, name](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        // A folder that does not exist cannot be opened: its path is typed.
        const bool exists = QDir(folder).exists();
        if (exists)
            dialog->setDirectory(folder);
        // A person reads the dialog before typing; its folder fills in meanwhile.
        QTest::qWait(150);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(edit);
        edit->clear();
        QTest::keyClicks(edit, exists ? name : folder + QLatin1Char('/') + name);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

std::function<void(QWidget*)> CancelFileDialog(QString* offered)
{
    return [offered](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        if (offered && !dialog->selectedFiles().isEmpty())
            *offered = dialog->selectedFiles().front();
        dialog->reject();
    };
}

std::function<void(QWidget*)> Click(const QString& button)
{
    return [button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << button.toStdString();
        box->done(0);
    };
}

std::function<void(QWidget*)> Press(int key)
{
    return [key](QWidget* w) { QTest::keyClick(w, static_cast<Qt::Key>(key)); };
}

std::function<void(QWidget*)> CloseBox()
{
    return [](QWidget* w) { w->close(); };
}

} // namespace answer

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}
