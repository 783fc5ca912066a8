#include "BmpReader.h"
#include "BmpFixtures.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// What a test puts into a bitmap file: a 3 x 2 8-bit picture unless it says
// otherwise. BuildBmp() lays it out the way Windows programs do, with any field
// set to what the test wants, however malformed.
struct BmpFile : BmpLayout {
    BmpFile()
    {
        width = 3;
        height = 2;
        bitCount = 8;
    }
};

// Distinct colours for every palette index.
QRgb TestColour(unsigned index)
{
    return qRgb(index, 255 - index, (index * 37) & 255);
}

std::vector<QRgb> TestPalette(unsigned entries)
{
    std::vector<QRgb> palette;
    for (unsigned i = 0; i < entries; ++i)
        palette.push_back(TestColour(i));
    return palette;
}

std::vector<QRgb> Pixels(const QImage& image)
{
    std::vector<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.push_back(image.pixel(x, y));
    return out;
}

std::vector<QRgb> Colours(const std::vector<std::uint32_t>& indices)
{
    std::vector<QRgb> out;
    for (const std::uint32_t i : indices)
        out.push_back(TestColour(i));
    return out;
}

void ExpectPicture(const Bytes& file, int width, int height, const std::vector<QRgb>& expected)
{
    const QImage image = ReadBmp(file.data(), file.size());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.width(), width);
    EXPECT_EQ(image.height(), height);
    EXPECT_EQ(Pixels(image), expected);
}

enum class Failure { None, Read, Invalid, TooLarge, Other };

struct Outcome {
    Failure failure;
    std::string message;
};

Outcome TryRead(const Bytes& file)
{
    try {
        ReadBmp(file.data(), file.size());
        return {Failure::None, {}};
    } catch (const EReadError& e) {
        return {Failure::Read, e.MessageUtf8()};
    } catch (const EInvalidGraphic& e) {
        return {Failure::Invalid, e.MessageUtf8()};
    } catch (const EPictureTooLarge& e) {
        return {Failure::TooLarge, e.MessageUtf8()};
    } catch (...) {
        return {Failure::Other, {}};
    }
}

const char* const kReadErrorText = "ストリームからの読み込みエラー";
const char* const kInvalidText = "ビットマップイメージが不正です";

// --- Uncompressed pictures ------------------------------------------------

struct PixelCase {
    const char* name;
    unsigned bitCount;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
    std::vector<std::uint32_t> stored; // 3 x 2, top row first: indices or pixel values
    std::vector<QRgb> expected;        // empty: the palette colours of the indices
};

const std::vector<PixelCase> kPixelCases = {
    {"1 bit", 1, kBmpRgb, {}, {1, 0, 1, 0, 1, 1}, {}},
    {"4 bits", 4, kBmpRgb, {}, {1, 2, 3, 14, 15, 0}, {}},
    {"8 bits", 8, kBmpRgb, {}, {1, 128, 255, 7, 0, 200}, {}},
    {"24 bits",
     24,
     kBmpRgb,
     {},
     {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x010203},
     {qRgb(0x10, 0x20, 0x30), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
      qRgb(1, 2, 3)}},
    {"16 bits default 5-5-5, top bit ignored",
     16,
     kBmpRgb,
     {},
     {0x7C00, 0x03E0, 0x001F, 0x8421, 0x4210, 0x7FFF},
     {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(8, 8, 8), qRgb(132, 132, 132),
      qRgb(255, 255, 255)}},
    {"32 bits default, fourth byte ignored",
     32,
     kBmpRgb,
     {},
     {0x80102030, 0xFFFF0000, 0x0000FF00, 0x010000FF, 0x00FFFFFF, 0x7F010203},
     {qRgb(0x10, 0x20, 0x30), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
      qRgb(1, 2, 3)}},
    {"16 bits 5-6-5",
     16,
     kBmpBitfields,
     {0xF800, 0x07E0, 0x001F},
     {0xF800, 0x07E0, 0x0020, 0x001F, 0x8410, 0xFFFF},
     {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 4, 0), qRgb(0, 0, 255), qRgb(132, 130, 132),
      qRgb(255, 255, 255)}},
    {"32 bits 10-10-10",
     32,
     kBmpBitfields,
     {0x3FF00000, 0x000FFC00, 0x000003FF},
     {0xFFF00000, 0x000FFC00, 0x000003FF, 0x20000000, 0x00000001, 0x3FFFFFFF},
     {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(128, 0, 0), qRgb(0, 0, 0),
      qRgb(255, 255, 255)}},
    {"32 bits red in the low byte",
     32,
     kBmpBitfields,
     {0x000000FF, 0x0000FF00, 0x00FF0000},
     {0x00302010, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF, 0xFF030201},
     {qRgb(0x10, 0x20, 0x30), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
      qRgb(1, 2, 3)}},
    {"32 bits with alpha mask",
     32,
     kBmpAlphaBitfields,
     {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
     {0x00102030, 0x80FF0000, 0xFF00FF00, 0x010000FF, 0x00FFFFFF, 0x00010203},
     {qRgb(0x10, 0x20, 0x30), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
      qRgb(1, 2, 3)}},
};

