// Renditions: what a stretched picture view draws is, pixel for pixel, the
// whole-row, whole-column nearest-neighbour stretch of the picture's full
// decode, whether the picture is a bitmap or a JPEG decoded row by row.
#include "BoardDriver.h"
#include "Exceptions.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "JpegCodec.h"
#include "JpegFixtures.h"
#include "MainWindow1.h"
#include "Modals.h"
#include "ShadowLabel.h"
#include "Stretch.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- Pictures ---------------------------------------------------------------

// Pixel (x, y) spells its own coordinates: red and green are the low bytes of
// x and y, blue holds their high nibbles. No two pixels of a picture up to
// 4096 on a side are alike, and the picture is not symmetric, so a stretch
// that takes a wrong row or column, or swaps them, shows which.
QRgb CoordinatePixel(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
}

QPoint CoordinatesOf(QRgb p)
{
    return QPoint(qRed(p) | ((qBlue(p) & 0x0F) << 8), qGreen(p) | ((qBlue(p) >> 4) << 8));
}

QImage CoordinatePicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, CoordinatePixel(x, y));
    return picture;
}

// Noise survives JPEG compression as rows and columns that all differ from
// their neighbours, which the coordinate picture would not.
QImage NoisePicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    std::uint32_t state = static_cast<std::uint32_t>(width * 7919 + height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            picture.setPixel(x, y,
                             qRgb(static_cast<int>(state >> 24), static_cast<int>((state >> 16) & 0xFF),
                                  static_cast<int>((state >> 8) & 0xFF)));
        }
    }
    return picture;
}

// ---- Fixture files -----------------------------------------------------------

// How a JPEG fixture is encoded: the colour model by its number of components
// (1 grey, 3 YCbCr, 4 CMYK with an Adobe marker), each component's sampling
// factors (horizontal, vertical), scans and restart markers.
struct Encoding {
    int components;
    int factors[4][2];
    bool progressive;
    unsigned restartInterval;
};

Bytes EncodeFixture(const Encoding& encoding, const QImage& picture)
{
    JpegFixtureOptions options;
    options.colours = encoding.components == 1   ? JpegColours::Grey
                      : encoding.components == 3 ? JpegColours::Rgb
                                                 : JpegColours::Cmyk;
    options.quality = 92;
    for (int c = 0; c < encoding.components; ++c)
        options.sampling[static_cast<std::size_t>(c)] = {encoding.factors[c][0], encoding.factors[c][1]};
    options.progressive = encoding.progressive;
    options.restartInterval = encoding.restartInterval;
    if (encoding.components != 4)
        return EncodeJpegFixture(picture, options);
    // Inks of any kind do: the picture's red, green and blue, and a black
    // that differs from all three.
    Bytes inks;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            inks.insert(inks.end(),
                        {static_cast<unsigned char>(qRed(p)), static_cast<unsigned char>(qGreen(p)),
                         static_cast<unsigned char>(qBlue(p)),
                         static_cast<unsigned char>((qRed(p) + qBlue(p)) / 2)});
        }
    }
    return EncodeJpegFixture(inks, picture.width(), picture.height(), options);
}

// ---- Comparing pictures -----------------------------------------------------

// The same size and the same pixels; names the first pixel that differs.
::testing::AssertionResult SamePixels(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                             << ", expected " << expected.width() << "x" << expected.height();
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = actual.pixel(x, y) | 0xFF000000u;
            const QRgb e = expected.pixel(x, y) | 0xFF000000u;
            if (a != e)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << a << ", expected " << e;
        }
    }
    return ::testing::AssertionSuccess();
}

// True when every row differs from the rows next to it, and every column from
// the columns next to it: a rendition taking a neighbour's row or column
// instead of the right one cannot then pass for right.
bool NeighboursDiffer(const QImage& picture)
{
    const int w = picture.width(), h = picture.height();
    for (int y = 0; y + 1 < h && w >= 4; ++y) {
        bool differs = false;
        for (int x = 0; x < w && !differs; ++x)
            differs = picture.pixel(x, y) != picture.pixel(x, y + 1);
        if (!differs)
            return false;
    }
    for (int x = 0; x + 1 < w && h >= 4; ++x) {
        bool differs = false;
        for (int y = 0; y < h && !differs; ++y)
            differs = picture.pixel(x, y) != picture.pixel(x + 1, y);
        if (!differs)
            return false;
    }
    return true;
}

// ---- The stretch's choice of rows and columns --------------------------------

struct IndexCase {
    int n;                                     // target size
    int m;                                     // source size
    std::vector<std::pair<int, int>> expected; // (target index, source index)
};

