#include "JpegCodec.h"

#include "Exceptions.h"
#include "JpegFixtures.h"
#include "PictureLimits.h"
#include "Stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- Pictures ---------------------------------------------------------------

struct Rgb {
    int r, g, b;
};

constexpr Rgb kLightYellow{255, 255, 185};

// A 96 x 64 picture of flat 16 x 16 blocks, one colour each. Blocks line up
// with the encoder's 16 x 16 MCUs, so each block's middle decodes from its own
// samples only and must come back close to its colour.
constexpr int kBlock = 16;
constexpr int kBlockColumns = 6;
constexpr int kBlocksWidth = kBlockColumns * kBlock;
constexpr int kBlocksHeight = 4 * kBlock;
constexpr std::array<Rgb, 24> kPalette{{
    kLightYellow,    {220, 40, 40},   {40, 200, 60},   {40, 60, 220},   {200, 30, 60},   {60, 30, 200},
    {240, 240, 240}, {20, 20, 20},    {128, 128, 128}, {0, 170, 170},   {170, 0, 170},   {250, 150, 30},
    {90, 60, 30},    {30, 90, 60},    {60, 30, 90},    {255, 200, 200}, {200, 255, 200}, {200, 200, 255},
    {180, 180, 40},  {100, 140, 200}, {230, 110, 160}, {60, 60, 60},    {190, 190, 190}, {120, 200, 120},
}};

Rgb BlockColour(int x, int y)
{
    return kPalette[(y / kBlock) * kBlockColumns + x / kBlock];
}

int Grey(Rgb c)
{
    return (c.r * 299 + c.g * 587 + c.b * 114 + 500) / 1000;
}

// How the fixture encoder hands the picture to the library.
enum class Model {
    Rgb,       // RGB in, YCbCr in the file (JFIF)
    Gray,      // one luminance component
    CmykAdobe, // CMYK with an Adobe marker, inks inverted as Photoshop writes them
    YcckAdobe, // the same inks, transformed to YCCK by the library
    CmykPlain, // CMYK without an Adobe marker, inks as they are
};

// The colour a decoder must show for a source colour in this model.
Rgb Shown(Rgb c, Model model)
{
    if (model == Model::Gray)
        return {Grey(c), Grey(c), Grey(c)};
    return c;
}

// Inks that print the colour: the black ink takes what all three channels lack,
// the coloured inks what each channel lacks beyond that. Returned as the light
// each ink leaves (255 = no ink), the inverted form Adobe files hold.
std::array<int, 4> InvertedInks(Rgb c)
{
    const int k = std::max({c.r, c.g, c.b});
    const auto part = [k](int v) { return k == 0 ? 255 : (v * 255 + k / 2) / k; };
    return {part(c.r), part(c.g), part(c.b), k};
}

Bytes Samples(Model model)
{
    Bytes samples;
    for (int y = 0; y < kBlocksHeight; ++y) {
        for (int x = 0; x < kBlocksWidth; ++x) {
            const Rgb c = BlockColour(x, y);
            switch (model) {
            case Model::Rgb:
                samples.insert(samples.end(),
                               {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                static_cast<unsigned char>(c.b)});
                break;
            case Model::Gray:
                samples.push_back(static_cast<unsigned char>(Grey(c)));
                break;
            case Model::CmykAdobe:
            case Model::YcckAdobe:
            case Model::CmykPlain:
                for (const int v : InvertedInks(c))
                    samples.push_back(static_cast<unsigned char>(model == Model::CmykPlain ? 255 - v : v));
                break;
            }
        }
    }
    return samples;
}

// ---- Fixture files ------------------------------------------------------------

struct FixtureOptions {
    Model model = Model::Rgb;
    bool progressive = false; // jpeg_simple_progression
    unsigned restartInterval = 0;
    bool arithmetic = false;
    int quality = 95;
    std::vector<JpegScan> scans; // a scan script of our own
};