const std::uint32_t kHeaderSizes[] = {12, 40, 52, 56, 108, 124};

TEST(BmpReader, ReadsEveryHeaderDepthAndRowOrder)
{
    for (const PixelCase& c : kPixelCases) {
        for (const std::uint32_t headerSize : kHeaderSizes) {
            for (const bool topDown : {false, true}) {
                const bool core = headerSize == 12;
                if (core && (topDown || c.compression != kBmpRgb || c.bitCount == 16 || c.bitCount == 32))
                    continue;
                SCOPED_TRACE(std::string(c.name) + ", header " + std::to_string(headerSize) +
                             (topDown ? ", top-down" : ", bottom-up"));
                BmpFile f;
                f.headerSize = headerSize;
                f.height = topDown ? -2 : 2;
                f.bitCount = static_cast<std::uint16_t>(c.bitCount);
                f.compression = c.compression;
                f.masks = c.masks;
                if (c.bitCount <= 8)
                    f.palette = TestPalette(1u << c.bitCount);
                f.pixels = PackBmpRows(3, c.bitCount, c.stored, topDown);
                ExpectPicture(BuildBmp(f), 3, 2, c.expected.empty() ? Colours(c.stored) : c.expected);
            }
        }
    }
}

// Rows written byte by byte, independent of PackBmpRows: bit and nibble order,
// byte order of 16-bit pixels and blue-green-red order of 24-bit ones.
TEST(BmpReader, ReadsStoredBytesInTheirOrder)
{
    struct Row {
        unsigned bitCount;
        int width;
        Bytes row;
        std::vector<QRgb> expected;
    };
    const Row rows[] = {
        {1, 9, {0xA5, 0x80, 0, 0}, Colours({1, 0, 1, 0, 0, 1, 0, 1, 1})},
        {4, 3, {0x12, 0x30, 0, 0}, Colours({1, 2, 3})},
        {16, 1, {0x1F, 0x7C, 0, 0}, {qRgb(255, 0, 255)}},
        {24, 1, {0x01, 0x02, 0x03, 0}, {qRgb(3, 2, 1)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bitCount);
        BmpFile f;
        f.width = r.width;
        f.height = 1;
        f.bitCount = static_cast<std::uint16_t>(r.bitCount);
        if (r.bitCount <= 8)
            f.palette = TestPalette(1u << r.bitCount);
        f.pixels = r.row;
        ExpectPicture(BuildBmp(f), r.width, 1, r.expected);
    }
}

TEST(BmpReader, AppliesPaletteRules)
{
    struct PaletteCase {
        const char* name;
        unsigned bitCount;
        std::uint32_t colorsUsed;
        unsigned storedEntries;
        std::vector<std::uint32_t> stored;
        std::vector<QRgb> expected;
    };
    const QRgb black = qRgb(0, 0, 0);
    const PaletteCase cases[] = {
        {"indices past a short palette are black",
         8,
         2,
         2,
         {0, 1, 2, 255, 1, 0},
         {TestColour(0), TestColour(1), black, black, TestColour(1), TestColour(0)}},
        {"more colours than the depth can index", 1, 4, 4, {1, 0, 1, 0, 1, 1}, Colours({1, 0, 1, 0, 1, 1})},
        {"palette cut short by the pixel offset",
         8,
         0,
         4,
         {0, 3, 4, 2, 1, 200},
         {TestColour(0), TestColour(3), black, TestColour(2), TestColour(1), black}},
    };
    for (const PaletteCase& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f;
        f.bitCount = static_cast<std::uint16_t>(c.bitCount);
        f.colorsUsed = c.colorsUsed;
        f.palette = TestPalette(c.storedEntries);
        f.pixels = PackBmpRows(3, c.bitCount, c.stored, false);
        ExpectPicture(BuildBmp(f), 3, 2, c.expected);
    }
}

TEST(BmpReader, EmptyDataIsANullPicture)
{
    const unsigned char none[1] = {};
    EXPECT_TRUE(ReadBmp(none, 0).isNull());
    EXPECT_TRUE(ReadBmp(nullptr, 0).isNull());
}

// --- Run-length encoding --------------------------------------------------

struct RleCase {
    const char* name;
    std::uint32_t compression;
    int width;
    Bytes stream;
    std::vector<std::uint32_t> expected; // two rows of indices, top row first
};

const std::vector<RleCase> kRleCases = {
    {"runs and end of line", kBmpRle8, 3, {3, 1, 0, 0, 2, 2, 1, 3, 0, 1}, {2, 2, 3, 1, 1, 1}},
    {"absolute runs skip their padding",
     kBmpRle8,
     3,
     {0, 3, 4, 5, 6, 0, 0, 0, 0, 3, 7, 8, 9, 0, 0, 1},
     {7, 8, 9, 4, 5, 6}},
    {"delta leaves index 0 behind", kBmpRle8, 3, {0, 2, 1, 1, 1, 9, 0, 1}, {0, 9, 0, 0, 0, 0}},
    {"run cut at the right edge", kBmpRle8, 3, {10, 1, 0, 0, 1, 2, 0, 1}, {2, 0, 0, 1, 1, 1}},
    {"absolute run cut at the right edge",
     kBmpRle8,
     3,
     {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1, 6, 0, 1},
     {6, 0, 0, 1, 2, 3}},
    {"rows past the top are dropped",
     kBmpRle8,
     3,
     {3, 1, 0, 0, 3, 2, 0, 0, 3, 3, 0, 0, 3, 4, 0, 1},
     {2, 2, 2, 1, 1, 1}},
    {"delta past the picture", kBmpRle8, 3, {0, 2, 255, 200, 3, 5, 0, 1}, {0, 0, 0, 0, 0, 0}},
    {"end of bitmap stops decoding", kBmpRle8, 3, {3, 1, 0, 1, 3, 2}, {0, 0, 0, 1, 1, 1}},
    {"stream ending without end of bitmap", kBmpRle8, 3, {3, 1, 0, 0, 1, 2}, {2, 0, 0, 1, 1, 1}},
    {"stream ending inside an absolute run", kBmpRle8, 3, {0, 3, 4, 5}, {0, 0, 0, 4, 5, 0}},
    {"4-bit runs alternate nibbles",
     kBmpRle4,
     5,
     {5, 0x12, 0, 0, 3, 0x34, 0, 1},
     {3, 4, 3, 0, 0, 1, 2, 1, 2, 1}},
    {"4-bit absolute runs skip their padding",
     kBmpRle4,
     5,
     {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 3, 0x67, 0x80, 0, 1},
     {6, 7, 8, 0, 0, 1, 2, 3, 4, 5}},
    {"4-bit delta", kBmpRle4, 5, {0, 2, 2, 1, 2, 0xAB, 0, 1}, {0, 0, 10, 11, 0, 0, 0, 0, 0, 0}},
};

BmpFile RleFile(const RleCase& c, std::uint32_t headerSize)
{
    BmpFile f;
    f.headerSize = headerSize;
    f.width = c.width;
    f.bitCount = c.compression == kBmpRle4 ? 4 : 8;
    f.compression = c.compression;
    f.palette = TestPalette(1u << f.bitCount);
    f.pixels = c.stream;
    return f;
}

TEST(BmpReader, DecodesRunLengthStreams)
{
    for (const RleCase& c : kRleCases) {
        for (const std::uint32_t headerSize : {40u, 124u}) {
            SCOPED_TRACE(std::string(c.name) + ", header " + std::to_string(headerSize));
            ExpectPicture(BuildBmp(RleFile(c, headerSize)), c.width, 2, Colours(c.expected));
        }
    }
}

// --- Malformed files ------------------------------------------------------

// An 8-bit 3 x 2 picture to break.
BmpFile ValidFile()
{
    BmpFile f;
    f.palette = TestPalette(256);
    f.pixels = PackBmpRows(3, 8, {1, 2, 3, 4, 5, 6}, false);
    return f;
}

struct ErrorCase {
    const char* name;
    void (*edit)(BmpFile&);
    void (*patch)(Bytes&);
    Failure failure;
    const char* message; // for Failure::TooLarge
};

const std::vector<ErrorCase> kErrorCases = {
    {"shorter than the file header", nullptr, [](Bytes& b) { b.resize(13); }, Failure::Read, nullptr},
    {"file header alone", nullptr, [](Bytes& b) { b.resize(14); }, Failure::Read, nullptr},
    {"info header cut short", nullptr, [](Bytes& b) { b.resize(14 + 39); }, Failure::Read, nullptr},
    {"palette cut short", nullptr, [](Bytes& b) { b.resize(14 + 40 + 100); }, Failure::Read, nullptr},
    {"pixels one byte short", nullptr, [](Bytes& b) { b.pop_back(); }, Failure::Read, nullptr},
    {"masks after the header cut short",
     [](BmpFile& f) {
         f.bitCount = 16;
         f.compression = kBmpBitfields;
         f.masks = {0xF800, 0x07E0, 0x001F};
         f.palette.clear();
     },
     [](Bytes& b) { b.resize(14 + 40 + 8); }, Failure::Read, nullptr},
    {"run-length data shorter than declared",
     [](BmpFile& f) {
         f.compression = kBmpRle8;
         f.pixels = {3, 1, 0, 1};
         f.sizeImage = 5;
     },
     nullptr, Failure::Read, nullptr},
    {"not BM", nullptr, [](Bytes& b) { b[1] = 'A'; }, Failure::Invalid, nullptr},
    {"OS/2 header size 64", [](BmpFile& f) { f.headerSize = 64; }, nullptr, Failure::Invalid, nullptr},
    {"header size 41", [](BmpFile& f) { f.headerSize = 41; }, nullptr, Failure::Invalid, nullptr},
    {"two planes", [](BmpFile& f) { f.planes = 2; }, nullptr, Failure::Invalid, nullptr},
    {"zero width", [](BmpFile& f) { f.width = 0; }, nullptr, Failure::Invalid, nullptr},
    {"negative width", [](BmpFile& f) { f.width = -3; }, nullptr, Failure::Invalid, nullptr},
    {"zero height", [](BmpFile& f) { f.height = 0; }, nullptr, Failure::Invalid, nullptr},
    {"2 bits a pixel", [](BmpFile& f) { f.bitCount = 2; }, nullptr, Failure::Invalid, nullptr},
    {"0 bits a pixel", [](BmpFile& f) { f.bitCount = 0; }, nullptr, Failure::Invalid, nullptr},
    {"64 bits a pixel", [](BmpFile& f) { f.bitCount = 64; }, nullptr, Failure::Invalid, nullptr},
    {"core header with 32 bits",
     [](BmpFile& f) {
         f.headerSize = 12;
         f.bitCount = 32;
     },
     nullptr, Failure::Invalid, nullptr},
    {"RLE8 with 4 bits",
     [](BmpFile& f) {
         f.compression = kBmpRle8;
         f.bitCount = 4;
     },
     nullptr, Failure::Invalid, nullptr},
    {"RLE4 with 8 bits", [](BmpFile& f) { f.compression = kBmpRle4; }, nullptr, Failure::Invalid, nullptr},
    {"bit fields with 24 bits",
     [](BmpFile& f) {
         f.compression = kBmpBitfields;
         f.bitCount = 24;
         f.masks = {0xFF0000, 0xFF00, 0xFF};
     },
     nullptr, Failure::Invalid, nullptr},
    {"bit fields with 8 bits",
     [](BmpFile& f) {
         f.compression = kBmpBitfields;
         f.masks = {0xE0, 0x1C, 0x03};
     },
     nullptr, Failure::Invalid, nullptr},
    {"JPEG inside", [](BmpFile& f) { f.compression = 4; }, nullptr, Failure::Invalid, nullptr},
    {"PNG inside", [](BmpFile& f) { f.compression = 5; }, nullptr, Failure::Invalid, nullptr},
    {"unknown compression", [](BmpFile& f) { f.compression = 7; }, nullptr, Failure::Invalid, nullptr},
    {"257 palette colours", [](BmpFile& f) { f.colorsUsed = 257; }, nullptr, Failure::Invalid, nullptr},
    {"top-down run-length data",
     [](BmpFile& f) {
         f.compression = kBmpRle8;
         f.height = -2;
         f.pixels = {0, 1};
     },
     nullptr, Failure::Invalid, nullptr},
    {"mask with a gap",
     [](BmpFile& f) {
         f.bitCount = 16;
         f.compression = kBmpBitfields;
         f.masks = {0xA800, 0x07E0, 0x001F};
         f.palette.clear();
         f.pixels.assign(16, 0);
     },
     nullptr, Failure::Invalid, nullptr},
    {"mask beyond 16 bits",
     [](BmpFile& f) {
         f.bitCount = 16;
         f.compression = kBmpBitfields;
         f.masks = {0x1F0000, 0x07E0, 0x001F};
         f.palette.clear();
         f.pixels.assign(16, 0);
     },
     nullptr, Failure::Invalid, nullptr},
    {"pixel offset past the end", nullptr,
     [](Bytes& b) { PatchLe32(b, 10, static_cast<std::uint32_t>(b.size() + 1)); }, Failure::Invalid, nullptr},
    {"pixel offset far past the end", nullptr, [](Bytes& b) { PatchLe32(b, 10, 0xFFFFFFFF); },
     Failure::Invalid, nullptr},
    {"pixel offset on the alpha mask after the header",
     [](BmpFile& f) {
         f.bitCount = 32;
         f.compression = kBmpAlphaBitfields;
         f.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
         f.palette.clear();
         f.pixels.assign(24, 0);
         f.pixelOffset = 14 + 40 + 12;
     },
     nullptr, Failure::Invalid, nullptr},
    {"pixel offset inside the header", [](BmpFile& f) { f.pixelOffset = 20; }, nullptr, Failure::Invalid,
     nullptr},
    {"wider than allowed", [](BmpFile& f) { f.width = 32769; }, nullptr, Failure::TooLarge,
     "画像 32769 × 2 ピクセルは大きすぎて読み込めません"},
    {"too many pixels, top-down",
     [](BmpFile& f) {
         f.width = 20000;
         f.height = -20000;
     },
     nullptr, Failure::TooLarge, "画像 20000 × 20000 ピクセルは大きすぎて読み込めません"},
    {"most negative height", [](BmpFile& f) { f.height = std::numeric_limits<std::int32_t>::min(); }, nullptr,
     Failure::TooLarge, "画像 3 × 2147483648 ピクセルは大きすぎて読み込めません"},
    {"core header 65535 x 65535",
     [](BmpFile& f) {
         f.headerSize = 12;
         f.width = 65535;
         f.height = 65535;
     },
     nullptr, Failure::TooLarge, "画像 65535 × 65535 ピクセルは大きすぎて読み込めません"},
};

TEST(BmpReader, RejectsMalformedFiles)
{
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        BmpFile f = ValidFile();
        if (c.edit)
            c.edit(f);
        Bytes file = BuildBmp(f);
        if (c.patch)
            c.patch(file);
        const Outcome outcome = TryRead(file);
        EXPECT_EQ(outcome.failure, c.failure);
        switch (c.failure) {
        case Failure::Read:
            EXPECT_EQ(outcome.message, kReadErrorText);
            break;
        case Failure::Invalid:
            EXPECT_EQ(outcome.message, kInvalidText);
            break;
        default:
            EXPECT_EQ(outcome.message, c.message);
        }
    }
}

