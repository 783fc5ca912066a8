// Writes the seed pictures the fuzz targets start from: small bitmaps of every
// header, depth, compression and row order the bitmap reader accepts, small
// JPEG files of every coding the library decodes, and damaged or cut copies
// of some of them. Run it with the folder that holds "bmp" and "jpeg":
//
//     make_fuzz_corpus tests/fuzz-corpus
//
// The output depends only on this program, the fixture writers it shares with
// the tests and the JPEG library, so running it again rewrites the same files.
#include "BmpFixtures.h"
#include "JpegFixtures.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- Output ------------------------------------------------------------------

std::filesystem::path g_root;
int g_written = 0;

void Write(const std::string& folder, const std::string& name, const Bytes& bytes)
{
    const std::filesystem::path dir = g_root / folder;
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name.c_str());
        std::exit(1);
    }
    ++g_written;
}

Bytes Prefix(const Bytes& bytes, std::size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(size, bytes.size())));
}

// ---- The picture -------------------------------------------------------------

struct Rgb {
    unsigned char r, g, b;
};

// A small picture with diagonal bands and a gradient, so that neighbouring
// pixels differ and every row is different from the next.
Rgb PixelAt(int x, int y)
{
    return {static_cast<unsigned char>(x * 19 + y * 3), static_cast<unsigned char>(y * 23 + 40),
            static_cast<unsigned char>(((x + y) / 3) % 2 ? 220 : 30)};
}

// A palette index for a picture of 2^bits colours.
unsigned IndexAt(int x, int y, unsigned bits)
{
    return static_cast<unsigned>(x + 2 * y + (x * y) / 5) % (1u << bits);
}

Rgb PaletteColour(unsigned i)
{
    return {static_cast<unsigned char>(i * 37), static_cast<unsigned char>(255 - i * 11),
            static_cast<unsigned char>(i * 73 + 5)};
}

// ---- Bitmaps -----------------------------------------------------------------

struct Bmp {
    std::uint32_t headerSize = 40;
    int width = 13;
    int height = 7;
    bool topDown = false;
    unsigned bitCount = 24;
    std::uint32_t compression = kBmpRgb;
    std::vector<std::uint32_t> masks; // red, green, blue (, alpha)
    unsigned colours = 0;             // palette entries written; 0: 2^bitCount
};

// How one channel's value of 0..255 sits in a pixel under its mask.
std::uint32_t UnderMask(unsigned value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const std::uint32_t max = mask >> shift;
    return ((value * max + 127) / 255) << shift;
}

Bytes PackedRows(const Bmp& f)
{
    std::vector<std::uint32_t> masks = f.masks;
    if (masks.empty() && f.bitCount == 16)
        masks = {0x7C00, 0x03E0, 0x001F};
    if (masks.empty() && f.bitCount == 32)
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    std::vector<std::uint32_t> values;
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
            const Rgb c = PixelAt(x, y);
            switch (f.bitCount) {
            case 1:
            case 4:
            case 8:
                values.push_back(IndexAt(x, y, f.bitCount));
                break;
            case 24:
                values.push_back(std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
                break;
            case 16:
            case 32:
                values.push_back(UnderMask(c.r, masks[0]) | UnderMask(c.g, masks[1]) |
                                 UnderMask(c.b, masks[2]));
                break;
            }
        }
    }
    return PackBmpRows(f.width, f.bitCount, values, f.topDown);
}

