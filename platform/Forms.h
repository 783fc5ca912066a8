#pragma once

#include "Controls.h"
#include "Exceptions.h"
#include "FormReader.h"
#include "Graphics.h"

#include <exception>
#include <memory>
#include <string_view>

class QApplication;
class TPopupMenu;

enum TFormBorderStyle { bsSizeable, bsSingle, bsDialog, bsToolWindow, bsSizeToolWin, bsNone };
enum TFormStyle { fsNormal, fsStayOnTop };

// A top-level window whose controls, settings and handler bindings come from
// its form description. A derived form offers its handlers by name, then
// reads its description in its constructor.
class TForm : public TControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // The window's handle; asking for it creates the system window.
    HWND Handle();
    // Routes a message sent to the window; the base handles none.
    virtual void Dispatch(void* message);

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TColor Color() const { return color_; }
    int ClientWidth() const;
    int ClientHeight() const;
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    TFont* Font() const { return font_.get(); }
    // The canvas of the client area: reading it reads what the window paints.
    TCanvas* Canvas();
    void Show();

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    void Paint(QPainter& painter) override;
    // The form's own window for a handle, or null.
    static TForm* FromHandle(HWND handle);

protected:
    void ReadForm(std::string_view description, const TMethodTable& methods);
    // Binds a field to the component of its name, checking its class.
    template <class T> void Bind(T*& field, const std::string& name)
    {
        field = dynamic_cast<T*>(FindComponent(name));
        if (!field)
            MissingComponent(name);
    }

private:
    void ApplyWindowSettings();
    [[noreturn]] void MissingComponent(const std::string& name);
    AnsiString caption_;
    TColor color_ = 0x00F0F0F0;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TFormStyle formStyle_ = fsNormal;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    TPopupMenu* popupMenu_ = nullptr;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TCanvas> canvas_;
};

// The application: its title, its forms, the message loop and the default
// exception display.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& title);
    // Creates a form owned by the application; the first one becomes the
    // main form.
    template <class T> void CreateForm(T*& reference)
    {
        auto form = std::make_unique<T>(this);
        reference = form.get();
        AddForm(std::move(form));
    }
    // The application's own top-level window.
    HWND Handle();
    // Shows the main form and takes and dispatches messages until it closes;
    // the forms are destroyed afterwards.
    void Run();
    void Terminate();

    // A plain message box captioned as given, centred and modal; with MB_OK
    // one OK button and no icon. Returns the button's answer.
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);

    // The default exception display: a modal box captioned with the title,
    // with the stop icon and one OK button.
    void ShowException(const Exception* e);
    // Shows the exception in flight with the default display.
    void HandleException(std::exception_ptr e);

    // Platform side: for forms of the application.
    void FormClosed(TForm* form);
    void FormDestroyed(TForm* form);

private:
    void AddForm(std::unique_ptr<TForm> form);
    std::unique_ptr<QApplication> qapp_;
    AnsiString title_;
    TForm* mainForm_ = nullptr;
};

inline constexpr int MB_OK = 0;
inline constexpr int IDOK = 1;

extern TApplication* Application;
