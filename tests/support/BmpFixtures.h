#pragma once

// Windows bitmap files for tests, the benchmark and the fuzz seed corpus:
// any header, depth, compression and palette laid out the way Windows
// programs write them, and fields that can be set to what no program would
// write, so that a reader's refusals can be tried.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class QImage;

constexpr std::uint32_t kBmpRgb = 0;
constexpr std::uint32_t kBmpRle8 = 1;
constexpr std::uint32_t kBmpRle4 = 2;
constexpr std::uint32_t kBmpBitfields = 3;
constexpr std::uint32_t kBmpAlphaBitfields = 6;

// What goes into a bitmap file.
struct BmpLayout {
    std::uint32_t headerSize = 40; // 12 (core), 40, 52, 56, 108 (V4), 124 (V5)
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = kBmpRgb;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;         // after a 40-byte header, inside larger ones
    std::uint32_t colourSpace = 0;            // V4 and V5 headers: bV4CSType, unless 0
    std::vector<std::uint32_t> palette;       // 0xRRGGBB, in the file's order
    std::vector<unsigned char> pixels;        // as stored
    std::optional<std::uint32_t> pixelOffset; // default: right after the palette
    std::optional<std::uint32_t> sizeImage;   // default: the size of pixels
};

// The file: file header, bitmap header, masks, palette and pixels, with the
// file size and the pixel offset filled in.
std::vector<unsigned char> BuildBmp(const BmpLayout& layout);

// Pixel values given top row first, stored as the file keeps them: palette
// indices packed high bits first, 0xRRGGBB as blue-green-red, 16 and 32 bits
// little-endian, each row padded to four bytes, bottom row first unless
// topDown.
std::vector<unsigned char> PackBmpRows(int width, unsigned bitCount, const std::vector<std::uint32_t>& values,
                                       bool topDown);

// A picture as a 24-bit bottom-up bitmap with a 40-byte header.
std::vector<unsigned char> Bmp24(const QImage& picture);

// Writes v little-endian over the four bytes at `at`.
void PatchLe32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t v);
