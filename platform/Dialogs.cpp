#include "Dialogs.h"

#include "FormReader.h"

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TComponent(owner) {}

TSavePictureDialog::~TSavePictureDialog() = default;

bool TSavePictureDialog::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "DefaultExt")
        defaultExt_ = reader.Text(value);
    else if (name == "Filter")
        filter_ = reader.Text(value);
    else
        return TComponent::ReadProperty(name, value, reader);
    return true;
}

bool TSavePictureDialog::SetParentComponent(TComponent*)
{
    return true;
}
