#include "Menus.h"

#include "Cp932.h"
#include "FormReader.h"
#include "Guard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace {

QString ToQString(const AnsiString& text)
{
    return QString::fromStdString(Cp932ToUtf8(text));
}

// The key of a virtual-key code, for the keys a shortcut may name.
int KeyOfVirtualKey(unsigned vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return static_cast<int>(vk); // Qt's letter and digit keys are their ASCII codes
    if (vk >= 0x70 && vk <= 0x87)
        return Qt::Key_F1 + static_cast<int>(vk - 0x70);
    switch (vk) {
    case 0x08:
        return Qt::Key_Backspace;
    case 0x09:
        return Qt::Key_Tab;
    case 0x0D:
        return Qt::Key_Return;
    case 0x1B:
        return Qt::Key_Escape;
    case 0x20:
        return Qt::Key_Space;
    case 0x21:
        return Qt::Key_PageUp;
    case 0x22:
        return Qt::Key_PageDown;
    case 0x23:
        return Qt::Key_End;
    case 0x24:
        return Qt::Key_Home;
    case 0x25:
        return Qt::Key_Left;
    case 0x26:
        return Qt::Key_Up;
    case 0x27:
        return Qt::Key_Right;
    case 0x28:
        return Qt::Key_Down;
    case 0x2D:
        return Qt::Key_Insert;
    case 0x2E:
        return Qt::Key_Delete;
    default:
        return 0;
    }
}

QKeySequence KeySequenceOf(TShortCut shortCut)
{
    const int key = KeyOfVirtualKey(shortCut & 0xFFu);
    if (key == 0)
        return QKeySequence();
    int modifiers = 0;
    if (shortCut & scShift)
        modifiers |= Qt::SHIFT;
    if (shortCut & scCtrl)
        modifiers |= Qt::CTRL;
    if (shortCut & scAlt)
        modifiers |= Qt::ALT;
    return QKeySequence(modifiers | key);
}

} // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(new QAction())
{
    QObject::connect(action_, &QAction::triggered, [this] {
        // A check mark changes only when the program sets it.
        Refresh();
        Guarded([this] { Click(); });
    });
}

TMenuItem::~TMenuItem()
{
    delete action_;
    delete submenu_;
}

void TMenuItem::SetCaption(const AnsiString& caption)
{
    caption_ = caption;
    Refresh();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    shortCut_ = shortCut;
    Refresh();
}

void TMenuItem::SetChecked(bool checked)
{
    checked_ = checked;
    Refresh();
}

void TMenuItem::Add(TMenuItem* item)
{
    items_.push_back(item);
    if (!submenu_) {
        submenu_ = new QMenu();
        action_->setMenu(submenu_);
    }
    submenu_->addAction(item->Action());
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::Refresh()
{
    const bool separator = caption_ == "-";
    action_->setSeparator(separator);
    action_->setText(separator ? QString() : ToQString(caption_));
    action_->setShortcut(KeySequenceOf(shortCut_));
    // Only a checked item is checkable, so that an unchecked one shows no
    // empty box and choosing an item never toggles its mark by itself.
    action_->setCheckable(checked_);
    action_->setChecked(checked_);
}

bool TMenuItem::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Caption")
        SetCaption(reader.Text(value));
    else if (name == "ShortCut")
        SetShortCut(static_cast<TShortCut>(reader.Int(value)));
    else if (name == "Checked")
        SetChecked(reader.Bool(value));
    else if (name == "OnClick")
        OnClick = reader.NotifyMethod(value);
    else
        return TComponent::ReadProperty(name, value, reader);
    return true;
}

bool TMenuItem::SetParentComponent(TComponent* parent)
{
    if (auto* menu = dynamic_cast<TPopupMenu*>(parent))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else
        return false;
    return true;
}

void TMenuItem::AddShortcutsTo(QWidget* window)
{
    if (shortCut_ != 0)
        window->addAction(action_);
    for (TMenuItem* item : items_)
        item->AddShortcutsTo(window);
}

// ---------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), root_(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y)
{
    if (QMenu* menu = Menu())
        menu->exec(QPoint(x, y));
}

bool TPopupMenu::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "AutoHotkeys" && (value == "maManual" || value == "maAutomatic")) {
        autoHotkeys_ = value == "maManual" ? maManual : maAutomatic;
        return true;
    }
    return TComponent::ReadProperty(name, value, reader);
}

bool TPopupMenu::SetParentComponent(TComponent*)
{
    return true;
}

void TPopupMenu::AttachTo(QWidget* window)
{
    root_->AddShortcutsTo(window);
}
