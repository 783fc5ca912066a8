#pragma once

#include <QImage>

#include <cstddef>
#include <vector>

// What a JPEG stream's header says about the picture in it.
struct JpegHeader {
    int width = 0;
    int height = 0;
    bool grayscale = false;   // one component (luminance only)
    bool progressive = false; // progressive DCT (SOF2 or SOF10)
};

// The JPEG codec of the platform layer, on top of the IJG libjpeg API.
//
// Errors:
//  - A fatal error of the library throws EJPEG carrying libjpeg's message code
//    (jerror.h), e.g. JERR_NO_SOI for data that does not start with SOI and
//    JERR_INPUT_EMPTY for no data at all.
//  - The library running out of memory (JERR_OUT_OF_MEMORY, or
//    JERR_NO_BACKING_STORE when a decode would need more than
//    kMaxJpegDecoderMemory) throws EOutOfMemory, as does a failed allocation of
//    the picture itself.
//  - A header declaring a size that PictureSizeAllowed refuses throws
//    EPictureTooLarge before anything is allocated for the pixels.
//  - A file with more than kMaxJpegScans scans (in practice a progressive
//    one) throws EJPEG(JERR_BAD_PROG_SCRIPT), "invalid progressive parameters
//    at scan script entry": the library's own code for an unacceptable
//    sequence of progressive scans. The library raises it only while
//    compressing, so from a decode it always means the scan limit.

// Reads the header of a JPEG stream held in memory, up to the first scan.
JpegHeader ReadJpegHeader(const unsigned char* data, std::size_t size);

// Decodes a whole JPEG stream held in memory at scale 1/1, with the
// floating-point inverse DCT and block smoothing (which the library applies to
// progressive files), the library's defaults otherwise. The result is
// QImage::Format_RGB32. Grayscale comes back as grey RGB. CMYK and YCCK come
// back as RGB, red being (1 - C)(1 - K) and likewise green with M, blue with
// Y; a file with an Adobe APP14 marker (every YCCK file, and the CMYK files
// Photoshop and most others write) holds its inks inverted (255 = no ink), a
// CMYK file without one is taken to hold them as they are.
// Damage that the library only warns about (corrupt entropy data, a stream
// that ends early, which reads on as if an EOI marker followed) decodes
// without complaint.
QImage DecodeJpeg(const unsigned char* data, std::size_t size);

// Decodes a JPEG stream held in memory straight to a picture of width x
// height (Format_RGB32) whose pixel (x, y) is, bit for bit, pixel
// (NearestSourceIndex(x, width, W), NearestSourceIndex(y, height, H)) of what
// DecodeJpeg gives for a W x H stream: the same decode, stretched by whole
// rows and columns. Only the source rows that choice samples are converted
// and kept, one at a time; the library skips the rows in between
// (jpeg_skip_scanlines), which spares their inverse DCT, upsampling and
// colour conversion but, in a single-scan file, still reads their data.
// Apart from the picture, memory is a source row and the library's own
// buffers (for a progressive or multi-scan file, its buffer of every DCT
// coefficient).
// The stream is read to its end exactly as DecodeJpeg reads it, so it raises
// what DecodeJpeg raises and tolerates what DecodeJpeg tolerates. A width or
// height below 1 gives a null picture without reading the stream.
QImage DecodeJpegRendition(const unsigned char* data, std::size_t size, int width, int height);

// Encodes a picture as a baseline JFIF file with 2x2 chroma subsampling, the
// standard Huffman tables and the standard quantisation tables scaled to
// quality (1..100, as jpeg_set_quality takes it). The picture's red, green and
// blue go to the file as they are; any alpha is ignored.
std::vector<unsigned char> EncodeJpeg(const QImage& picture, int quality);
