#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QTimer;
class QWidget;

// What a modal message box showed before the watcher answered it.
struct SeenBox {
    QString title;
    QString text;
    int icon = 0; // QMessageBox::Icon
    QStringList buttons;
    QString defaultButton;
    QString escapeButton;
};

// Answers modal message boxes and closes popup menus as they open, so that a
// test never waits for a person, and records what they showed.
class ModalWatcher {
public:
    ModalWatcher();
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    const std::vector<SeenBox>& Boxes() const { return boxes_; }
    // Answers the next modal dialog (a message box or a file dialog) with
    // this action instead of the default, which accepts a box with its
    // first button.
    void Answer(std::function<void(QWidget*)> action) { answers_.push_back(std::move(action)); }
    bool AllAnswered() const { return answers_.empty(); }
    // Texts of the actions of every popup menu seen, one list per menu.
    const std::vector<QStringList>& Popups() const { return popups_; }
    void Clear();

private:
    void Poll();
    QTimer* timer_;
    std::vector<SeenBox> boxes_;
    std::vector<QStringList> popups_;
    std::vector<std::function<void(QWidget*)>> answers_;
    bool busy_ = false;
};

// Answers for the dialogs of the layer.
namespace answer {
// Types a name into a file dialog, in a folder, and presses Enter.
std::function<void(QWidget*)> TypeFileName(const QString& folder, const QString& name);
// Reads the name a file dialog offers, then cancels it.
std::function<void(QWidget*)> CancelFileDialog(QString* offered = nullptr);
// Clicks the message box button with this text.
std::function<void(QWidget*)> Click(const QString& button);
// Presses a key in a message box.
std::function<void(QWidget*)> Press(int key);
// Closes a message box by its window's close button.
std::function<void(QWidget*)> CloseBox();
} // namespace answer

// Lets queued events and repaints run.
void Settle();
