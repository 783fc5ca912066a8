#include "Forms.h"

#include "Cp932.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FontMapping.h"
#include "Menus.h"
#include "ModalScope.h"
#include "ShadowLabel.h"
#include "Widgets.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

TApplication* Application = new TApplication();

namespace {

QString ToQString(const AnsiString& text)
{
    return QString::fromStdString(Cp932ToUtf8(text));
}

std::set<TForm*>& LiveForms()
{
    static std::set<TForm*> forms;
    return forms;
}

// On a Wayland session the window system decides where windows go and
// whether they stay on top, so where XWayland is at hand the program runs
// through it and keeps its place and its stay-on-top; otherwise natively.
// A platform the user chose explicitly is left alone.
void PreferXWayland()
{
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    if ((chosen && *chosen) || !wayland || !*wayland || !x11 || !*x11)
        return;
    setenv("QT_QPA_PLATFORM", "xcb", 0);
}

} // namespace

// The classes a form description may create.
std::unique_ptr<TComponent> CreateComponentOfClass(const std::string& className, TComponent* owner)
{
    if (className == "TShape")
        return std::make_unique<TShape>(owner);
    if (className == "TImage")
        return std::make_unique<TImage>(owner);
    if (className == "TShadowLabel")
        return std::make_unique<TShadowLabel>(owner);
    if (className == "TPopupMenu")
        return std::make_unique<TPopupMenu>(owner);
    if (className == "TMenuItem")
        return std::make_unique<TMenuItem>(owner);
    if (className == "TSavePictureDialog")
        return std::make_unique<TSavePictureDialog>(owner);
    return nullptr;
}

// ---------------------------------------------------------------------------

TForm::TForm(TComponent* owner) : TControl(owner), font_(std::make_unique<TFont>())
{
    auto* widget = new FormWidget(*this);
    AdoptWidget(widget);
    LiveForms().insert(this);
}

TForm::~TForm()
{
    LiveForms().erase(this);
    Application->FormDestroyed(this);
    // The controls go before the window that they are drawn on.
    DestroyComponents();
}

HWND TForm::Handle()
{
    Widget()->winId();
    return reinterpret_cast<HWND>(this);
}

TForm* TForm::FromHandle(HWND handle)
{
    auto* form = reinterpret_cast<TForm*>(handle);
    return LiveForms().count(form) ? form : nullptr;
}

void TForm::Dispatch(void*) {}

void TForm::SetCaption(const AnsiString& caption)
{
    caption_ = caption;
    Widget()->setWindowTitle(ToQString(caption));
}

int TForm::ClientWidth() const
{
    return Widget()->width();
}

int TForm::ClientHeight() const
{
    return Widget()->height();
}

TCanvas* TForm::Canvas()
{
    if (!canvas_)
        // What the window paints there, drawn off-screen at one image pixel
        // per client pixel, so it is right even where another window covers
        // the window. Nothing can be drawn onto it.
        canvas_ = std::make_unique<TCanvas>(
            [widget = Widget()](const TRect& r) {
                QImage image(r.Width(), r.Height(), QImage::Format_RGB32);
                image.fill(Qt::black);
                widget->render(&image, QPoint(), QRegion(r.Left, r.Top, r.Width(), r.Height()));
                return image;
            },
            nullptr);
    return canvas_.get();
}

void TForm::Show()
{
    SetVisible(true);
    Widget()->show();
}

void TForm::ReadForm(std::string_view description, const TMethodTable& methods)
{
    TFormReader reader(*this, methods);
    reader.Read(description);
    ApplyWindowSettings();
}

void TForm::MissingComponent(const std::string& name)
{
    throw Exception(Utf8ToCp932("フォーム記述にコンポーネント " + name + " がありません"));
}

