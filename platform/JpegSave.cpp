#include "FileReplace.h"
#include "Jpeg.h"

void TJPEGImage::SaveToFile(const std::string& path)
{
    // Encoded whole in memory first, so that a failing encode never touches
    // the file.
    ReplaceFileContents(path, Data());
}
