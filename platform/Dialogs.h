#pragma once

#include "Classes.h"

#include <string>

// The save dialog with a picture preview: the default extension, the filter
// ("description|patterns", pairs separated by "|") and the full path of its
// last accepted use, which it offers again the next time it opens.
class TSavePictureDialog : public TComponent {
public:
    explicit TSavePictureDialog(TComponent* owner);
    ~TSavePictureDialog() override;

    const AnsiString& DefaultExt() const { return defaultExt_; }
    const AnsiString& Filter() const { return filter_; }
    // A native path, as the system gave it.
    const std::string& FileName() const { return fileName_; }

    // Modal; true when the user accepts a file name. A name typed without an
    // extension gets the default one; the dialog never asks about replacing.
    bool Execute();

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    bool SetParentComponent(TComponent* parent) override;

private:
    AnsiString defaultExt_;
    AnsiString filter_;
    std::string fileName_;
};

// Text for a dialog made of the system's own text and native paths, each
// shown as the user reads it.
class TMessageText {
public:
    TMessageText(const AnsiString& text);
    TMessageText(const char* text);
    static TMessageText Path(const std::string& path);
    TMessageText operator+(const TMessageText& other) const;
    const std::string& Utf8() const { return utf8_; }

private:
    TMessageText() = default;
    std::string utf8_;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// The platform's message dialog: modal, centred, titled after its kind
// ("確認" for a confirmation) with the kind's icon and the given buttons.
// Closing it any other way than by a button answers with the cancel button
// (No where there is no Cancel).
TModalResult MessageDlg(const TMessageText& message, TMsgDlgType type, unsigned buttons, int helpContext);
