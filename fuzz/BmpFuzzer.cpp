// Feeds arbitrary bytes to the bitmap reader, as a dropped ".bmp" file would
// reach it. Any outcome but a picture or one of the platform's exceptions (a
// crash, a sanitizer report, another exception) is a fault.
#include "BmpReader.h"
#include "Exceptions.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const QImage picture = ReadBmp(data, size);
        if (!picture.isNull())
            (void)picture.pixel(picture.width() - 1, picture.height() - 1);
    } catch (const Exception&) {
        // A refused file: what the reader is for.
    }
    return 0;
}
