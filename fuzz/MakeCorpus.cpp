// Writes the seed pictures the fuzz targets start from: small bitmaps of every
// header, depth, compression and row order the bitmap reader accepts, small
// JPEG files of every coding the library decodes, and damaged or cut copies
// of some of them. Run it with the folder that holds "bmp" and "jpeg":
//
//     make_fuzz_corpus tests/fuzz-corpus
//
// The output depends only on this program and the JPEG library, so running it
// again rewrites the same files.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

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

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kAlphaBitfields = 6;

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

void Patch32(Bytes& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

struct Bmp {
    std::uint32_t headerSize = 40;
    int width = 13;
    int height = 7;
    bool topDown = false;
    unsigned bitCount = 24;
    std::uint32_t compression = kRgb;
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
    Bytes out;
    const std::size_t rowBytes = (static_cast<std::size_t>(f.width) * f.bitCount + 31) / 32 * 4;
    std::vector<std::uint32_t> masks = f.masks;
    if (masks.empty() && f.bitCount == 16)
        masks = {0x7C00, 0x03E0, 0x001F};
    if (masks.empty() && f.bitCount == 32)
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    for (int r = 0; r < f.height; ++r) {
        const int y = f.topDown ? r : f.height - 1 - r;
        Bytes row(rowBytes, 0);
        for (int x = 0; x < f.width; ++x) {
            const Rgb c = PixelAt(x, y);
            switch (f.bitCount) {
            case 1:
            case 4:
            case 8: {
                const unsigned bit = static_cast<unsigned>(x) * f.bitCount;
                row[bit / 8] |=
                    static_cast<unsigned char>(IndexAt(x, y, f.bitCount) << (8 - f.bitCount - bit % 8));
                break;
            }
            case 24:
                row[3 * x] = c.b;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.r;
                break;
            case 16:
            case 32: {
                const std::uint32_t v =
                    UnderMask(c.r, masks[0]) | UnderMask(c.g, masks[1]) | UnderMask(c.b, masks[2]);
                for (unsigned i = 0; i < f.bitCount / 8; ++i)
                    row[f.bitCount / 8 * x + i] = static_cast<unsigned char>(v >> (8 * i));
                break;
            }
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Run-length data, bottom row first, using every code the format has: runs,
// absolute runs with and without padding, end of line, a delta and the end of
// the bitmap.
Bytes RunLengthRows(const Bmp& f)
{
    const bool nibbles = f.compression == kRle4;
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

Bytes BuildBmp(const Bmp& f)
{
    const bool rle = f.compression == kRle8 || f.compression == kRle4;
    const Bytes pixels = rle ? RunLengthRows(f) : PackedRows(f);
    Bytes out{'B', 'M'};
    Put32(out, 0); // file size, patched below
    Put32(out, 0); // reserved
    Put32(out, 0); // pixel offset, patched below
    Put32(out, f.headerSize);
    if (f.headerSize == 12) {
        Put16(out, static_cast<std::uint32_t>(f.width));
        Put16(out, static_cast<std::uint32_t>(f.height));
        Put16(out, 1);
        Put16(out, f.bitCount);
    } else {
        Put32(out, static_cast<std::uint32_t>(f.width));
        Put32(out, static_cast<std::uint32_t>(f.topDown ? -f.height : f.height));
        Put16(out, 1);
        Put16(out, f.bitCount);
        Put32(out, f.compression);
        Put32(out, static_cast<std::uint32_t>(pixels.size()));
        Put32(out, 2835); // 72 dpi
        Put32(out, 2835);
        Put32(out, f.bitCount <= 8 ? f.colours : 0);
        Put32(out, 0); // colours important
        if (f.headerSize > 40) {
            for (std::size_t i = 0; i < f.masks.size() && out.size() + 4 <= 14 + f.headerSize; ++i)
                Put32(out, f.masks[i]);
        }
        if (f.headerSize >= 108 && out.size() < 14 + 40 + 16) {
            out.resize(14 + 40 + 12, 0);
            Put32(out, 0); // no alpha mask
        }
        if (f.headerSize >= 108)
            Put32(out, 0x73524742); // 'sRGB'
        out.resize(14 + f.headerSize, 0);
        if (f.headerSize == 40) {
            for (const std::uint32_t mask : f.masks)
                Put32(out, mask);
        }
    }
    if (f.bitCount <= 8) {
        const unsigned entries = f.colours ? f.colours : 1u << f.bitCount;
        for (unsigned i = 0; i < entries; ++i) {
            const Rgb c = PaletteColour(i);
            out.insert(out.end(), {c.b, c.g, c.r});
            if (f.headerSize != 12)
                out.push_back(0);
        }
    }
    Patch32(out, 10, static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), pixels.begin(), pixels.end());
    Patch32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
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
                      BuildBmp(f));
            }
        }
    }

    // Run-length data, 8 and 4 bits, behind each header that may carry it.
    for (const std::uint32_t header : {40u, 108u, 124u}) {
        for (const bool four : {false, true}) {
            Bmp f;
            f.headerSize = header;
            f.bitCount = four ? 4 : 8;
            f.compression = four ? kRle4 : kRle8;
            f.colours = four ? 16 : 40;
            Write("bmp", HeaderName(header) + "-rle" + (four ? "4" : "8") + ".bmp", BuildBmp(f));
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
        {"565", 16, kBitfields, {0xF800, 0x07E0, 0x001F}},
        {"555", 16, kBitfields, {0x7C00, 0x03E0, 0x001F}},
        {"444a", 16, kAlphaBitfields, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"888", 32, kBitfields, {0x00FF0000, 0x0000FF00, 0x000000FF}},
        {"10bit", 32, kBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}},
        {"bgr-nogreen", 32, kBitfields, {0x000000FF, 0, 0x00FF0000}},
        {"8888a", 32, kAlphaBitfields, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF}},
    };
    for (const Fields& m : fields) {
        for (const std::uint32_t header : {40u, 52u, 56u, 108u, 124u}) {
            if (header == 52 && m.compression == kAlphaBitfields)
                continue;
            Bmp f;
            f.headerSize = header;
            f.bitCount = m.depth;
            f.compression = m.compression;
            f.masks = m.masks;
            if (header == 40 && m.compression == kBitfields)
                f.masks.resize(3);
            f.topDown = header == 108;
            Write("bmp", HeaderName(header) + "-bitfields-" + m.name + ".bmp", BuildBmp(f));
        }
    }

    // Odd shapes: one pixel, one column, a palette shorter than the depth.
    {
        Bmp f;
        f.width = 1;
        f.height = 1;
        Write("bmp", "info-24bpp-1x1.bmp", BuildBmp(f));
        f.width = 1;
        f.height = 9;
        f.bitCount = 1;
        Write("bmp", "info-1bpp-1x9.bmp", BuildBmp(f));
        f.width = 33;
        f.height = 2;
        f.bitCount = 8;
        f.colours = 5;
        Write("bmp", "info-8bpp-short-palette.bmp", BuildBmp(f));
    }

    // Cut short: inside the file header, inside the info header, inside the
    // palette, inside the rows, inside run-length data.
    {
        Bmp f;
        f.bitCount = 8;
        const Bytes whole = BuildBmp(f);
        Write("bmp", "cut-in-file-header.bmp", Prefix(whole, 9));
        Write("bmp", "cut-in-info-header.bmp", Prefix(whole, 30));
        Write("bmp", "cut-in-palette.bmp", Prefix(whole, 14 + 40 + 100));
        Write("bmp", "cut-in-rows.bmp", Prefix(whole, whole.size() - 20));
        f.bitCount = 24;
        f.topDown = true;
        const Bytes rows = BuildBmp(f);
        Write("bmp", "cut-topdown-24bpp.bmp", Prefix(rows, rows.size() - 1));
        f.topDown = false;
        f.bitCount = 8;
        f.compression = kRle8;
        f.colours = 40;
        const Bytes rle = BuildBmp(f);
        Write("bmp", "cut-in-rle8.bmp", Prefix(rle, rle.size() - 15));
        // The same cut with no size declared for the run-length data: the
        // rows decoded up to the cut are kept.
        Bytes undeclared = Prefix(rle, rle.size() - 15);
        Patch32(undeclared, 14 + 20, 0);
        Write("bmp", "rle8-ends-early.bmp", undeclared);
        f.headerSize = 56;
        f.bitCount = 16;
        f.compression = kBitfields;
        f.masks = {0xF800, 0x07E0, 0x001F};
        const Bytes masks = BuildBmp(f);
        Write("bmp", "cut-in-masks.bmp", Prefix(masks, 14 + 44));
    }
}