void PrintTo(const IndexCase& c, std::ostream* os)
{
    *os << c.m << " to " << c.n;
}

class NearestSourceIndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(NearestSourceIndexTest, TakesTheSourceIndexWhoseCentreIsNearest)
{
    const IndexCase& c = GetParam();
    const std::vector<int> all = NearestSourceIndices(c.n, c.m);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(c.n));
    for (const auto& [i, source] : c.expected) {
        EXPECT_EQ(NearestSourceIndex(i, c.n, c.m), source) << "target " << i;
        EXPECT_EQ(all[static_cast<std::size_t>(i)], source) << "target " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, NearestSourceIndexTest,
                         ::testing::Values(
                             // Growing 3 to 5: the middle source pixel once, its neighbours twice.
                             IndexCase{5, 3, {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 2}}},
                             // Shrinking 5 to 3: every other pixel, from the first.
                             IndexCase{3, 5, {{0, 0}, {1, 2}, {2, 4}}},
                             IndexCase{4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}}, IndexCase{1, 7, {{0, 3}}},
                             IndexCase{1, 8, {{0, 4}}}, IndexCase{3, 1, {{0, 0}, {1, 0}, {2, 0}}},
                             // Ten times: blocks of ten.
                             IndexCase{160, 16, {{0, 0}, {9, 0}, {10, 1}, {159, 15}}},
                             // A 6000 x 4000 photograph in a 160 x 120 cell, and at twice the scale.
                             IndexCase{160, 6000, {{0, 18}, {1, 56}, {80, 3018}, {159, 5981}}},
                             IndexCase{120, 4000, {{0, 16}, {1, 50}, {60, 2016}, {119, 3983}}},
                             IndexCase{320, 6000, {{0, 9}, {1, 28}, {319, 5990}}},
                             IndexCase{240, 4000, {{0, 8}, {1, 25}, {239, 3991}}}),
                         [](const auto& info) {
                             return std::to_string(info.param.m) + "To" + std::to_string(info.param.n);
                         });

// ---- Renditions of every kind of picture at every kind of size --------------

struct Kind {
    const char* name;
    enum Source { Bmp, ProgramEncoder, Fixture } source;
    Encoding encoding;
};

struct Size {
    const char* name;
    int sourceWidth, sourceHeight;
    int width, height; // of the rendition
};

void PrintTo(const Kind& kind, std::ostream* os)
{
    *os << kind.name;
}

void PrintTo(const Size& size, std::ostream* os)
{
    *os << size.sourceWidth << "x" << size.sourceHeight << " to " << size.width << "x" << size.height;
}

const Kind kKinds[] = {
    {"Bmp", Kind::Bmp, {}},
    // The program's own encoder: baseline, 2 x 2 chroma subsampling.
    {"Baseline", Kind::ProgramEncoder, {}},
    {"Progressive", Kind::Fixture, {3, {{2, 2}, {1, 1}, {1, 1}}, true, 0}},
    {"Grey", Kind::Fixture, {1, {{1, 1}}, false, 0}},
    {"GreyProgressive", Kind::Fixture, {1, {{1, 1}}, true, 0}},
    // A single component declared with sampling factors of 2, and luma and
    // one chroma component alike at 2: row groups of two rows, some of them
    // with nothing to upsample.
    {"GreySampled2x2", Kind::Fixture, {1, {{2, 2}}, false, 0}},
    {"EqualSampling2x2", Kind::Fixture, {3, {{2, 2}, {2, 2}, {1, 1}}, false, 0}},
    {"Sampled2x1", Kind::Fixture, {3, {{2, 1}, {1, 1}, {1, 1}}, false, 0}},
    {"Sampled1x2", Kind::Fixture, {3, {{1, 2}, {1, 1}, {1, 1}}, false, 0}},
    {"Sampled1x2Progressive", Kind::Fixture, {3, {{1, 2}, {1, 1}, {1, 1}}, true, 0}},
    {"Unsampled", Kind::Fixture, {3, {{1, 1}, {1, 1}, {1, 1}}, false, 0}},
    {"MixedChromaSampling", Kind::Fixture, {3, {{2, 2}, {1, 2}, {2, 1}}, false, 0}},
    {"RestartMarkers", Kind::Fixture, {3, {{2, 2}, {1, 1}, {1, 1}}, false, 1}},
    // Chroma for the library's general upsampler: a quarter of the width and
    // half of the height, a third or a quarter of the height, a quarter of
    // the width.
    {"Sampled4x2", Kind::Fixture, {3, {{4, 2}, {1, 1}, {1, 1}}, false, 0}},
    {"Sampled1x3", Kind::Fixture, {3, {{1, 3}, {1, 1}, {1, 1}}, false, 0}},
    {"Sampled1x4Progressive", Kind::Fixture, {3, {{1, 4}, {1, 1}, {1, 1}}, true, 0}},
    {"Sampled4x1", Kind::Fixture, {3, {{4, 1}, {1, 1}, {1, 1}}, false, 0}},
    {"Cmyk", Kind::Fixture, {4, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}, false, 0}},
};

