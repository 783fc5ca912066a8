#pragma once

#include "Classes.h"

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

enum TMenuAutoFlag { maAutomatic, maManual, maParent };

// One item of a menu: a caption whose "&" marks the access key ("-" makes a
// separator), a shortcut, a plain check mark that only the program sets or
// clears, and a submenu of further items.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    // Chooses the item as the user would.
    void Click();

    TNotifyEvent OnClick;

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    bool SetParentComponent(TComponent* parent) override;

    // Platform side.
    QAction* Action() const { return action_; }
    QMenu* Submenu() const { return submenu_; }
    // Makes the shortcuts of this item and its submenu work in the window.
    void AddShortcutsTo(QWidget* window);

private:
    void Refresh();
    QAction* action_;
    QMenu* submenu_ = nullptr;
    AnsiString caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false;
    std::vector<TMenuItem*> items_;
};

// The menu that opens at the pointer.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TMenuItem* Items() const { return root_.get(); }
    TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
    // Opens the menu at a screen position and returns once it has closed.
    void Popup(int x, int y);

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    bool SetParentComponent(TComponent* parent) override;

    // Platform side.
    QMenu* Menu() const { return root_->Submenu(); }
    void AttachTo(QWidget* window);

private:
    std::unique_ptr<TMenuItem> root_;
    TMenuAutoFlag autoHotkeys_ = maAutomatic;
};
