#pragma once

#include <cstddef>

// Hard limits for pictures dropped into a cell. A file or header past one of
// them is refused before anything is allocated for its pixels, so that a
// hostile file of a few hundred bytes cannot make the program take gigabytes
// or spin for minutes. A cell shows 160 x 120; the limits leave room for every
// camera on the market (a 100-megapixel medium-format frame is 11648 x 8736)
// while keeping the largest decode within memory a desktop has.
//
// Where each is checked:
//  - file bytes: ReadFileBytes, from the file's size, before reading it;
//  - side and pixels: ReadBmp from the info header, ReadJpegHeader and every
//    JPEG decode from the frame header, each before the picture or any
//    decoder buffer is made;
//  - decoder memory: the JPEG library's memory manager (max_memory_to_use),
//    set right after the decompressor is created;
//  - scans: the JPEG library's progress monitor, called before each piece of
//    input it absorbs.

// Either side. No camera takes a picture wider than about 14000 pixels;
// past 32768 a side is a stitched panorama or a forged header. Within it,
// rows and coordinates stay far inside the int the toolkit counts in.
inline constexpr long long kMaxPictureSide = 32768;

// Width x height. A decoded picture is held as 4 bytes a pixel, so this
// caps the largest single allocation of a decode at 480 MB.
inline constexpr long long kMaxPicturePixels = 120'000'000;

// Bytes read from one file, all of which are held while the picture is in
// its cell. An uncompressed 32-bit bitmap at the pixel limit is 480 MB, so
// every picture the other limits accept fits; a larger file cannot be one.
inline constexpr std::size_t kMaxPictureFileBytes = 512u << 20;

// The most memory the JPEG library may use for one decode, beyond the rows
// the decode itself hands out. A progressive or multi-scan file keeps every
// DCT coefficient, 2 bytes a sample: 720 MB for a full-resolution colour
// picture at the pixel limit, 960 MB for CMYK, the most a file the other
// limits accept can ask for. Past it a decode fails (JERR_NO_BACKING_STORE)
// rather than allocating: a backstop should the library ever want more.
inline constexpr long kMaxJpegDecoderMemory = 1024L << 20;

// Scans of one JPEG file. Encoders write at most a dozen or so (the
// library's standard progression has 10 for colour); every scan costs a pass
// over the whole coefficient buffer, so a file with hundreds of scans is
// built to make the decoder spin.
inline constexpr int kMaxJpegScans = 500;

// True when a picture of this size may be accepted.
inline constexpr bool PictureSizeAllowed(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}
