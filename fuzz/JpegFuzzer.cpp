// Feeds arbitrary bytes to a JPEG picture as a dropped ".jpg" file reaches it:
// loading reads the header, the first drawing decodes. Any outcome but a
// picture or one of the platform's exceptions (a crash, a sanitizer report,
// another exception) is a fault.
#include "Exceptions.h"
#include "Jpeg.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Pictures larger than this are loaded but not drawn: their decode is legal
// and only slow, and the size limits themselves have tests of their own.
constexpr long long kLargestDrawn = 4'000'000;

// The cell-sized drawing, where the picture offers one.
template <class Picture> void DrawInCell(Picture& picture)
{
    if constexpr (requires { picture.Rendition(160, 120); })
        (void)picture.Rendition(160, 120);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TJPEGImage picture;
    try {
        picture.LoadFromData(std::vector<unsigned char>(data, data + size));
    } catch (const Exception&) {
        return 0; // refused from its header
    }
    if (static_cast<long long>(picture.Width()) * picture.Height() > kLargestDrawn)
        return 0;
    try {
        DrawInCell(picture);
    } catch (const Exception&) {
    }
    try {
        if (const QImage* pixels = picture.Pixels())
            (void)pixels->pixel(pixels->width() - 1, pixels->height() - 1);
    } catch (const Exception&) {
    }
    return 0;
}