// Run-length data, bottom row first, using every code the format has: runs,
// absolute runs with and without padding, end of line, a delta and the end of
// the bitmap.
Bytes RunLengthRows(const Bmp& f)
{
    const bool nibbles = f.compression == kBmpRle4;
    Bytes out;
    for (int r = 0; r < f.height; ++r) {
        const int y = f.height - 1 - r;
        if (r == 2) {
            // Skip two pixels right and one row up: the skipped pixels keep
            // palette index 0.
            out.insert(out.end(), {0, 2, 2, 1});
            continue;
        }
        int x = r == 3 ? 2 : 0;
        while (x < f.width) {
            const int left = f.width - x;
            if ((x / 4) % 2 == 0 || left < 3) {
                // A run of up to four pixels of one index (two for 4 bits).
                const int n = std::min(left, 4);
                const unsigned a = IndexAt(x, y, f.bitCount);
                const unsigned b = IndexAt(x + 1, y, f.bitCount);
                out.push_back(static_cast<unsigned char>(n));
                out.push_back(static_cast<unsigned char>(nibbles ? (a << 4) | b : a));
                x += n;
            } else {
                // An absolute run of three to five pixels.
                const int n = std::min(left, 3 + r % 3);
                out.push_back(0);
                out.push_back(static_cast<unsigned char>(n));
                Bytes bytes;
                for (int i = 0; i < n; ++i) {
                    const unsigned v = IndexAt(x + i, y, f.bitCount);
                    if (!nibbles)
                        bytes.push_back(static_cast<unsigned char>(v));
                    else if (i % 2 == 0)
                        bytes.push_back(static_cast<unsigned char>(v << 4));
                    else
                        bytes.back() |= static_cast<unsigned char>(v);
                }
                if (bytes.size() % 2)
                    bytes.push_back(0);
                out.insert(out.end(), bytes.begin(), bytes.end());
                x += n;
            }
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

Bytes SeedBmp(const Bmp& f)
{
    const bool rle = f.compression == kBmpRle8 || f.compression == kBmpRle4;
    BmpLayout layout;
    layout.headerSize = f.headerSize;
    layout.width = f.width;
    layout.height = f.topDown ? -f.height : f.height;
    layout.bitCount = static_cast<std::uint16_t>(f.bitCount);
    layout.compression = f.compression;
    layout.colorsUsed = f.bitCount <= 8 ? f.colours : 0;
    layout.masks = f.masks;
    layout.colourSpace = 0x73524742; // 'sRGB', in the V4 and V5 headers
    if (f.bitCount <= 8) {
        const unsigned entries = f.colours ? f.colours : 1u << f.bitCount;
        for (unsigned i = 0; i < entries; ++i) {
            const Rgb c = PaletteColour(i);
            layout.palette.push_back(std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
        }
    }
    layout.pixels = rle ? RunLengthRows(f) : PackedRows(f);
    return BuildBmp(layout);
}

std::string HeaderName(std::uint32_t size)
{
    switch (size) {
    case 12:
        return "core";
    case 40:
        return "info";
    case 52:
        return "info52";
    case 56:
        return "info56";
    case 108:
        return "v4";
    default:
        return "v5";
    }
}

void WriteBitmaps()
{
    // Plain rows: every header with every depth it can carry, both row orders.
    for (const std::uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        for (const unsigned depth : {1u, 4u, 8u, 16u, 24u, 32u}) {
            if (header == 12 && (depth == 16 || depth == 32))
                continue;
            for (const bool topDown : {false, true}) {
                if (header == 12 && topDown)
                    continue;
                Bmp f;
                f.headerSize = header;
                f.bitCount = depth;
                f.topDown = topDown;
                Write("bmp",
                      HeaderName(header) + "-" + std::to_string(depth) + "bpp-" +
                          (topDown ? "topdown" : "bottomup") + ".bmp",
                      SeedBmp(f));
            }
        }
    }

    // Run-length data, 8 and 4 bits, behind each header that may carry it.
    for (const std::uint32_t header : {40u, 108u, 124u}) {
        for (const bool four : {false, true}) {
            Bmp f;
            f.headerSize = header;
            f.bitCount = four ? 4 : 8;
            f.compression = four ? kBmpRle4 : kBmpRle8;
            f.colours = four ? 16 : 40;
            Write("bmp", HeaderName(header) + "-rle" + (four ? "4" : "8") + ".bmp", SeedBmp(f));
        }
    }

    // Bit fields: masks after a 40-byte header, inside the larger ones.
    struct Fields {
        const char* name;
        unsigned depth;
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
    };
    const Fields fields[] = {
        {"565", 16, kBmpBitfields, {0xF800, 0x07E0, 0x001F}},
        {"555", 16, kBmpBitfields, {0x7C00, 0x03E0, 0x001F}},
        {"444a", 16, kBmpAlphaBitfields, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"888", 32, kBmpBitfields, {0x00FF0000, 0x0000FF00, 0x000000FF}},
        {"10bit", 32, kBmpBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}},
        {"bgr-nogreen", 32, kBmpBitfields, {0x000000FF, 0, 0x00FF0000}},
        {"8888a", 32, kBmpAlphaBitfields, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF}},
    };
    for (const Fields& m : fields) {
        for (const std::uint32_t header : {40u, 52u, 56u, 108u, 124u}) {
            if (header == 52 && m.compression == kBmpAlphaBitfields)
                continue;
            Bmp f;
            f.headerSize = header;
            f.bitCount = m.depth;
            f.compression = m.compression;
            f.masks = m.masks;
            if (header == 40 && m.compression == kBmpBitfields)
                f.masks.resize(3);
            f.topDown = header == 108;
            Write("bmp", HeaderName(header) + "-bitfields-" + m.name + ".bmp", SeedBmp(f));
        }
    }

    // Odd shapes: one pixel, one column, a palette shorter than the depth.
    {
        Bmp f;
        f.width = 1;
        f.height = 1;
        Write("bmp", "info-24bpp-1x1.bmp", SeedBmp(f));
        f.width = 1;
        f.height = 9;
        f.bitCount = 1;
        Write("bmp", "info-1bpp-1x9.bmp", SeedBmp(f));
        f.width = 33;
        f.height = 2;
        f.bitCount = 8;
        f.colours = 5;
        Write("bmp", "info-8bpp-short-palette.bmp", SeedBmp(f));
    }

    // Cut short: inside the file header, inside the info header, inside the
    // palette, inside the rows, inside run-length data.
    {
        Bmp f;
        f.bitCount = 8;
        const Bytes whole = SeedBmp(f);
        Write("bmp", "cut-in-file-header.bmp", Prefix(whole, 9));
        Write("bmp", "cut-in-info-header.bmp", Prefix(whole, 30));
        Write("bmp", "cut-in-palette.bmp", Prefix(whole, 14 + 40 + 100));
        Write("bmp", "cut-in-rows.bmp", Prefix(whole, whole.size() - 20));
        f.bitCount = 24;
        f.topDown = true;
        const Bytes rows = SeedBmp(f);
        Write("bmp", "cut-topdown-24bpp.bmp", Prefix(rows, rows.size() - 1));
        f.topDown = false;
        f.bitCount = 8;
        f.compression = kBmpRle8;
        f.colours = 40;
        const Bytes rle = SeedBmp(f);
        Write("bmp", "cut-in-rle8.bmp", Prefix(rle, rle.size() - 15));
        // The same cut with no size declared for the run-length data: the
        // rows decoded up to the cut are kept.
        Bytes undeclared = Prefix(rle, rle.size() - 15);
        PatchLe32(undeclared, 14 + 20, 0);
        Write("bmp", "rle8-ends-early.bmp", undeclared);
        f.headerSize = 56;
        f.bitCount = 16;
        f.compression = kBmpBitfields;
        f.masks = {0xF800, 0x07E0, 0x001F};
        const Bytes masks = SeedBmp(f);
        Write("bmp", "cut-in-masks.bmp", Prefix(masks, 14 + 44));
    }
}

// ---- JPEG files --------------------------------------------------------------

struct Jpeg {
    int width = 32;
    int height = 24;
    JpegColours colours = JpegColours::Rgb;
    bool progressive = false;
    bool arithmetic = false;
    bool optimise = false;
    bool noSubsampling = false;
    bool separateScans = false; // sequential, one scan a component
    unsigned restartInterval = 0;
    int restartRows = 0;
    int quality = 75;
};

Bytes Encode(const Jpeg& j)
{
    JpegFixtureOptions options;
    options.colours = j.colours;
    // The file has as many components as the samples have channels.
    const int components = JpegSamplesPerPixel(options.colours);
    options.quality = j.quality;
    if (j.noSubsampling)
        options.sampling.fill({1, 1});
    options.arithmetic = j.arithmetic;
    options.optimiseCoding = j.optimise;
    options.restartInterval = j.restartInterval;
    options.restartRows = j.restartRows;
    options.progressive = j.progressive;
    if (j.separateScans) {
        for (int c = 0; c < components; ++c)
            options.scans.push_back({1, {c}, 0, 63, 0, 0});
    }
    Bytes samples;
    for (int y = 0; y < j.height; ++y) {
        for (int x = 0; x < j.width; ++x) {
            const Rgb c = PixelAt(x, y);
            switch (j.colours) {
            case JpegColours::Rgb:
                samples.insert(samples.end(), {c.r, c.g, c.b});
                break;
            case JpegColours::Grey:
                samples.push_back(static_cast<unsigned char>((c.r * 3 + c.g * 6 + c.b) / 10));
                break;
            case JpegColours::Cmyk:
            case JpegColours::Ycck:
                // Inks held inverted, as Adobe writes them.
                samples.insert(samples.end(), {c.r, c.g, c.b, static_cast<unsigned char>(255 - x * 4)});
                break;
            }
        }
    }
    return EncodeJpegFixture(samples, j.width, j.height, options);
}

// Where the entropy-coded data of the n-th scan (counted from 1) begins, and
// where the next marker after it lies.
struct Span {
    std::size_t begin = 0, end = 0;
};

Span ScanData(const Bytes& f, int n)
{
    int seen = 0;
    for (std::size_t i = 2; i + 3 < f.size(); ++i) {
        if (f[i] != 0xFF || f[i + 1] != 0xDA || ++seen < n)
            continue;
        Span s;
        s.begin = i + 2 + ((std::size_t{f[i + 2]} << 8) | f[i + 3]);
        s.end = s.begin;
        while (s.end + 1 < f.size() &&
               !(f[s.end] == 0xFF && f[s.end + 1] != 0 && !(f[s.end + 1] >= 0xD0 && f[s.end + 1] <= 0xD7)))
            ++s.end;
        return s;
    }
    std::fprintf(stderr, "no scan %d\n", n);
    std::exit(1);
}

std::size_t MarkerAt(const Bytes& f, unsigned char code)
{
    for (std::size_t i = 2; i + 1 < f.size(); ++i) {
        if (f[i] == 0xFF && f[i + 1] == code)
            return i;
    }
    std::fprintf(stderr, "no marker %02X\n", code);
    std::exit(1);
}

// Flips bits through a stretch of entropy-coded data without making markers.
Bytes Scrambled(Bytes f, Span s, unsigned char pattern)
{
    for (std::size_t i = s.begin + (s.end - s.begin) / 3; i < s.end - (s.end - s.begin) / 3; ++i) {
        if (f[i] != 0xFF && (f[i] ^ pattern) != 0xFF && f[i - 1] != 0xFF)
            f[i] ^= pattern;
    }
    return f;
}

void WriteJpegs()
{
    struct Kind {
        const char* name;
        Jpeg jpeg;
    };
    auto with = [](auto change) {
        Jpeg j;
        change(j);
        return j;
    };
    const Kind kinds[] = {
        {"baseline-420", Jpeg{}},
        {"baseline-444", with([](Jpeg& j) { j.noSubsampling = true; })},
        {"baseline-odd-size", with([](Jpeg& j) { j.width = 17, j.height = 9; })},
        {"baseline-optimised", with([](Jpeg& j) { j.optimise = true; })},
        {"baseline-q10", with([](Jpeg& j) { j.quality = 10; })},
        {"baseline-q100", with([](Jpeg& j) { j.quality = 100, j.width = 16, j.height = 16; })},
        {"grey", with([](Jpeg& j) { j.colours = JpegColours::Grey; })},
        {"grey-progressive", with([](Jpeg& j) { j.colours = JpegColours::Grey, j.progressive = true; })},
        {"progressive", with([](Jpeg& j) { j.progressive = true; })},
        {"progressive-odd-size", with([](Jpeg& j) { j.progressive = true, j.width = 23, j.height = 11; })},
        {"arithmetic", with([](Jpeg& j) { j.arithmetic = true; })},
        {"arithmetic-progressive", with([](Jpeg& j) { j.arithmetic = true, j.progressive = true; })},
        {"arithmetic-grey", with([](Jpeg& j) { j.arithmetic = true, j.colours = JpegColours::Grey; })},
        {"restart-every-mcu", with([](Jpeg& j) { j.restartInterval = 1; })},
        {"restart-every-row", with([](Jpeg& j) { j.restartRows = 1, j.height = 40; })},
        {"restart-progressive", with([](Jpeg& j) { j.restartInterval = 2, j.progressive = true; })},
        {"restart-arithmetic", with([](Jpeg& j) { j.restartInterval = 3, j.arithmetic = true; })},
        {"separate-scans", with([](Jpeg& j) { j.separateScans = true; })},
        {"cmyk-adobe", with([](Jpeg& j) { j.colours = JpegColours::Cmyk, j.width = 16, j.height = 16; })},
        {"ycck-adobe", with([](Jpeg& j) { j.colours = JpegColours::Ycck, j.width = 16, j.height = 16; })},
    };
    for (const Kind& k : kinds)
        Write("jpeg", std::string(k.name) + ".jpg", Encode(k.jpeg));

    // Damaged bodies: scrambled entropy data, cuts at telling places, a
    // missing end marker, stray and wrong markers, a frame header that lies.
    const Bytes baseline = Encode(Jpeg{});
    const Span body = ScanData(baseline, 1);
    Write("jpeg", "damaged-body.jpg", Scrambled(baseline, body, 0x5A));
    Write("jpeg", "damaged-body-ones.jpg", Scrambled(baseline, body, 0xF0));
    Write("jpeg", "cut-in-header.jpg", Prefix(baseline, MarkerAt(baseline, 0xC4) + 7));
    Write("jpeg", "cut-before-scan.jpg", Prefix(baseline, MarkerAt(baseline, 0xDA)));
    Write("jpeg", "cut-in-body.jpg", Prefix(baseline, (body.begin + body.end) / 2));
    Write("jpeg", "no-end-marker.jpg", Prefix(baseline, baseline.size() - 2));
    {
        Bytes f = baseline;
        const std::size_t at = (body.begin + body.end) / 2;
        f.insert(f.begin() + static_cast<std::ptrdiff_t>(at), {0xFF, 0xD3}); // an unexpected restart marker
        Write("jpeg", "stray-restart-marker.jpg", f);
    }
    {
        Bytes f = baseline;
        const std::size_t sof = MarkerAt(f, 0xC0);
        f[sof + 5] = 0x01, f[sof + 6] = 0x00; // 256 rows declared, 24 stored
        f[sof + 7] = 0x01, f[sof + 8] = 0x40; // 320 columns
        Write("jpeg", "frame-larger-than-body.jpg", f);
    }
    {
        Bytes f = baseline;
        const std::size_t dqt = MarkerAt(f, 0xDB);
        f[dqt + 4] = 0x13; // a table number past the four the format has
        Write("jpeg", "bad-quant-table-number.jpg", f);
    }
    const Bytes restart = Encode(with([](Jpeg& j) { j.restartInterval = 1; }));
    {
        Bytes f = restart;
        const Span s = ScanData(f, 1);
        for (std::size_t i = s.begin; i + 1 < s.end; ++i) {
            if (f[i] == 0xFF && f[i + 1] >= 0xD0 && f[i + 1] <= 0xD7) {
                f[i + 1] = static_cast<unsigned char>(0xD0 + (f[i + 1] - 0xD0 + 3) % 8); // out of sequence
                i += 1;
            }
        }
        Write("jpeg", "restart-out-of-order.jpg", f);
    }
    const Bytes progressive = Encode(with([](Jpeg& j) { j.progressive = true; }));
    {
        Bytes f = progressive;
        const std::size_t second = ScanData(f, 2).begin;
        Write("jpeg", "progressive-cut-after-first-scan.jpg", Prefix(f, second));
        Write("jpeg", "progressive-damaged-third-scan.jpg", Scrambled(f, ScanData(f, 3), 0x3C));
        // The second scan header names no components.
        std::size_t sos = 0;
        for (int seen = 0; sos + 5 < f.size(); ++sos) {
            if (f[sos] == 0xFF && f[sos + 1] == 0xDA && ++seen == 2)
                break;
        }
        f[sos + 4] = 0;
        Write("jpeg", "progressive-empty-scan-header.jpg", f);
    }
    const Bytes arithmetic = Encode(with([](Jpeg& j) { j.arithmetic = true; }));
    Write("jpeg", "arithmetic-damaged-body.jpg", Scrambled(arithmetic, ScanData(arithmetic, 1), 0x77));
    Write("jpeg", "arithmetic-cut-in-body.jpg", Prefix(arithmetic, ScanData(arithmetic, 1).begin + 20));
    Write("jpeg", "not-a-jpeg.jpg", Bytes{'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0});
    Write("jpeg", "only-start-marker.jpg", Bytes{0xFF, 0xD8});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER (holding bmp/ and jpeg/)\n", argv[0]);
        return 2;
    }
    g_root = argv[1];
    try {
        WriteBitmaps();
        WriteJpegs();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%d seed files written under %s\n", g_written, g_root.c_str());
    return 0;
}
