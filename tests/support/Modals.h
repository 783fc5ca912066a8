#pragma once

#include <QString>
#include <QStringList>
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
    // Texts of the actions of every popup menu seen, one list per menu.
    const std::vector<QStringList>& Popups() const { return popups_; }
    void Clear();

private:
    void Poll();
    QTimer* timer_;
    std::vector<SeenBox> boxes_;
    std::vector<QStringList> popups_;
};

// Lets queued events and repaints run.
void Settle();
