#include "Inputs.h"

#include "Exceptions.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <jpeglib.h>

namespace {

constexpr double kTau = 6.283185307179586;

// A cheap, well-mixed hash for per-pixel noise.
std::uint32_t Mix(std::uint32_t v)
{
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

struct Disc {
    double cx, cy, r;
    int colour[3];
};

} // namespace

QImage PhotoLikePicture(int width, int height, int variant)
{
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        throw EOutOfMemory();
    const double phase = 0.7 * variant;
    // Separable parts, one table a channel and axis: broad colour fields
    // across and down, and a finer texture.
    std::vector<double> across(static_cast<size_t>(width) * 3), down(static_cast<size_t>(height) * 3);
    std::vector<double> textureX(static_cast<size_t>(width)), textureY(static_cast<size_t>(height));
    for (int c = 0; c < 3; ++c) {
        for (int x = 0; x < width; ++x)
            across[static_cast<size_t>(x) * 3 + c] =
                55 * std::sin(kTau * x / (width * (0.8 + 0.15 * c)) + phase + c) +
                18 * std::sin(kTau * x / (431.0 + 57 * c) + phase);
        for (int y = 0; y < height; ++y)
            down[static_cast<size_t>(y) * 3 + c] =
                45 * std::cos(kTau * y / (height * (1.1 - 0.1 * c)) + phase) +
                15 * std::sin(kTau * y / (353.0 + 41 * c) - phase);
    }
    for (int x = 0; x < width; ++x)
        textureX[static_cast<size_t>(x)] = std::sin(kTau * x / 23.0 + phase);
    for (int y = 0; y < height; ++y)
        textureY[static_cast<size_t>(y)] = std::sin(kTau * y / 17.0 - phase);

    std::vector<Disc> discs;
    std::uint32_t seed = Mix(static_cast<std::uint32_t>(variant) + 12345u);
    const auto next = [&seed] { return (seed = Mix(seed + 0x9E3779B9u)); };
    for (int i = 0; i < 14; ++i) {
        Disc d{};
        d.cx = next() % static_cast<unsigned>(width);
        d.cy = next() % static_cast<unsigned>(height);
        d.r = std::max(4.0, (0.03 + (next() % 1000) / 8000.0) * std::min(width, height));
        for (int& c : d.colour)
            c = static_cast<int>(next() % 256);
        discs.push_back(d);
    }

    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const double* dy = &down[static_cast<size_t>(y) * 3];
        for (int x = 0; x < width; ++x) {
            const double* ax = &across[static_cast<size_t>(x) * 3];
            const double texture = 12 * textureX[static_cast<size_t>(x)] * textureY[static_cast<size_t>(y)];
            const std::uint32_t noise =
                Mix(static_cast<std::uint32_t>(y) * 40503u + static_cast<std::uint32_t>(x) +
                    static_cast<std::uint32_t>(variant) * 0x01000193u);
            // Grain as a sensor makes it: mostly in the brightness, a little
            // in each colour.
            const int grain = static_cast<int>((noise & 0xFF) % 29) - 14;
            int rgb[3];
            for (int c = 0; c < 3; ++c)
                rgb[c] = static_cast<int>(128 + ax[c] + dy[c] + texture) + grain +
                         static_cast<int>((noise >> (8 * c + 8)) % 7) - 3;
            row[x] = qRgb(std::clamp(rgb[0], 0, 255), std::clamp(rgb[1], 0, 255), std::clamp(rgb[2], 0, 255));
        }
        // Discs over the fields, each keeping the texture and noise under it.
        for (const Disc& d : discs) {
            const double dyc = y - d.cy;
            if (std::abs(dyc) >= d.r)
                continue;
            const double half = std::sqrt(d.r * d.r - dyc * dyc);
            const int from = std::max(0, static_cast<int>(d.cx - half));
            const int to = std::min(width - 1, static_cast<int>(d.cx + half));
            for (int x = from; x <= to; ++x) {
                const QRgb p = row[x];
                row[x] = qRgb((qRed(p) + 3 * d.colour[0]) / 4, (qGreen(p) + 3 * d.colour[1]) / 4,
                              (qBlue(p) + 3 * d.colour[2]) / 4);
            }
        }
    }
    return picture;
}