bool TForm::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Caption")
        SetCaption(reader.Text(value));
    else if (name == "ClientWidth")
        clientWidth_ = reader.Int(value);
    else if (name == "ClientHeight")
        clientHeight_ = reader.Int(value);
    else if (name == "Color")
        color_ = reader.Color(value);
    else if (name == "BorderStyle" && value == "bsToolWindow")
        borderStyle_ = bsToolWindow;
    else if (name == "FormStyle" && value == "fsStayOnTop")
        formStyle_ = fsStayOnTop;
    else if (name == "PopupMenu")
        popupMenu_ = dynamic_cast<TPopupMenu*>(reader.Component(value));
    else if (name.rfind("Font.", 0) == 0)
        return font_->ReadProperty(name.substr(5), value, reader);
    else if (name == "HorzScrollBar.Visible" || name == "VertScrollBar.Visible")
        return !reader.Bool(value); // a form here never scrolls
    else if (name == "PixelsPerInch")
        return reader.Int(value) == 96;
    else
        return TControl::ReadProperty(name, value, reader);
    return true;
}

void TForm::ApplyWindowSettings()
{
    QWidget* w = Widget();
    Qt::WindowFlags flags = Qt::Window;
    if (borderStyle_ == bsToolWindow) {
        // A small caption with a close button only; the size is fixed.
        flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    }
    if (formStyle_ == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    const QPoint at = w->pos();
    w->setWindowFlags(flags);
    w->move(at);
    if (clientWidth_ > 0 && clientHeight_ > 0) {
        if (borderStyle_ == bsToolWindow || borderStyle_ == bsSingle || borderStyle_ == bsDialog)
            w->setFixedSize(clientWidth_, clientHeight_);
        else
            w->resize(clientWidth_, clientHeight_);
    }
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(color_), GetGValue(color_), GetBValue(color_)));
    w->setPalette(palette);
    w->setAutoFillBackground(true);
    if (popupMenu_)
        popupMenu_->AttachTo(w);
}

void TForm::Paint(QPainter&) {}

// ---------------------------------------------------------------------------

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication()
{
    DestroyComponents();
    qapp_.reset();
}

void TApplication::Initialize()
{
    if (QApplication::instance())
        return;
    // The program takes no command-line options, so none reach the toolkit.
    static int argc = 1;
    static char name[] = "mosaica";
    static char* argv[] = {name, nullptr};
    PreferXWayland();
    qapp_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The desktop entry and icon installed with the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("mosaica"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("mosaica")));
    RegisterFontSubstitutes();
}

void TApplication::SetTitle(const AnsiString& title)
{
    title_ = title;
}

HWND TApplication::Handle()
{
    return reinterpret_cast<HWND>(this);
}

void TApplication::AddForm(std::unique_ptr<TForm> form)
{
    if (!mainForm_)
        mainForm_ = form.get();
    InsertComponent(std::move(form));
}

void TApplication::Run()
{
    if (mainForm_) {
        mainForm_->Show();
        QApplication::exec();
    }
    DestroyComponents();
}

void TApplication::Terminate()
{
    QApplication::quit();
}

void TApplication::FormClosed(TForm* form)
{
    // A tool window does not count as the last window to the toolkit, so
    // closing the main form ends the loop here.
    if (form == mainForm_)
        Terminate();
}

void TApplication::FormDestroyed(TForm* form)
{
    if (form == mainForm_)
        mainForm_ = nullptr;
}

void TApplication::ShowException(const Exception* e)
{
    std::string text = e ? e->MessageUtf8() : std::string();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    const ModalScope scope;
    QMessageBox box(QMessageBox::Critical, ToQString(title_), QString::fromStdString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int)
{
    const ModalScope scope;
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}

void TApplication::HandleException(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const Exception& known) {
        ShowException(&known);
    } catch (const std::bad_alloc&) {
        const EOutOfMemory outOfMemory;
        ShowException(&outOfMemory);
    } catch (...) {
        const Exception unknown("");
        ShowException(&unknown);
    }
}