const Size kSizes[] = {
    {"SmallerByTen", 16, 12, 160, 120},
    {"SmallerByOddRatios", 7, 5, 160, 120},
    {"LargerByFour", 640, 480, 160, 120},
    {"LargerByOddRatios", 1000, 700, 160, 120},
    {"WiderShorter", 250, 90, 160, 120},
    {"NarrowerTaller", 100, 300, 160, 120},
    {"TallStrip", 37, 3001, 160, 120},
    {"OneColumn", 1, 500, 160, 120},
    {"OneRow", 500, 1, 160, 120},
    {"OnePixel", 1, 1, 160, 120},
    {"AtTwiceTheScale", 1000, 700, 320, 240},
    {"OddTarget", 123, 457, 17, 301},
    {"OwnSize", 96, 64, 96, 64},
};

using KindAndSize = std::tuple<Kind, Size>;

class RenditionTest : public ::testing::TestWithParam<KindAndSize> {
protected:
    QTemporaryDir dir;
};

TEST_P(RenditionTest, IsTheFullDecodeStretchedByWholeRowsAndColumns)
{
    const auto& [kind, size] = GetParam();
    const int w = size.width, h = size.height;
    if (kind.source == Kind::Bmp) {
        const std::string path = dir.filePath("picture.bmp").toStdString();
        WriteBmp24(path, CoordinatePicture(size.sourceWidth, size.sourceHeight));
        TPicture picture;
        picture.LoadFromFile(path);
        const QImage rendition = picture.Graphic()->Rendition(w, h);
        ASSERT_EQ(rendition.size(), QSize(w, h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QPoint expected(NearestSourceIndex(x, w, size.sourceWidth),
                                      NearestSourceIndex(y, h, size.sourceHeight));
                ASSERT_EQ(CoordinatesOf(rendition.pixel(x, y)), expected) << "at " << x << "," << y;
            }
        }
        return;
    }
    const QImage source = NoisePicture(size.sourceWidth, size.sourceHeight);
    const Bytes file =
        kind.source == Kind::ProgramEncoder ? EncodeJpeg(source, 92) : EncodeFixture(kind.encoding, source);
    const QImage full = DecodeJpeg(file.data(), file.size());
    ASSERT_EQ(full.size(), source.size());
    ASSERT_TRUE(NeighboursDiffer(full)) << "the fixture does not tell neighbouring rows or columns apart";
    const QImage expected = StretchNearest(full, w, h);

    EXPECT_TRUE(SamePixels(DecodeJpegRendition(file.data(), file.size(), w, h), expected));
    TJPEGImage jpeg;
    jpeg.LoadFromData(file);
    EXPECT_TRUE(SamePixels(jpeg.Rendition(w, h), expected));
}

INSTANTIATE_TEST_SUITE_P(KindsAndSizes, RenditionTest,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::ValuesIn(kSizes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(Rendition, OfNoSizeIsNullAndReadsNothing)
{
    const Bytes notAJpeg = {1, 2, 3};
    EXPECT_TRUE(DecodeJpegRendition(notAJpeg.data(), notAJpeg.size(), 0, 120).isNull());
    EXPECT_TRUE(DecodeJpegRendition(notAJpeg.data(), notAJpeg.size(), 160, 0).isNull());
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Rendition(160, 120).isNull());
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Rendition(160, 120).isNull());
}

// ---- Damaged files ------------------------------------------------------------

// The offsets of the entropy-coded data of every scan: from after each SOS
// segment to the next marker that is neither a restart marker nor a stuffed
// zero.
std::vector<std::pair<std::size_t, std::size_t>> ScanData(const Bytes& f)
{
    std::vector<std::pair<std::size_t, std::size_t>> scans;
    for (std::size_t i = 2; i + 3 < f.size(); ++i) {
        if (f[i] != 0xFF || f[i + 1] != 0xDA)
            continue;
        const std::size_t begin = i + 2 + ((f[i + 2] << 8) | f[i + 3]);
        std::size_t end = begin;
        while (end + 1 < f.size() &&
               !(f[end] == 0xFF && f[end + 1] != 0x00 && (f[end + 1] < 0xD0 || f[end + 1] > 0xD7)))
            ++end;
        scans.emplace_back(begin, end);
        i = end - 1;
    }
    return scans;
}