// ---- JPEG files --------------------------------------------------------------

enum class Colours { Rgb, Grey, Cmyk, Ycck };

struct Jpeg {
    int width = 32;
    int height = 24;
    Colours colours = Colours::Rgb;
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
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr); // the program exits on any library error
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(j.width);
    cinfo.image_height = static_cast<JDIMENSION>(j.height);
    switch (j.colours) {
    case Colours::Rgb:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        break;
    case Colours::Grey:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case Colours::Cmyk:
    case Colours::Ycck:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&cinfo);
    if (j.colours == Colours::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, j.quality, TRUE);
    if (j.noSubsampling) {
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.arith_code = j.arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = j.optimise ? TRUE : FALSE;
    cinfo.restart_interval = j.restartInterval;
    cinfo.restart_in_rows = j.restartRows;
    if (j.progressive)
        jpeg_simple_progression(&cinfo);
    std::vector<jpeg_scan_info> scans;
    if (j.separateScans) {
        for (int c = 0; c < cinfo.num_components; ++c) {
            jpeg_scan_info scan{};
            scan.comps_in_scan = 1;
            scan.component_index[0] = c;
            scan.Se = 63;
            scans.push_back(scan);
        }
        cinfo.scan_info = scans.data();
        cinfo.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(j.width) *
                             static_cast<std::size_t>(cinfo.input_components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < j.width; ++x) {
            const Rgb c = PixelAt(x, y);
            JSAMPLE* p = &row[static_cast<std::size_t>(x * cinfo.input_components)];
            switch (j.colours) {
            case Colours::Rgb:
                p[0] = c.r, p[1] = c.g, p[2] = c.b;
                break;
            case Colours::Grey:
                p[0] = static_cast<JSAMPLE>((c.r * 3 + c.g * 6 + c.b) / 10);
                break;
            case Colours::Cmyk:
            case Colours::Ycck:
                // Inks held inverted, as Adobe writes them.
                p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = static_cast<JSAMPLE>(255 - x * 4);
                break;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
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
        {"grey", with([](Jpeg& j) { j.colours = Colours::Grey; })},
        {"grey-progressive", with([](Jpeg& j) { j.colours = Colours::Grey, j.progressive = true; })},
        {"progressive", with([](Jpeg& j) { j.progressive = true; })},
        {"progressive-odd-size", with([](Jpeg& j) { j.progressive = true, j.width = 23, j.height = 11; })},
        {"arithmetic", with([](Jpeg& j) { j.arithmetic = true; })},
        {"arithmetic-progressive", with([](Jpeg& j) { j.arithmetic = true, j.progressive = true; })},
        {"arithmetic-grey", with([](Jpeg& j) { j.arithmetic = true, j.colours = Colours::Grey; })},
        {"restart-every-mcu", with([](Jpeg& j) { j.restartInterval = 1; })},
        {"restart-every-row", with([](Jpeg& j) { j.restartRows = 1, j.height = 40; })},
        {"restart-progressive", with([](Jpeg& j) { j.restartInterval = 2, j.progressive = true; })},
        {"restart-arithmetic", with([](Jpeg& j) { j.restartInterval = 3, j.arithmetic = true; })},
        {"separate-scans", with([](Jpeg& j) { j.separateScans = true; })},
        {"cmyk-adobe", with([](Jpeg& j) { j.colours = Colours::Cmyk, j.width = 16, j.height = 16; })},
        {"ycck-adobe", with([](Jpeg& j) { j.colours = Colours::Ycck, j.width = 16, j.height = 16; })},
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
    WriteBitmaps();
    WriteJpegs();
    std::printf("%d seed files written under %s\n", g_written, g_root.c_str());
    return 0;
}
