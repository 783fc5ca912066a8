#pragma once

#include "Classes.h"

#include <string>

// The save dialog with a picture preview: the default extension, the filter
// ("description|patterns", pairs separated by "|") and the file name last
// accepted.
class TSavePictureDialog : public TComponent {
public:
    explicit TSavePictureDialog(TComponent* owner);
    ~TSavePictureDialog() override;

    const AnsiString& DefaultExt() const { return defaultExt_; }
    const AnsiString& Filter() const { return filter_; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& fileName) { fileName_ = fileName; }

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    bool SetParentComponent(TComponent* parent) override;

private:
    AnsiString defaultExt_;
    AnsiString filter_;
    std::string fileName_;
};
