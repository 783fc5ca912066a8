// A long session on the real board window: a thousand rounds of dropping,
// drawing, replacing, double-clicking and clearing, with pictures of every
// kind and files that fail, must leave the heap where a short warm-up left
// it. A picture, decoder or message box that is not given back on one of
// these paths shows up as growth proportional to the rounds.
#include "BmpFixtures.h"
#include "BoardDriver.h"
#include "JpegFixtures.h"
#include "Modals.h"
#include "ProgressiveJpeg.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's count of bytes allocated and not yet freed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using Bytes = std::vector<unsigned char>;

// Bytes of heap in use by the process. Under AddressSanitizer the heap is the
// sanitizer's own, which mallinfo2 does not see.
std::int64_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<std::int64_t>(mallinfo2().uordblks);
#endif
}

QImage Pattern(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           qRgb((x * 7 + seed * 40) & 255, (y * 11 + seed * 25) & 255, ((x ^ y) * 5) & 255));
    return image;
}

// A bottom-up bitmap with a 40-byte header: a palette of 2^depth colours for
// 1, 4 and 8 bits, plain 5-5-5 or 8-8-8 pixels for 16 and 32.
Bytes Bitmap(unsigned depth, int w, int h)
{
    const unsigned colours = depth <= 8 ? 1u << depth : 0;
    const std::size_t rowBytes = (static_cast<std::size_t>(w) * depth + 31) / 32 * 4;
    BmpLayout f;
    f.width = w;
    f.height = h;
    f.bitCount = static_cast<std::uint16_t>(depth);
    for (unsigned i = 0; i < colours; ++i)
        f.palette.push_back((i * 0x2F1D3B) & 0xFFFFFF);
    for (int r = 0; r < h; ++r) {
        Bytes row(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const unsigned v = static_cast<unsigned>(x * 3 + (h - 1 - r) * 5);
            const std::size_t bit = static_cast<std::size_t>(x) * depth;
            if (depth < 8)
                row[bit / 8] |= static_cast<unsigned char>((v % colours) << (8 - depth - bit % 8));
            else
                for (unsigned b = 0; b < depth / 8; ++b)
                    row[bit / 8 + b] = static_cast<unsigned char>(v >> (3 * b));
        }
        f.pixels.insert(f.pixels.end(), row.begin(), row.end());
    }
    return BuildBmp(f);
}

// A one-component baseline JPEG.
Bytes GreyJpeg(int w, int h)
{
    Bytes samples;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            samples.push_back(static_cast<unsigned char>(x * 4 + y));
    JpegFixtureOptions options;
    options.colours = JpegColours::Grey;
    return EncodeJpegFixture(samples, w, h, options);
}

// A progressive file whose second scan header names no components: it loads,
// and fails at its first drawing.
Bytes FailingAtFirstDrawing()
{
    Bytes jpeg = EncodeProgressiveJpeg(Pattern(64, 48, 9));
    int scans = 0;
    for (std::size_t i = 0; i + 5 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA && ++scans == 2) {
            jpeg[i + 4] = 0;
            break;
        }
    }
    return jpeg;
}

// Pictures of every kind the cells take, and files that fail: a cut bitmap and
// a file that is no JPEG at loading, a damaged JPEG at its first drawing. Each
// failure shows a message box, which is slow to answer, so one comes every
// tenth round only.
const char* const kPictures[] = {"depth1.bmp",   "depth4.bmp",      "depth8.bmp",
                                 "depth16.bmp",  "depth24.bmp",     "depth32.bmp",
                                 "baseline.jpg", "progressive.jpg", "grey.jpg"};
const char* const kFailures[] = {"truncated.bmp", "not-a-jpeg.jpg", "damaged-body.jpg"};
constexpr int kPictureCount = sizeof(kPictures) / sizeof(kPictures[0]);
constexpr int kFailureCount = sizeof(kFailures) / sizeof(kFailures[0]);
constexpr int kFailureEvery = 10;

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteBytes(Path("depth1.bmp"), Bitmap(1, 97, 61));
        WriteBytes(Path("depth4.bmp"), Bitmap(4, 120, 90));
        WriteBytes(Path("depth8.bmp"), Bitmap(8, 200, 150));
        WriteBytes(Path("depth16.bmp"), Bitmap(16, 160, 120));
        WriteBmp24(Path("depth24.bmp"), Pattern(321, 241, 1));
        WriteBytes(Path("depth32.bmp"), Bitmap(32, 48, 36));
        WriteJpeg(Path("baseline.jpg"), Pattern(640, 480, 2));
        WriteBytes(Path("progressive.jpg"), EncodeProgressiveJpeg(Pattern(400, 300, 3)));
        WriteBytes(Path("grey.jpg"), GreyJpeg(250, 170));
        Bytes truncated = Bitmap(24, 80, 60);
        truncated.resize(truncated.size() / 2);
        WriteBytes(Path("truncated.bmp"), truncated);
        WriteBytes(Path("not-a-jpeg.jpg"), Bitmap(8, 16, 16));
        WriteBytes(Path("damaged-body.jpg"), FailingAtFirstDrawing());
    }

    std::string Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // One round: a picture into an empty cell, drawn; replaced by another
    // (or, every tenth round, by a file that fails), drawn; emptied by a
    // double click; then a picture in the next cell, and Clear all from its
    // key. Returns how many message boxes the round showed.
    std::size_t Round(int round)
    {
        modals.Clear();
        const int cell = round % 9 + 1;
        const int other = cell % 9 + 1;
        const char* replacement = round % kFailureEvery == 0
                                      ? kFailures[(round / kFailureEvery) % kFailureCount]
                                      : kPictures[(round + 4) % kPictureCount];
        board.HoverCell(cell);
        board.Drop({Path(kPictures[round % kPictureCount])});
        board.Snapshot();
        board.Drop({Path(replacement)});
        board.Snapshot();
        board.DoubleClick(BoardDriver::CellCentre(cell) + QPoint(30, 30));
        board.HoverCell(other);
        board.Drop({Path(kPictures[(round + 2) % kPictureCount])});
        board.Snapshot();
        board.Key(Qt::Key_Delete, Qt::NoModifier);
        return modals.Boxes().size();
    }

    static std::size_t FailuresIn(int round) { return round % kFailureEvery == 0 ? 1 : 0; }

    QTemporaryDir dir;
    ModalWatcher modals;
    BoardDriver board;
};

// The margin allows for what the toolkit keeps for itself after the warm-up
// (font and glyph caches, event queue blocks); a leak of even 100 bytes a
// round would exceed it.
constexpr std::int64_t kAllowedGrowth = 96 * 1024;
constexpr int kWarmUpRounds = kFailureEvery * kFailureCount;
constexpr int kRounds = 1000;

TEST_F(SoakTest, AThousandRoundsGiveTheHeapBack)
{
    for (int round = 0; round < kWarmUpRounds; ++round)
        ASSERT_EQ(Round(round), FailuresIn(round)) << "warm-up round " << round;
    const std::int64_t before = HeapInUse();
    for (int round = 0; round < kRounds; ++round)
        ASSERT_EQ(Round(round), FailuresIn(round)) << "round " << round;
    modals.Clear();
    const std::int64_t after = HeapInUse();
    std::printf("heap in use after the warm-up: %lld bytes, after %d rounds: %lld bytes (%+lld)\n",
                static_cast<long long>(before), kRounds, static_cast<long long>(after),
                static_cast<long long>(after - before));
    EXPECT_LE(after - before, kAllowedGrowth);
}

} // namespace