// What the fixture encoder takes the model's samples for.
JpegColours ColoursOf(Model model)
{
    switch (model) {
    case Model::Rgb:
        return JpegColours::Rgb;
    case Model::Gray:
        return JpegColours::Grey;
    case Model::YcckAdobe:
        return JpegColours::Ycck;
    case Model::CmykAdobe:
    case Model::CmykPlain:
        break;
    }
    return JpegColours::Cmyk;
}

// The block picture in the model, encoded straight on libjpeg.
Bytes EncodeFixture(const FixtureOptions& fixture)
{
    JpegFixtureOptions options;
    options.colours = ColoursOf(fixture.model);
    options.adobeMarker = fixture.model != Model::CmykPlain;
    options.quality = fixture.quality;
    options.progressive = fixture.progressive;
    options.scans = fixture.scans;
    options.restartInterval = fixture.restartInterval;
    options.arithmetic = fixture.arithmetic;
    return EncodeJpegFixture(Samples(fixture.model), kBlocksWidth, kBlocksHeight, options);
}

// A progressive grayscale scan script of exactly `count` scans, all valid: the
// DC first, then AC coefficients one at a time, each sent bit by bit (first at
// Al = 10, then refinements down to Al = 0).
std::vector<JpegScan> ManyScans(int count)
{
    std::vector<JpegScan> scans;
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k < 64 && static_cast<int>(scans.size()) < count; ++k) {
        const int steps = std::min(11, count - static_cast<int>(scans.size()));
        scans.push_back({1, {0}, k, k, 0, steps - 1});
        for (int al = steps - 2; al >= 0; --al)
            scans.push_back({1, {0}, k, k, al + 1, al});
    }
    EXPECT_EQ(static_cast<int>(scans.size()), count) << "a grayscale script holds at most 694 scans";
    return scans;
}

// A 2 x 2 24-bit BMP file, mid-grey.
Bytes BmpFile()
{
    Bytes f = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}; // 70 bytes, pixels at 54
    const Bytes info = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
    f.insert(f.end(), info.begin(), info.end());
    f.resize(54, 0);   // resolution and palette fields
    f.resize(70, 128); // two rows of 2 pixels, padded to 8 bytes
    return f;
}

// ---- Marker walker ---------------------------------------------------------

enum : int {
    SOI = 0xD8,
    EOI = 0xD9,
    SOS = 0xDA,
    DQT = 0xDB,
    DRI = 0xDD,
    DHT = 0xC4,
    SOF0 = 0xC0,
    SOF2 = 0xC2,
    SOF9 = 0xC9,
    SOF10 = 0xCA,
    APP0 = 0xE0,
    APP14 = 0xEE,
};

struct Segment {
    int marker = 0;
    std::size_t offset = 0; // of the marker's 0xFF
    Bytes payload;          // what follows the length field
    // After an SOS: the entropy-coded bytes up to the next marker.
    std::size_t entropyBegin = 0, entropyEnd = 0;
    int restartMarkers = 0;
};