Bytes Photo()
{
    return EncodeJpeg(NoisePicture(400, 300), 90);
}

Bytes ScrambledBody()
{
    Bytes f = Photo();
    const auto [begin, end] = ScanData(f).front();
    const std::size_t third = (end - begin) / 3;
    for (std::size_t i = begin + third; i < end - third; ++i)
        if ((f[i] ^ 0x5A) != 0xFF)
            f[i] ^= 0x5A;
    return f;
}

Bytes TruncatedBody()
{
    Bytes f = Photo();
    const auto [begin, end] = ScanData(f).front();
    f.resize(begin + (end - begin) / 2);
    return f;
}

// A reserved marker code, which the library refuses once it reads it.
Bytes WithUnknownMarkerAt(std::size_t (*where)(std::size_t begin, std::size_t end))
{
    Bytes f = Photo();
    const auto [begin, end] = ScanData(f).front();
    const std::size_t at = where(begin, end);
    const Bytes marker = {0xFF, 0x02};
    f.insert(f.begin() + static_cast<std::ptrdiff_t>(at), marker.begin(), marker.end());
    return f;
}

Bytes UnknownMarkerInTheMiddleOfTheScan()
{
    return WithUnknownMarkerAt([](std::size_t begin, std::size_t end) { return (begin + end) / 2; });
}

Bytes UnknownMarkerAfterTheScan()
{
    return WithUnknownMarkerAt([](std::size_t, std::size_t end) { return end; });
}

// A progressive file whose second scan header names no components: the header
// reads, the decoding does not.
Bytes ProgressiveScanWithoutComponents()
{
    Bytes f = EncodeFixture({3, {{2, 2}, {1, 1}, {1, 1}}, true, 0}, NoisePicture(64, 48));
    const auto scans = ScanData(f);
    EXPECT_GE(scans.size(), 2u);
    // The SOS marker sits before its length and the component count.
    std::size_t sos = scans[1].first;
    while (!(f[sos] == 0xFF && f[sos + 1] == 0xDA))
        --sos;
    f[sos + 4] = 0;
    return f;
}

struct DamageCase {
    const char* name;
    Bytes (*make)();
    bool fails; // the library gives up on it
};

void PrintTo(const DamageCase& c, std::ostream* os)
{
    *os << c.name;
}

class DamagedRenditionTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedRenditionTest, FailsOnceWithTheFullDecodesErrorOrDrawsWhatItDecodes)
{
    const DamageCase& c = GetParam();
    const Bytes file = c.make();
    int fullCode = 0;
    QImage full;
    try {
        full = DecodeJpeg(file.data(), file.size());
    } catch (const EJPEG& e) {
        fullCode = e.MessageCode();
    }
    ASSERT_EQ(fullCode != 0, c.fails) << "the fixture is not damaged as its name says";

