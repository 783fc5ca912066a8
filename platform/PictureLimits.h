#pragma once

#include <cstddef>

// Hard limits for pictures dropped into a cell, checked against a picture's
// header before anything is allocated for its pixels. A cell shows 160 x 120;
// the limits leave room for every camera on the market (a 100-megapixel
// medium-format frame is 11648 x 8736) while keeping one decode in memory.
inline constexpr long long kMaxPictureSide = 32768;             // pixels, either axis
inline constexpr long long kMaxPicturePixels = 120'000'000;     // width x height
inline constexpr std::size_t kMaxPictureFileBytes = 512u << 20; // bytes read from one file
// The most memory the JPEG library may use for one decode, beyond the rows
// that the decode itself hands out.
inline constexpr long kMaxJpegDecoderMemory = 1024L << 20;
// Progressive JPEGs may legitimately use a dozen scans; a file with hundreds
// is built to make the decoder spin.
inline constexpr int kMaxJpegScans = 500;

// True when a picture of this size may be accepted.
inline constexpr bool PictureSizeAllowed(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}