// Splits a JPEG file into its segments, following the entropy-coded data after
// each SOS. Fails the test on anything that does not parse.
std::vector<Segment> Walk(const Bytes& f)
{
    std::vector<Segment> segments;
    std::size_t at = 0;
    while (at < f.size()) {
        if (f[at] != 0xFF || at + 1 >= f.size()) {
            ADD_FAILURE() << "no marker at offset " << at;
            break;
        }
        Segment s;
        s.offset = at;
        s.marker = f[at + 1];
        at += 2;
        if (s.marker == SOI || s.marker == EOI) {
            segments.push_back(s);
            if (s.marker == EOI)
                break;
            continue;
        }
        if (at + 2 > f.size()) {
            ADD_FAILURE() << "segment length cut off at " << at;
            break;
        }
        const std::size_t length = f[at] << 8 | f[at + 1];
        if (length < 2 || at + length > f.size()) {
            ADD_FAILURE() << "bad segment length " << length << " at " << at;
            break;
        }
        s.payload.assign(f.begin() + static_cast<std::ptrdiff_t>(at + 2),
                         f.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if (s.marker == SOS) {
            s.entropyBegin = at;
            // 0xFF 0x00 is a stuffed 0xFF, 0xFF 0xD0..0xD7 a restart marker;
            // any other 0xFF byte pair ends the entropy-coded data.
            while (at + 1 < f.size()) {
                if (f[at] == 0xFF && f[at + 1] != 0x00) {
                    if (f[at + 1] < 0xD0 || f[at + 1] > 0xD7)
                        break;
                    ++s.restartMarkers;
                }
                at += f[at] == 0xFF ? 2 : 1;
            }
            s.entropyEnd = at;
        }
        segments.push_back(s);
    }
    return segments;
}

std::vector<int> Markers(const std::vector<Segment>& segments)
{
    std::vector<int> markers;
    for (const Segment& s : segments)
        markers.push_back(s.marker);
    return markers;
}

bool Has(const std::vector<Segment>& segments, int marker)
{
    return std::any_of(segments.begin(), segments.end(),
                       [marker](const Segment& s) { return s.marker == marker; });
}

// The first segment with this marker, of a file known to have one.
Segment First(const Bytes& file, int marker)
{
    for (const Segment& s : Walk(file))
        if (s.marker == marker)
            return s;
    ADD_FAILURE() << "no marker 0x" << std::hex << marker;
    return {};
}

Bytes ManyScanFile(int count)
{
    FixtureOptions options;
    options.model = Model::Gray;
    options.scans = ManyScans(count);
    const Bytes file = EncodeFixture(options);
    const std::vector<int> markers = Markers(Walk(file));
    EXPECT_EQ(std::count(markers.begin(), markers.end(), SOS), count);
    return file;
}

// ---- Standard tables (ITU T.81 Annex K) -----------------------------------

// K.1 and K.2, in row order.
constexpr std::array<int, 64> kLuminanceQuant{
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55, //
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62, //
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92, //
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};
constexpr std::array<int, 64> kChrominanceQuant{
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, //
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};

// Row-order index of the n-th coefficient in zigzag order, the order DQT holds.
constexpr std::array<int, 64> kZigzag{
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// A table as jpeg_set_quality(80, TRUE) scales it: factor 200 - 2 * 80 = 40 %.
std::array<int, 64> Quality80(const std::array<int, 64>& table)
{
    std::array<int, 64> scaled{};
    for (std::size_t i = 0; i < 64; ++i)
        scaled[i] = std::clamp((table[i] * 40 + 50) / 100, 1, 255);
    return scaled;
}

struct HuffmanTable {
    int classAndId; // Tc << 4 | Th
    std::array<int, 16> counts;
    std::vector<int> values;
};

// K.3: DC luminance, AC luminance, DC chrominance, AC chrominance.
const std::array<HuffmanTable, 4> kStandardHuffman{{
    {0x00, {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    {0x10,
     {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
     {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22,
      0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33,
      0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34,
      0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55,
      0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76,
      0x77, 0x78, 0x79, 0x7a, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96,
      0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5,
      0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4,
      0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1,
      0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}},
    {0x01, {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    {0x11,
     {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
     {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13,
      0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62,
      0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29,
      0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54,
      0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75,
      0x76, 0x77, 0x78, 0x79, 0x7a, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94,
      0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3,
      0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2,
      0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea,
      0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}},
}};

Bytes DhtPayload(const HuffmanTable& t)
{
    Bytes p{static_cast<unsigned char>(t.classAndId)};
    for (const int n : t.counts)
        p.push_back(static_cast<unsigned char>(n));
    for (const int v : t.values)
        p.push_back(static_cast<unsigned char>(v));
    return p;
}

// ---- Helpers ---------------------------------------------------------------

// The board as the application saves it: 480 x 360, light yellow behind, a
// block of its own colour in the middle of each 160 x 120 cell.
constexpr int kBoardWidth = 480, kBoardHeight = 360;
constexpr std::array<Rgb, 9> kCellColours{{
    {220, 40, 40},
    {40, 200, 60},
    {40, 60, 220},
    {200, 30, 60},
    {60, 30, 200},
    {250, 150, 30},
    {0, 170, 170},
    {170, 0, 170},
    {20, 20, 20},
}};

// Cell block bounds, aligned to the 16 x 16 MCUs.
constexpr int kCellBlockLeft = 48, kCellBlockTop = 32, kCellBlockSide = 64;

Rgb BoardColour(int x, int y)
{
    const int cx = x % 160, cy = y % 120;
    if (cx >= kCellBlockLeft && cx < kCellBlockLeft + kCellBlockSide && cy >= kCellBlockTop &&
        cy < kCellBlockTop + kCellBlockSide)
        return kCellColours[(y / 120) * 3 + x / 160];
    return kLightYellow;
}

QImage Board(QImage::Format format)
{
    QImage board(kBoardWidth, kBoardHeight, QImage::Format_RGB32);
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x) {
            const Rgb c = BoardColour(x, y);
            board.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    return board.convertToFormat(format);
}

::testing::AssertionResult Near(const QImage& image, int x, int y, Rgb expected, int tolerance)
{
    const QRgb p = image.pixel(x, y);
    const Rgb got{qRed(p), qGreen(p), qBlue(p)};
    if (std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
        std::abs(got.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << got.r << "," << got.g << "," << got.b << ", expected "
           << expected.r << "," << expected.g << "," << expected.b << " within " << tolerance;
}

std::string JpegMessage(int code)
{
    return "JPEG エラー #" + std::to_string(code);
}

// ---- 1. The encoder's file, segment by segment ------------------------------

TEST(JpegEncode, WritesBaselineJfifWithStandardTablesAndNothingElse)
{
    const Bytes file = EncodeJpeg(Board(QImage::Format_RGB32), 80);
    const std::vector<Segment> segments = Walk(file);
    ASSERT_EQ(Markers(segments), (std::vector<int>{SOI, APP0, DQT, DQT, SOF0, DHT, DHT, DHT, DHT, SOS, EOI}));
    EXPECT_EQ(segments.back().offset + 2, file.size()) << "bytes after EOI";

    // APP0: "JFIF\0", version 1.01, no density unit, density 1:1, no thumbnail
    // (length 16 = 2 + these 14 bytes).
    EXPECT_EQ(segments[1].payload, (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

    // The expected tables, checked against known values first.
    const std::array<int, 64> luminance = Quality80(kLuminanceQuant);
    const std::array<int, 64> chrominance = Quality80(kChrominanceQuant);
    EXPECT_EQ(std::vector<int>(luminance.begin(), luminance.begin() + 8),
              (std::vector<int>{6, 4, 4, 6, 10, 16, 20, 24}));
    EXPECT_EQ(*std::max_element(luminance.begin(), luminance.end()), 48);
    EXPECT_EQ(std::vector<int>(chrominance.begin(), chrominance.begin() + 8),
              (std::vector<int>{7, 7, 10, 19, 40, 40, 40, 40}));
    EXPECT_EQ(*std::max_element(chrominance.begin(), chrominance.end()), 40);

    const std::array<const std::array<int, 64>*, 2> quant{&luminance, &chrominance};
    for (int table = 0; table < 2; ++table) {
        SCOPED_TRACE("DQT table " + std::to_string(table));
        const Bytes& dqt = segments[2 + table].payload;
        ASSERT_EQ(dqt.size(), 65u) << "length must be 67";
        EXPECT_EQ(dqt[0], table) << "8-bit precision, table id";
        for (std::size_t k = 0; k < 64; ++k)
            EXPECT_EQ(dqt[1 + k], (*quant[table])[kZigzag[k]]) << "zigzag entry " << k;
    }

    // SOF0: precision 8, height 360, width 480, Y 2x2 table 0, Cb and Cr 1x1 table 1.
    EXPECT_EQ(segments[4].payload,
              (Bytes{8, 360 >> 8, 360 & 0xFF, 480 >> 8, 480 & 0xFF, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));

    for (std::size_t i = 0; i < kStandardHuffman.size(); ++i) {
        SCOPED_TRACE("DHT " + std::to_string(i));
        EXPECT_EQ(segments[5 + i].payload, DhtPayload(kStandardHuffman[i]));
    }

    // SOS: Y with tables 0/0, Cb and Cr with 1/1, coefficients 0..63, no successive approximation.
    const Segment& sos = segments[9];
    EXPECT_EQ(sos.payload, (Bytes{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
    EXPECT_GT(sos.entropyEnd, sos.entropyBegin);
    EXPECT_EQ(sos.restartMarkers, 0);
    EXPECT_EQ(sos.entropyEnd, segments.back().offset);
}

// ---- 2. Round trip ------------------------------------------------------------

struct SourceFormat {
    const char* name;
    QImage::Format format;
};

void PrintTo(const SourceFormat& f, std::ostream* os)
{
    *os << f.name;
}

class JpegRoundTrip : public ::testing::TestWithParam<SourceFormat> {};

TEST_P(JpegRoundTrip, ColoursComeBackWithRedAndBlueInPlace)
{
    const Bytes file = EncodeJpeg(Board(GetParam().format), 80);
    const JpegHeader header = ReadJpegHeader(file.data(), file.size());
    EXPECT_EQ(header.width, kBoardWidth);
    EXPECT_EQ(header.height, kBoardHeight);
    EXPECT_FALSE(header.grayscale);
    EXPECT_FALSE(header.progressive);

    const QImage decoded = DecodeJpeg(file.data(), file.size());
    ASSERT_EQ(decoded.size(), QSize(kBoardWidth, kBoardHeight));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    for (int cell = 0; cell < 9; ++cell) {
        const int left = (cell % 3) * 160, top = (cell / 3) * 120;
        EXPECT_TRUE(Near(decoded, left + 80, top + 64, kCellColours[cell], 4)) << "cell " << cell;
        EXPECT_TRUE(Near(decoded, left + 16, top + 16, kLightYellow, 3)) << "cell " << cell;
        EXPECT_TRUE(Near(decoded, left + 150, top + 110, kLightYellow, 3)) << "cell " << cell;
    }
}

// Formats whose bytes lie in memory in different orders: the encoder must take
// red, green and blue by meaning, not by position.
const SourceFormat kSourceFormats[] = {
    {"Rgb32", QImage::Format_RGB32},
    {"Argb32", QImage::Format_ARGB32},
    {"Rgb888", QImage::Format_RGB888},
    {"Bgr888", QImage::Format_BGR888},
};

INSTANTIATE_TEST_SUITE_P(SourceFormats, JpegRoundTrip, ::testing::ValuesIn(kSourceFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegEncode, RefusesAnEmptyPictureWithTheLibrarysCode)
{
    try {
        EncodeJpeg(QImage(), 80);
        FAIL() << "an empty picture was encoded";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.MessageCode(), JERR_EMPTY_IMAGE);
    }
}

// Grey noise at quality 100 makes a file several times the encoder's first
// output buffer, so the buffer must grow without losing or moving bytes.
TEST(JpegEncode, LargeFileSurvivesOutputBufferGrowth)
{
    QImage noise(kBoardWidth, kBoardHeight, QImage::Format_RGB32);
    unsigned seed = 1;
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int v = static_cast<int>(seed >> 24);
            noise.setPixel(x, y, qRgb(v, v, v));
        }
    const Bytes file = EncodeJpeg(noise, 100);
    ASSERT_GT(file.size(), 128u * 1024);
    EXPECT_EQ(Markers(Walk(file)),
              (std::vector<int>{SOI, APP0, DQT, DQT, SOF0, DHT, DHT, DHT, DHT, SOS, EOI}));

    const QImage decoded = DecodeJpeg(file.data(), file.size());
    ASSERT_EQ(decoded.size(), noise.size());
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x) {
            const int v = qRed(noise.pixel(x, y));
            ASSERT_TRUE(Near(decoded, x, y, {v, v, v}, 3));
        }
}

// ---- 3. Decoding the kinds of file there are --------------------------------

struct DecodeCase {
    const char* name;
    FixtureOptions options;
    int frameMarker;
    bool grayscale;
    bool progressive;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegDecodeKinds : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(JpegDecodeKinds, HeaderAndPixelsMatchTheSource)
{
    const DecodeCase& c = GetParam();
    const Bytes file = EncodeFixture(c.options);
    ASSERT_FALSE(file.empty());
    // The fixture is the kind of file it claims to be.
    const std::vector<Segment> segments = Walk(file);
    EXPECT_TRUE(Has(segments, c.frameMarker));
    if (c.options.restartInterval != 0) {
        EXPECT_TRUE(Has(segments, DRI));
        EXPECT_GT(First(file, SOS).restartMarkers, 0);
    }
    if (c.options.model == Model::CmykAdobe || c.options.model == Model::YcckAdobe) {
        EXPECT_TRUE(Has(segments, APP14));
    }
    if (c.options.model == Model::CmykPlain) {
        EXPECT_FALSE(Has(segments, APP14));
    }

    const JpegHeader header = ReadJpegHeader(file.data(), file.size());
    EXPECT_EQ(header.width, kBlocksWidth);
    EXPECT_EQ(header.height, kBlocksHeight);
    EXPECT_EQ(header.grayscale, c.grayscale);
    EXPECT_EQ(header.progressive, c.progressive);

    const QImage decoded = DecodeJpeg(file.data(), file.size());
    ASSERT_EQ(decoded.size(), QSize(kBlocksWidth, kBlocksHeight));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    for (int y = kBlock / 2; y < kBlocksHeight; y += kBlock)
        for (int x = kBlock / 2; x < kBlocksWidth; x += kBlock)
            EXPECT_TRUE(Near(decoded, x, y, Shown(BlockColour(x, y), c.options.model), 4));
}

FixtureOptions With(Model model, bool progressive = false, unsigned restartInterval = 0,
                    bool arithmetic = false)
{
    FixtureOptions o;
    o.model = model;
    o.progressive = progressive;
    o.restartInterval = restartInterval;
    o.arithmetic = arithmetic;
    return o;
}

const DecodeCase kDecodeCases[] = {
    {"Baseline", With(Model::Rgb), SOF0, false, false},
    {"Progressive", With(Model::Rgb, true), SOF2, false, true},
    {"Grayscale", With(Model::Gray), SOF0, true, false},
    {"GrayscaleProgressive", With(Model::Gray, true), SOF2, true, true},
    {"RestartMarkers", With(Model::Rgb, false, 1), SOF0, false, false},
#if defined(C_ARITH_CODING_SUPPORTED) && defined(D_ARITH_CODING_SUPPORTED)
    {"Arithmetic", With(Model::Rgb, false, 0, true), SOF9, false, false},
    {"ArithmeticProgressive", With(Model::Rgb, true, 0, true), SOF10, false, true},
#endif
    {"CmykAdobe", With(Model::CmykAdobe), SOF0, false, false},
    {"YcckAdobe", With(Model::YcckAdobe), SOF0, false, false},
    {"CmykWithoutAdobeMarker", With(Model::CmykPlain), SOF0, false, false},
};

INSTANTIATE_TEST_SUITE_P(Files, JpegDecodeKinds, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- 4. Damage and refusals -------------------------------------------------

Bytes Baseline()
{
    return EncodeFixture(FixtureOptions{});
}

// A baseline file whose frame header declares another size.
Bytes DeclaringSize(int width, int height)
{
    Bytes f = Baseline();
    const std::size_t at = First(f, SOF0).offset + 5; // marker, length, precision
    f[at] = static_cast<unsigned char>(height >> 8);
    f[at + 1] = static_cast<unsigned char>(height);
    f[at + 2] = static_cast<unsigned char>(width >> 8);
    f[at + 3] = static_cast<unsigned char>(width);
    return f;
}

Bytes TruncatedBody()
{
    Bytes f = Baseline();
    const Segment sos = First(f, SOS);
    f.resize((sos.entropyBegin + sos.entropyEnd) / 2);
    return f;
}

// Scrambles the middle third of the entropy-coded data without making markers.
Bytes DamagedBody()
{
    Bytes f = Baseline();
    const Segment sos = First(f, SOS);
    const std::size_t third = (sos.entropyEnd - sos.entropyBegin) / 3;
    for (std::size_t i = sos.entropyBegin + third; i < sos.entropyEnd - third; ++i)
        if ((f[i] ^ 0x5A) != 0xFF)
            f[i] ^= 0x5A;
    return f;
}

struct Outcome {
    enum Kind { Decodes, Jpeg, TooLarge } kind;
    int code = 0;              // for Jpeg
    std::string sizeText = {}; // for TooLarge: how the message spells the size
};

Outcome Ok()
{
    return {Outcome::Decodes};
}
Outcome JpegError(int code)
{
    return {Outcome::Jpeg, code};
}
Outcome TooLarge(const char* size)
{
    return {Outcome::TooLarge, 0, size};
}

struct ErrorCase {
    const char* name;
    Bytes (*make)();
    Outcome header; // of ReadJpegHeader
    Outcome decode; // of DecodeJpeg
};

template <class Call> void ExpectOutcome(const Outcome& expected, Call call)
{
    try {
        call();
        EXPECT_EQ(expected.kind, Outcome::Decodes) << "no exception";
    } catch (const EJPEG& e) {
        ASSERT_EQ(expected.kind, Outcome::Jpeg) << e.MessageUtf8();
        EXPECT_EQ(e.MessageCode(), expected.code);
        EXPECT_EQ(e.MessageUtf8(), JpegMessage(expected.code));
    } catch (const EPictureTooLarge& e) {
        ASSERT_EQ(expected.kind, Outcome::TooLarge) << e.MessageUtf8();
        EXPECT_NE(e.MessageUtf8().find(expected.sizeText), std::string::npos) << e.MessageUtf8();
    }
}

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegDecodeErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(JpegDecodeErrors, ThrowOrTolerateAsTheLibraryJudges)
{
    const ErrorCase& c = GetParam();
    const Bytes file = c.make();
    ExpectOutcome(c.header, [&] {
        const JpegHeader h = ReadJpegHeader(file.data(), file.size());
        EXPECT_GT(h.width, 0);
    });
    ExpectOutcome(c.decode, [&] {
        const QImage image = DecodeJpeg(file.data(), file.size());
        EXPECT_EQ(image.size(), QSize(kBlocksWidth, kBlocksHeight));
    });
    // A rendition reads the stream as a whole decode does, rows it skips
    // included, so it fails or not alike.
    ExpectOutcome(c.decode, [&] {
        const QImage image = DecodeJpegRendition(file.data(), file.size(), 160, 120);
        EXPECT_EQ(image.size(), QSize(160, 120));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Files, JpegDecodeErrors,
    ::testing::Values(ErrorCase{"NotAJpeg", BmpFile, JpegError(JERR_NO_SOI), JpegError(JERR_NO_SOI)},
                      ErrorCase{"Empty", [] { return Bytes{}; }, JpegError(JERR_INPUT_EMPTY),
                                JpegError(JERR_INPUT_EMPTY)},
                      ErrorCase{"Declares60000x60000", [] { return DeclaringSize(60000, 60000); },
                                TooLarge("60000 × 60000"), TooLarge("60000 × 60000")},
                      ErrorCase{"DeclaresTooWide", [] { return DeclaringSize(32769, 16); },
                                TooLarge("32769 × 16"), TooLarge("32769 × 16")},
                      ErrorCase{"DeclaresTooManyPixels", [] { return DeclaringSize(11000, 11000); },
                                TooLarge("11000 × 11000"), TooLarge("11000 × 11000")},
                      ErrorCase{"TruncatedBody", TruncatedBody, Ok(), Ok()},
                      ErrorCase{"DamagedBody", DamagedBody, Ok(), Ok()},
                      ErrorCase{"ScansUpToTheLimit", [] { return ManyScanFile(kMaxJpegScans); }, Ok(), Ok()},
                      ErrorCase{"ScansPastTheLimit", [] { return ManyScanFile(kMaxJpegScans + 1); }, Ok(),
                                JpegError(JERR_BAD_PROG_SCRIPT)}),
    [](const auto& info) { return std::string(info.param.name); });

// Every prefix of a valid file: the library's error or a picture, nothing else
// (and, under a sanitizer, no bad memory access). Once the single scan of a
// sequential file has begun, what is missing is tolerated.
struct TruncationCase {
    const char* name;
    FixtureOptions options;
    bool tolerantAfterFirstScan;
};

void PrintTo(const TruncationCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegTruncation : public ::testing::TestWithParam<TruncationCase> {};

// What a decode gave: a picture, or the library's message code.
struct Decoded {
    QImage picture;
    int code = 0;
};

template <class Call> Decoded Attempt(Call call)
{
    Decoded d;
    try {
        d.picture = call();
    } catch (const EJPEG& e) {
        d.code = e.MessageCode();
    }
    return d;
}

TEST_P(JpegTruncation, EveryPrefixDecodesOrThrowsEjpeg)
{
    const Bytes file = EncodeFixture(GetParam().options);
    const std::size_t firstScan = First(file, SOS).entropyBegin;
    for (std::size_t size = 0; size < file.size(); ++size) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        for (const bool full : {false, true}) {
            try {
                if (full) {
                    const QImage image = DecodeJpeg(prefix.data(), prefix.size());
                    EXPECT_EQ(image.size(), QSize(kBlocksWidth, kBlocksHeight)) << "prefix " << size;
                } else {
                    ReadJpegHeader(prefix.data(), prefix.size());
                }
            } catch (const EJPEG& e) {
                EXPECT_FALSE(GetParam().tolerantAfterFirstScan && size >= firstScan)
                    << "prefix " << size << ": " << e.MessageUtf8();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "prefix " << size << ": " << e.what();
            }
        }
    }
}

// A rendition of every prefix fails with the whole decode's code, or shows the
// whole decode's picture (whatever the library made of the missing part)
// stretched: shrunk, so that rows are skipped, and grown.
TEST_P(JpegTruncation, EveryPrefixRendersAsItsWholeDecode)
{
    const Bytes file = EncodeFixture(GetParam().options);
    for (std::size_t size = 0; size < file.size(); ++size) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        const Decoded whole = Attempt([&] { return DecodeJpeg(prefix.data(), prefix.size()); });
        for (const QSize target : {QSize(13, 7), QSize(160, 120)}) {
            const Decoded rendition = Attempt([&] {
                return DecodeJpegRendition(prefix.data(), prefix.size(), target.width(), target.height());
            });
            ASSERT_EQ(rendition.code, whole.code) << "prefix " << size;
            if (whole.code == 0) {
                ASSERT_EQ(rendition.picture, StretchNearest(whole.picture, target.width(), target.height()))
                    << "prefix " << size;
            }
        }
    }
}

const TruncationCase kTruncationCases[] = {
    {"Baseline", With(Model::Rgb), true},
    {"Progressive", With(Model::Rgb, true), false},
    {"RestartMarkers", With(Model::Gray, false, 2), true},
#if defined(C_ARITH_CODING_SUPPORTED) && defined(D_ARITH_CODING_SUPPORTED)
    {"Arithmetic", With(Model::Rgb, false, 0, true), true},
#endif
    {"Ycck", With(Model::YcckAdobe), true},
};

INSTANTIATE_TEST_SUITE_P(Files, JpegTruncation, ::testing::ValuesIn(kTruncationCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