// ---- Progressive encoding, straight on libjpeg ------------------------------

namespace {

// Everything the library touches; plain C data, so that its error exit may
// longjmp over it.
struct EncodeJob {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    std::jmp_buf jump;
    unsigned char* out;
    unsigned long outSize;
};

} // namespace

extern "C" {
static void BenchEncodeErrorExit(j_common_ptr cinfo)
{
    // cinfo is the first member of EncodeJob.
    std::longjmp(reinterpret_cast<EncodeJob*>(cinfo)->jump, 1);
}
static void BenchEncodeSilence(j_common_ptr) {}
}

namespace {

// `rgb` holds rows of red, green, blue bytes, `stride` bytes apart.
bool RunProgressiveEncode(EncodeJob* job, const unsigned char* rgb, std::size_t stride, int width, int height,
                          int quality)
{
    if (setjmp(job->jump))
        return false;
    job->cinfo.err = jpeg_std_error(&job->err);
    job->err.error_exit = BenchEncodeErrorExit;
    job->err.output_message = BenchEncodeSilence;
    jpeg_create_compress(&job->cinfo);
    j_compress_ptr cinfo = &job->cinfo;
    jpeg_mem_dest(cinfo, &job->out, &job->outSize);
    cinfo->image_width = static_cast<JDIMENSION>(width);
    cinfo->image_height = static_cast<JDIMENSION>(height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * cinfo->next_scanline);
        if (jpeg_write_scanlines(cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

std::vector<unsigned char> EncodeProgressive(const QImage& picture, int quality)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw EOutOfMemory();
    EncodeJob job{};
    const bool ok = RunProgressiveEncode(&job, rgb.constBits(), static_cast<std::size_t>(rgb.bytesPerLine()),
                                         rgb.width(), rgb.height(), quality);
    const int code = job.err.msg_code;
    jpeg_destroy_compress(&job.cinfo);
    if (!ok)
        throw EJPEG(code);
    std::vector<unsigned char> file(job.out, job.out + job.outSize);
    std::free(job.out);
    return file;
}

// ---- Files ------------------------------------------------------------------

namespace {

void Check(const std::ofstream& out, const std::string& path)
{
    if (!out)
        throw EWriteError(path);
}

} // namespace

void WriteBmpFile(const std::string& path, const QImage& picture)
{
    const int w = picture.width(), h = picture.height();
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    const std::uint64_t size = 54 + stride * static_cast<std::uint64_t>(h);
    unsigned char header[54] = {'B', 'M'};
    const auto put32 = [&header](int at, std::uint64_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint64_t>(w));
    put32(22, static_cast<std::uint64_t>(h));
    header[26] = 1;
    header[28] = 24;
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw EFCreateError(path);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    std::vector<char> row(stride, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            row[3 * static_cast<std::size_t>(x)] = static_cast<char>(qBlue(in[x]));
            row[3 * static_cast<std::size_t>(x) + 1] = static_cast<char>(qGreen(in[x]));
            row[3 * static_cast<std::size_t>(x) + 2] = static_cast<char>(qRed(in[x]));
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    out.close();
    Check(out, path);
}

void WritePpmFile(const std::string& path, const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw EFCreateError(path);
    out << "P6\n" << rgb.width() << " " << rgb.height() << "\n255\n";
    for (int y = 0; y < rgb.height(); ++y)
        out.write(reinterpret_cast<const char*>(rgb.constScanLine(y)),
                  static_cast<std::streamsize>(rgb.width()) * 3);
    out.close();
    Check(out, path);
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw EFCreateError(path);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(out, path);
}
