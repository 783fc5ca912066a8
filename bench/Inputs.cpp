#include "Inputs.h"

#include "BmpFixtures.h"
#include "Exceptions.h"
#include "JpegFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

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

// ---- Progressive encoding -----------------------------------------------------

std::vector<unsigned char> EncodeProgressive(const QImage& picture, int quality)
{
    JpegFixtureOptions options;
    options.quality = quality;
    options.progressive = true;
    options.floatDct = true;
    return EncodeJpegFixture(picture, options);
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
    WriteFile(path, Bmp24(picture));
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