    TJPEGImage jpeg;
    jpeg.LoadFromData(file);
    if (!c.fails) {
        EXPECT_TRUE(SamePixels(jpeg.Rendition(160, 120), StretchNearest(full, 160, 120)));
        return;
    }
    try {
        jpeg.Rendition(160, 120);
        ADD_FAILURE() << "the first rendition did not fail";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.MessageCode(), fullCode);
    }
    // Never decoded again, at any size, nor for its full pixels.
    EXPECT_TRUE(jpeg.Rendition(160, 120).isNull());
    EXPECT_TRUE(jpeg.Rendition(320, 240).isNull());
    EXPECT_EQ(jpeg.Pixels(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedRenditionTest,
    ::testing::Values(DamageCase{"ScrambledBody", ScrambledBody, false},
                      DamageCase{"TruncatedBody", TruncatedBody, false},
                      DamageCase{"UnknownMarkerInTheMiddleOfTheScan", UnknownMarkerInTheMiddleOfTheScan,
                                 true},
                      DamageCase{"UnknownMarkerAfterTheScan", UnknownMarkerAfterTheScan, true},
                      DamageCase{"ProgressiveScanWithoutComponents", ProgressiveScanWithoutComponents, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Picture views --------------------------------------------------------------

// What a stretched 160 x 120 view paints on a device of this pixel ratio, in
// device pixels.
QImage Painted(TImage& view, qreal ratio)
{
    QImage device(qRound(160 * ratio), qRound(120 * ratio), QImage::Format_RGB32);
    device.fill(Qt::black);
    device.setDevicePixelRatio(ratio);
    QPainter painter(&device);
    view.Paint(painter);
    painter.end();
    device.setDevicePixelRatio(1);
    return device;
}

QImage Black(int width, int height)
{
    QImage black(width, height, QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.SetBounds(0, 0, 160, 120);
        view.SetStretch(true);
    }
    std::string Write(const char* name, const Bytes& bytes)
    {
        const std::string path = dir.filePath(name).toStdString();
        WriteBytes(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    TImage view{nullptr};
};

TEST_F(PictureViewTest, PaintsTheRenditionAtTheDevicesPixelSize)
{
    const Bytes file = Photo();
    view.Picture()->LoadFromFile(Write("photo.jpg", file));
    const QImage full = DecodeJpeg(file.data(), file.size());
    // Back and forth between scale factors: each paint shows its own size.
    for (const qreal ratio : {1.0, 2.0, 1.0, 1.5}) {
        SCOPED_TRACE(ratio);
        const QImage painted = Painted(view, ratio);
        EXPECT_TRUE(SamePixels(painted, StretchNearest(full, painted.width(), painted.height())));
    }
}

TEST_F(PictureViewTest, ANewPictureReplacesTheRenditionAtTheSameSize)
{
    const Bytes first = Photo();
    const Bytes second = EncodeJpeg(NoisePicture(300, 400), 90);
    view.Picture()->LoadFromFile(Write("first.jpg", first));
    Painted(view, 1);
    view.Picture()->LoadFromFile(Write("second.jpg", second));
    EXPECT_TRUE(
        SamePixels(Painted(view, 1), StretchNearest(DecodeJpeg(second.data(), second.size()), 160, 120)));
    view.Picture()->Assign(nullptr);
    EXPECT_TRUE(SamePixels(Painted(view, 1), Black(160, 120)));
}

TEST_F(PictureViewTest, DamagedJpegFailsAtTheFirstPaintOnlyAndThenDrawsNothing)
{
    view.Picture()->LoadFromFile(Write("damaged.jpg", ProgressiveScanWithoutComponents()));
    EXPECT_THROW(Painted(view, 1), EJPEG);
    QImage painted;
    EXPECT_NO_THROW(painted = Painted(view, 1));
    EXPECT_NO_THROW(painted = Painted(view, 2));
    EXPECT_TRUE(SamePixels(painted, Black(320, 240)));
}

// ---- The board window ------------------------------------------------------------

struct BoardCase {
    const char* name;
    Kind kind;
    int sourceWidth, sourceHeight;
};

void PrintTo(const BoardCase& c, std::ostream* os)
{
    *os << c.name;
}

class BoardRenditionTest : public ::testing::TestWithParam<BoardCase> {
protected:
    QTemporaryDir dir;
    ModalWatcher modals;
    BoardDriver board;
};

TEST_P(BoardRenditionTest, DroppedJpegShowsItsFullDecodeStretchedToTheCell)
{
    const BoardCase& c = GetParam();
    const QImage source = NoisePicture(c.sourceWidth, c.sourceHeight);
    const Bytes file = c.kind.source == Kind::ProgramEncoder ? EncodeJpeg(source, 90)
                                                             : EncodeFixture(c.kind.encoding, source);
    const std::string path = dir.filePath("photo.jpg").toStdString();
    WriteBytes(path, file);
    // From another cell: a pointer already resting over cell 5 would not move.
    board.HoverCell(1);
    board.HoverCell(5);
    board.Drop({path});
    board.Form().N8Click(nullptr);          // no badges
    board.Form().Label5->SetVisible(false); // nothing over the picture
    // The cell as the window paints it, in the screen's own pixels: 160 x 120
    // of them, or more on a scaled screen.
    const QImage cell = board.Form().Widget()->grab(QRect(160, 120, 160, 120)).toImage();
    ASSERT_GE(cell.width(), 160);
    EXPECT_TRUE(
        SamePixels(cell, StretchNearest(DecodeJpeg(file.data(), file.size()), cell.width(), cell.height())));
    EXPECT_TRUE(modals.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Files, BoardRenditionTest,
                         ::testing::Values(BoardCase{"Baseline", kKinds[1], 1200, 900},
                                           BoardCase{"Progressive", kKinds[2], 900, 1200},
                                           BoardCase{"Grey", kKinds[3], 1001, 333},
                                           BoardCase{"Small", kKinds[1], 50, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
