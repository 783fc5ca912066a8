#include "BmpReader.h"

#include "Exceptions.h"
#include "PictureLimits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

// The bitmap reader accepts what Windows programs write and nothing it would
// have to guess at. Choices made where files in the wild disagree:
//
// - Headers: the 12-byte core header, the 40-byte info header and its 52- and
//   56-byte variants that carry the colour masks, and the 108-byte (V4) and
//   124-byte (V5) headers. Any other size (the 64-byte OS/2 header among them)
//   is rejected. bfSize and the resolution fields are not used.
// - Palette: for 1, 4 and 8 bits a pixel, biClrUsed == 0 means 2^bpp colours.
//   More than 256 declared colours is rejected; between 2^bpp and 256 only the
//   first 2^bpp are read, since no pixel can index the rest. A palette that
//   would run into the pixel data (bfOffBits) is cut short there, as some
//   writers declare more colours than they store. Pixels whose index lies past
//   the palette are black. For deeper pixels any palette is ignored.
// - Pixel data starts at bfOffBits, which must lie past the headers (and the
//   masks that follow a 40-byte header) and inside the file.
// - Uncompressed rows must be present in full, padding of the last row
//   included; anything shorter is a read error.
// - Run-length data: bottom-up only. The stream is decoded up to its
//   end-of-bitmap code or the end of the file, whichever comes first; a stream
//   that stops early keeps what was decoded. Only a file shorter than the
//   biSizeImage it declares is a read error. Pixels the stream never writes
//   (skipped by a delta or an early end of line) keep the colour of palette
//   index 0. Runs and deltas that reach past the right edge or the top are cut
//   off there rather than wrapped.
// - Bit fields (16 and 32 bits a pixel): each colour mask must be one
//   contiguous run of bits within the pixel; a zero mask gives a channel of 0.
//   Alpha is ignored: pictures are drawn opaque.

namespace {

// Compression codes of the info header that the reader decodes.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// The 40-byte header's variants whose colour masks sit at its end.
constexpr std::uint32_t kInfoWithMasksSize = 52;
constexpr std::uint32_t kInfoWithAlphaMaskSize = 56;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;

using Palette = std::array<QRgb, 256>;

// Little-endian fields, assembled byte by byte: the file's fields are not
// aligned for the host.
std::uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::int32_t ReadI32(const unsigned char* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

bool IsKnownHeaderSize(std::uint32_t size)
{
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == kInfoWithMasksSize ||
           size == kInfoWithAlphaMaskSize || size == kV4HeaderSize || size == kV5HeaderSize;
}

bool BitCountFitsCompression(unsigned bitCount, std::uint32_t compression)
{
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case kBiRle8:
        return bitCount == 8;
    case kBiRle4:
        return bitCount == 4;
    case kBiBitfields:
    case kBiAlphaBitfields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false; // JPEG, PNG, CMYK and unknown codes
    }
}

// A colour mask must be one run of set bits that lies within the pixel.
bool IsUsableMask(std::uint32_t mask, unsigned bitCount)
{
    if (bitCount < 32 && (mask >> bitCount) != 0)
        return false;
    if (mask == 0)
        return true;
    const std::uint64_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// One colour channel of a direct-colour pixel, cut out by its mask and scaled
// so that the channel's full intensity becomes 255 whatever its width.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask_(mask)
    {
        if (mask == 0)
            return;
        shift_ = std::countr_zero(mask);
        bits_ = std::popcount(mask);
        if (bits_ <= kTableBits) {
            table_.resize(std::size_t{1} << bits_);
            for (std::size_t v = 0; v < table_.size(); ++v)
                table_[v] = Scale(static_cast<std::uint32_t>(v));
        }
    }

    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (bits_ == 0)
            return 0;
        const std::uint32_t value = (pixel & mask_) >> shift_;
        return table_.empty() ? Scale(value) : table_[value];
    }

private:
    // Channels up to this width are scaled through a table.
    static constexpr int kTableBits = 16;

    std::uint8_t Scale(std::uint32_t value) const
    {
        const std::uint64_t max = (std::uint64_t{1} << bits_) - 1;
        return static_cast<std::uint8_t>((value * std::uint64_t{255} + max / 2) / max);
    }

    std::uint32_t mask_;
    int shift_ = 0;
    int bits_ = 0;
    std::vector<std::uint8_t> table_;
};