// Every prefix of a valid file is read into a buffer of exactly that size, so
// that the sanitizers see any read past it.
TEST(BmpReader, TruncatedFilesFailCleanly)
{
    struct Whole {
        const char* name;
        Bytes file;
        bool decodesPartially; // run-length data may stop early
    };
    BmpFile core = ValidFile();
    core.headerSize = 12;
    core.bitCount = 1;
    core.palette = TestPalette(2);
    core.pixels = PackBmpRows(3, 1, {1, 0, 1, 0, 1, 1}, false);
    BmpFile v5 = ValidFile();
    v5.headerSize = 124;
    v5.height = -2;
    BmpFile fields;
    fields.bitCount = 16;
    fields.compression = kBmpBitfields;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = PackBmpRows(3, 16, {1, 2, 3, 4, 5, 6}, false);
    // Without a declared size, cut run-length data is decoded as far as it goes.
    BmpFile rle8 = RleFile(kRleCases[1], 40);
    rle8.sizeImage = 0;
    BmpFile rle4 = RleFile(kRleCases[11], 108);
    rle4.sizeImage = 0;
    const Whole wholes[] = {
        {"core 1 bit", BuildBmp(core), false},
        {"V5 8 bits top-down", BuildBmp(v5), false},
        {"bit fields after the header", BuildBmp(fields), false},
        {"RLE8 with its size", BuildBmp(RleFile(kRleCases[1], 40)), false},
        {"RLE8 without its size", BuildBmp(rle8), true},
        {"RLE4 without its size", BuildBmp(rle4), true},
    };
    for (const Whole& w : wholes) {
        SCOPED_TRACE(w.name);
        ASSERT_EQ(TryRead(w.file).failure, Failure::None);
        for (std::size_t n = 1; n < w.file.size(); ++n) {
            const Bytes prefix(w.file.begin(), w.file.begin() + static_cast<std::ptrdiff_t>(n));
            const Failure failure = TryRead(prefix).failure;
            const bool clean = failure == Failure::Read || failure == Failure::Invalid ||
                               (w.decodesPartially && failure == Failure::None);
            EXPECT_TRUE(clean) << "prefix of " << n << " bytes";
        }
    }
}

} // namespace
