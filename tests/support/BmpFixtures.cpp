#include "BmpFixtures.h"

#include <QImage>

#include <new>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kColourSpaceAt = kFileHeaderSize + 56; // bV4CSType

void Put16(Bytes& out, std::uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Everything before the pixels, for pixels of `pixelBytes` bytes.
Bytes Headers(const BmpLayout& f, std::size_t pixelBytes)
{
    Bytes out{'B', 'M'};
    Put32(out, 0); // file size, patched below
    Put32(out, 0); // reserved
    Put32(out, 0); // pixel offset, patched below
    Put32(out, f.headerSize);
    if (f.headerSize == 12) {
        Put16(out, static_cast<std::uint16_t>(f.width));
        Put16(out, static_cast<std::uint16_t>(f.height));
        Put16(out, f.planes);
        Put16(out, f.bitCount);
    } else {
        Put32(out, static_cast<std::uint32_t>(f.width));
        Put32(out, static_cast<std::uint32_t>(f.height));
        Put16(out, f.planes);
        Put16(out, f.bitCount);
        Put32(out, f.compression);
        Put32(out, f.sizeImage.value_or(static_cast<std::uint32_t>(pixelBytes)));
        Put32(out, 2835); // 72 dpi
        Put32(out, 2835);
        Put32(out, f.colorsUsed);
        Put32(out, 0); // colours important
        for (std::size_t i = 0; i < f.masks.size() && out.size() + 4 <= kFileHeaderSize + f.headerSize; ++i)
            Put32(out, f.masks[i]);
        out.resize(kFileHeaderSize + f.headerSize, 0);
        if (f.headerSize >= 108 && f.colourSpace != 0)
            PatchLe32(out, kColourSpaceAt, f.colourSpace);
        if (f.headerSize == 40) {
            for (const std::uint32_t mask : f.masks)
                Put32(out, mask);
        }
    }
    for (const std::uint32_t colour : f.palette) {
        out.push_back(static_cast<unsigned char>(colour));
        out.push_back(static_cast<unsigned char>(colour >> 8));
        out.push_back(static_cast<unsigned char>(colour >> 16));
        if (f.headerSize != 12)
            out.push_back(0);
    }
    PatchLe32(out, 10, f.pixelOffset.value_or(static_cast<std::uint32_t>(out.size())));
    PatchLe32(out, 2, static_cast<std::uint32_t>(out.size() + pixelBytes));
    return out;
}

std::size_t RowBytes(int width, unsigned bitCount)
{
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

} // namespace

void PatchLe32(Bytes& bytes, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes BuildBmp(const BmpLayout& layout)
{
    Bytes out = Headers(layout, layout.pixels.size());
    out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
    return out;
}

Bytes PackBmpRows(int width, unsigned bitCount, const std::vector<std::uint32_t>& values, bool topDown)
{
    const int height = static_cast<int>(values.size()) / width;
    Bytes out;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        Bytes row(RowBytes(width, bitCount), 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                           static_cast<std::size_t>(x)];
            const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
            switch (bitCount) {
            case 1:
            case 4:
                row[bit / 8] |= static_cast<unsigned char>(v << (8 - bitCount - bit % 8));
                break;
            default:
                for (unsigned i = 0; i < bitCount / 8; ++i)
                    row[bit / 8 + i] = static_cast<unsigned char>(v >> (8 * i));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes Bmp24(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull() && !picture.isNull())
        throw std::bad_alloc();
    const int w = rgb.width(), h = rgb.height();
    const std::size_t rowBytes = RowBytes(w, 24);
    BmpLayout layout;
    layout.width = w;
    layout.height = h;
    // Built row by row into the file itself: a benchmark's photograph is
    // large enough that a second copy of its pixels is worth sparing.
    Bytes out = Headers(layout, rowBytes * static_cast<std::size_t>(h));
    out.reserve(out.size() + rowBytes * static_cast<std::size_t>(h));
    for (int y = h - 1; y >= 0; --y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.push_back(static_cast<unsigned char>(qBlue(in[x])));
            out.push_back(static_cast<unsigned char>(qGreen(in[x])));
            out.push_back(static_cast<unsigned char>(qRed(in[x])));
        }
        out.resize(out.size() + rowBytes - 3 * static_cast<std::size_t>(w), 0);
    }
    return out;
}