QRgb* Row(QImage& image, int y)
{
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

// Uncompressed rows, each padded to a multiple of four bytes.
void DecodeRows(const unsigned char* pixels, std::uint64_t rowBytes, unsigned bitCount, bool topDown,
                const Palette& colours, const std::array<std::uint32_t, 3>& masks, QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    for (int r = 0; r < height; ++r) {
        const unsigned char* src = pixels + rowBytes * static_cast<std::uint64_t>(r);
        QRgb* line = Row(image, topDown ? r : height - 1 - r);
        switch (bitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                line[x] = colours[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                line[x] = colours[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                line[x] = colours[src[x]];
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t pixel = ReadU16(src + 2 * x);
                line[x] = qRgb(red(pixel), green(pixel), blue(pixel));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x)
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t pixel = ReadU32(src + 4 * x);
                line[x] = qRgb(red(pixel), green(pixel), blue(pixel));
            }
            break;
        }
    }
}

// Run-length encoded indices, 8 or 4 bits a pixel, in data[pos, end). Rows are
// counted from the bottom, as the encoding stores them. Decoding stops at the
// end-of-bitmap code, at the end of the data, or once nothing more could land
// inside the picture.
void DecodeRle(const unsigned char* data, std::size_t pos, std::size_t end, bool nibbles,
               const Palette& colours, QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    // Index of the i-th pixel held in a byte: 4-bit pixels take the high
    // nibble first.
    auto index = [nibbles](unsigned byte, unsigned i) {
        return nibbles ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte;
    };
    int x = 0;
    int y = 0;
    while (y < height && end - pos >= 2) {
        const unsigned count = data[pos];
        const unsigned code = data[pos + 1];
        pos += 2;
        QRgb* line = Row(image, height - 1 - y);
        if (count > 0) {
            // Encoded run: count pixels of the index (or index pair) in code.
            const int n = std::min(static_cast<int>(count), width - x);
            for (int i = 0; i < n; ++i)
                line[x + i] = colours[index(code, static_cast<unsigned>(i))];
            x += n;
            continue;
        }
        switch (code) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return;
        case 2: // delta: move right and up
            if (end - pos < 2)
                return;
            x = std::min(x + data[pos], width);
            y += data[pos + 1];
            pos += 2;
            break;
        default: { // absolute run of code pixels, padded to a 16-bit boundary
            const std::size_t bytes = nibbles ? (code + 1) / 2 : code;
            for (unsigned i = 0; i < code; ++i) {
                const std::size_t at = nibbles ? i / 2 : i;
                if (at >= end - pos)
                    return;
                const int px = x + static_cast<int>(i);
                if (px < width)
                    line[px] = colours[index(data[pos + at], i)];
            }
            x = std::min(x + static_cast<int>(code), width);
            const std::size_t padded = bytes + (bytes & 1);
            if (padded > end - pos)
                return;
            pos += padded;
            break;
        }
        }
    }
}

} // namespace

QImage ReadBmp(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return QImage();
    if (data == nullptr || size < kFileHeaderSize)
        throw EReadError();
    if (data[0] != 'B' || data[1] != 'M')
        throw EInvalidGraphic();
    const std::uint32_t pixelOffset = ReadU32(data + 10);

    if (size < kFileHeaderSize + 4)
        throw EReadError();
    const std::uint32_t headerSize = ReadU32(data + kFileHeaderSize);
    if (!IsKnownHeaderSize(headerSize))
        throw EInvalidGraphic();
    if (size - kFileHeaderSize < headerSize)
        throw EReadError();
    const unsigned char* header = data + kFileHeaderSize;
    const bool core = headerSize == kCoreHeaderSize;

    long long width;
    long long height;
    bool topDown = false;
    unsigned planes;
    unsigned bitCount;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    if (core) {
        // The core header's dimensions are unsigned: always bottom-up.
        width = ReadU16(header + 4);
        height = ReadU16(header + 6);
        planes = ReadU16(header + 8);
        bitCount = ReadU16(header + 10);
    } else {
        width = ReadI32(header + 4);
        const long long storedHeight = ReadI32(header + 8);
        topDown = storedHeight < 0;
        height = topDown ? -storedHeight : storedHeight;
        planes = ReadU16(header + 12);
        bitCount = ReadU16(header + 14);
        compression = ReadU32(header + 16);
        sizeImage = ReadU32(header + 20);
        colorsUsed = ReadU32(header + 32);
    }

    if (planes != 1 || width <= 0 || height <= 0)
        throw EInvalidGraphic();
    // The core header knows only palettes and 24-bit pixels.
    if (core && bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        throw EInvalidGraphic();
    if (!BitCountFitsCompression(bitCount, compression))
        throw EInvalidGraphic();
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (rle && topDown)
        throw EInvalidGraphic();
    if (bitCount <= 8 && colorsUsed > 256)
        throw EInvalidGraphic();
    if (!PictureSizeAllowed(width, height))
        throw EPictureTooLarge(width, height);

    // Colour masks: at the end of the header when it has room for them,
    // otherwise right after a 40-byte header.
    const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
    std::uint64_t headersEnd = kFileHeaderSize + headerSize;
    std::array<std::uint32_t, 3> masks{};
    if (bitCount == 16)
        masks = {0x7C00, 0x03E0, 0x001F};
    else if (bitCount == 32)
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bitfields) {
        if (headerSize == kInfoHeaderSize) {
            headersEnd += compression == kBiAlphaBitfields ? 16 : 12;
            if (size < headersEnd)
                throw EReadError();
        }
        const unsigned char* at = header + kInfoHeaderSize;
        masks = {ReadU32(at), ReadU32(at + 4), ReadU32(at + 8)};
        for (const std::uint32_t mask : masks) {
            if (!IsUsableMask(mask, bitCount))
                throw EInvalidGraphic();
        }
    }
    if (pixelOffset < headersEnd)
        throw EInvalidGraphic();

    Palette colours;
    colours.fill(qRgb(0, 0, 0));
    if (bitCount <= 8) {
        const std::uint64_t entrySize = core ? 3 : 4;
        const std::uint64_t possible = std::uint64_t{1} << bitCount;
        const std::uint64_t declared = core || colorsUsed == 0 ? possible : colorsUsed;
        const std::uint64_t entries = std::min({declared, possible, (pixelOffset - headersEnd) / entrySize});
        if (size < headersEnd + entries * entrySize)
            throw EReadError();
        for (std::uint64_t i = 0; i < entries; ++i) {
            const unsigned char* entry = data + headersEnd + i * entrySize;
            colours[i] = qRgb(entry[2], entry[1], entry[0]);
        }
    }

    if (pixelOffset > size)
        throw EInvalidGraphic();
    const std::size_t available = size - pixelOffset;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (rle ? sizeImage > available : rowBytes * static_cast<std::uint64_t>(height) > available)
        throw EReadError();

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        throw EOutOfMemory();
    if (rle) {
        image.fill(colours[0]);
        DecodeRle(data, pixelOffset, size, compression == kBiRle4, colours, image);
    } else {
        DecodeRows(data + pixelOffset, rowBytes, bitCount, topDown, colours, masks, image);
    }
    return image;
}
