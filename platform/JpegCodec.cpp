#include "JpegCodec.h"

#include "Exceptions.h"
#include "PictureLimits.h"
#include "Stretch.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs size_t and FILE declared before it
#include <cstdlib>
#include <cstring>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

// jpeg_mem_src takes the stream's size as unsigned long.
static_assert(sizeof(unsigned long) >= sizeof(std::size_t));

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours longjmps back to the setjmp of the step that called the library. Every
// frame that jump can cross (the step, the library, our callbacks) holds only
// plain C data, so no destructor is ever skipped; the step then returns false
// with the library's message code recorded, and its C++ caller destroys the
// libjpeg object and throws.

namespace {

// The error manager handed to libjpeg, with room for where to jump to and
// the code of the fatal error. The library sees only `mgr`, which must stay
// the first member so that cinfo->err leads back to the whole struct.
struct ErrorState {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    int code;
};

// A destination that appends the compressed stream to a malloc'ed buffer,
// doubling it as it fills. Plain C so that a longjmp may leave it behind; its
// owner frees `data` on every path.
struct BufferDestination {
    jpeg_destination_mgr mgr; // first member, as with ErrorState
    unsigned char* data;
    std::size_t capacity;
};

constexpr std::size_t kFirstOutputBuffer = 64 * 1024;

} // namespace

// Callbacks handed to the C library, hence C language linkage. They hold only
// plain C data: a longjmp out of error_exit passes through them.
extern "C" {

static void JpegCodecErrorExit(j_common_ptr cinfo)
{
    auto* state = reinterpret_cast<ErrorState*>(cinfo->err);
    state->code = cinfo->err->msg_code;
    std::longjmp(state->jump, 1);
}

// Warnings and trace messages are not shown to anyone: the library keeps
// counting warnings in num_warnings, but never formats or prints them.
static void JpegCodecDropMessage(j_common_ptr) {}

// Refuses a file that goes on scan after scan. The library calls this before
// absorbing each piece of input, so the refusal comes as soon as the first scan
// past the limit has been announced.
static void JpegCodecCountScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxJpegScans)
        ERREXIT1(cinfo, JERR_BAD_PROG_SCRIPT, dinfo->input_scan_number);
}

static void JpegCodecInitDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<BufferDestination*>(cinfo->dest);
    dest->data = static_cast<unsigned char*>(std::malloc(kFirstOutputBuffer));
    if (dest->data == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest->capacity = kFirstOutputBuffer;
    dest->mgr.next_output_byte = dest->data;
    dest->mgr.free_in_buffer = dest->capacity;
}

// Called when the whole buffer is full: grow it and go on after what is there.
static boolean JpegCodecGrowDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<BufferDestination*>(cinfo->dest);
    const std::size_t used = dest->capacity;
    auto* grown = static_cast<unsigned char*>(std::realloc(dest->data, 2 * used));
    if (grown == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0); // dest->data stays valid and is freed by the owner
    dest->data = grown;
    dest->capacity = 2 * used;
    dest->mgr.next_output_byte = grown + used;
    dest->mgr.free_in_buffer = dest->capacity - used;
    return TRUE;
}

// Nothing to flush: the bytes are already in the buffer.
static void JpegCodecTermDestination(j_compress_ptr) {}

} // extern "C"

namespace {

void InstallErrorManager(jpeg_common_struct& cinfo, ErrorState& error)
{
    cinfo.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = JpegCodecErrorExit;
    error.mgr.output_message = JpegCodecDropMessage;
}

// Throws what a fatal library error stands for.
[[noreturn]] void ThrowLibraryError(int code)
{
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
        throw EOutOfMemory();
    throw EJPEG(code);
}

// ---- Decoding -------------------------------------------------------------

// Everything the library touches while decoding: plain C data only.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorState error;
    jpeg_progress_mgr progress;
};

// Records a failure that the library reports by a return value rather than by
// error_exit. Only suspension is reported that way, and neither the memory
// source nor the buffer destination ever suspends.
bool Suspended(ErrorState& error)
{
    error.code = JERR_CANT_SUSPEND;
    return false;
}

// Creates the decompressor on a stream in memory and reads the header, up to
// the first scan. The memory source is the library's own: a stream that ends
// early reads on as an EOI marker, with a warning.
bool OpenStream(DecodeState* s, const unsigned char* data, std::size_t size)
{
    if (setjmp(s->error.jump))
        return false;
    InstallErrorManager(*reinterpret_cast<j_common_ptr>(&s->cinfo), s->error);
    jpeg_create_decompress(&s->cinfo);
    s->cinfo.mem->max_memory_to_use = kMaxJpegDecoderMemory;
    s->progress.progress_monitor = JpegCodecCountScans;
    s->cinfo.progress = &s->progress;
    jpeg_mem_src(&s->cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&s->cinfo, TRUE) != JPEG_HEADER_OK)
        return Suspended(s->error);
    return true;
}

// Starts decompression. For a progressive or multi-scan file this absorbs the
// whole stream, which is where the scan limit applies.
bool StartDecompress(DecodeState* s)
{
    if (setjmp(s->error.jump))
        return false;
    if (!jpeg_start_decompress(&s->cinfo))
        return Suspended(s->error);
    return true;
}

// Rounded a * b / 255 for a, b in 0..255.
inline unsigned Mul255(unsigned a, unsigned b)
{
    const unsigned t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// Converts decoded pixels to 0xffRRGGBB: out[x] takes the pixel in column
// column(x) of the decoded row.
template <class Column>
void ConvertPixels(const JSAMPLE* in, unsigned* out, JDIMENSION count, J_COLOR_SPACE space, bool invertedInk,
                   Column column)
{
    switch (space) {
    case JCS_GRAYSCALE:
        for (JDIMENSION x = 0; x < count; ++x) {
            const JSAMPLE v = in[column(x)];
            out[x] = qRgb(v, v, v);
        }
        break;
    case JCS_CMYK: {
        // Each channel of light is what its ink and the black ink leave of it.
        // Adobe files hold the inks inverted (255 is no ink), so there the
        // stored values already are the light left by each ink.
        const unsigned flip = invertedInk ? 0 : 255;
        for (JDIMENSION x = 0; x < count; ++x) {
            const JSAMPLE* p = in + 4 * static_cast<std::size_t>(column(x));
            const unsigned c = p[0] ^ flip, m = p[1] ^ flip, y = p[2] ^ flip, k = p[3] ^ flip;
            out[x] = qRgb(static_cast<int>(Mul255(c, k)), static_cast<int>(Mul255(m, k)),
                          static_cast<int>(Mul255(y, k)));
        }
        break;
    }
    default: // JCS_RGB
        for (JDIMENSION x = 0; x < count; ++x) {
            const JSAMPLE* p = in + 3 * static_cast<std::size_t>(column(x));
            out[x] = qRgb(p[0], p[1], p[2]);
        }
        break;
    }
}

// Converts one whole decoded row.
void ConvertRow(const JSAMPLE* in, unsigned* out, JDIMENSION width, J_COLOR_SPACE space, bool invertedInk)
{
    ConvertPixels(in, out, width, space, invertedInk, [](JDIMENSION x) { return x; });
}

// Reads every row into `bits` (rows `stride` bytes apart, 4 bytes a pixel) and
// finishes decompression.
bool ReadRows(DecodeState* s, unsigned char* bits, std::size_t stride)
{
    if (setjmp(s->error.jump))
        return false;
    j_decompress_ptr cinfo = &s->cinfo;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * cinfo->output_components, 1);
    const bool invertedInk = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        unsigned char* out = bits + stride * cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, row, 1) != 1)
            return Suspended(s->error);
        ConvertRow(row[0], reinterpret_cast<unsigned*>(out), cinfo->output_width, cinfo->out_color_space,
                   invertedInk);
    }
    if (!jpeg_finish_decompress(cinfo))
        return Suspended(s->error);
    return true;
}

// Asks the library for the output that DecodeJpeg promises.
void SetUpOutput(jpeg_decompress_struct& info)
{
    info.dct_method = JDCT_FLOAT;
    info.do_block_smoothing = TRUE;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        // YCbCr and RGB; anything else the library refuses to convert.
        info.out_color_space = JCS_RGB;
        break;
    }
}

// Which source rows and columns a rendition takes: the target's row y takes
// source row rows[y], its column x source column columns[x]. Rows never go
// back up. Plain C data, for ReadSampledRows.
struct SamplePlan {
    const int* rows;
    int height;
    const int* columns;
    int width;
};

// Brings the decompressor forward to source row `target`, reading (into
// `discard`) the rest of the current row group and skipping from there.
// The library's upsampler hands out a row group (max_v_samp_factor rows) at
// a time, and a skip that starts inside one leaves the rest of that group
// waiting in it: unless the upsampler works with context rows (as the smooth
// 2:1 ones do on pictures wider than two pixels), those stale rows would come
// out in place of the target's, e.g. for 4:1:0 files, components at a third
// or a quarter of the height, or all components at the same factor of 2.
// From a group's boundary, jpeg_skip_scanlines gives every later row exactly
// as a decode of every row does, block smoothing and smooth upsampling
// included.
bool MoveToRow(j_decompress_ptr cinfo, JDIMENSION target, JSAMPARRAY discard)
{
    const auto group = static_cast<JDIMENSION>(cinfo->max_v_samp_factor);
    while (cinfo->output_scanline < target && cinfo->output_scanline % group != 0) {
        if (jpeg_read_scanlines(cinfo, discard, 1) != 1)
            return false;
    }
    if (cinfo->output_scanline < target)
        jpeg_skip_scanlines(cinfo, target - cinfo->output_scanline);
    return cinfo->output_scanline == target;
}

// Reads the rows the plan samples into `bits` (rows `stride` bytes apart, 4
// bytes a pixel), then on to the last row of the stream, which it reads as
// DecodeJpeg does, and finishes decompression. A target row that takes the
// same source row as the one above is a copy of it.
bool ReadSampledRows(DecodeState* s, const SamplePlan* plan, unsigned char* bits, std::size_t stride)
{
    if (setjmp(s->error.jump))
        return false;
    j_decompress_ptr cinfo = &s->cinfo;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * cinfo->output_components, 1);
    const bool invertedInk = cinfo->saw_Adobe_marker;
    const int* columns = plan->columns;
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(plan->width);
    for (int y = 0; y < plan->height; ++y) {
        unsigned char* out = bits + stride * static_cast<std::size_t>(y);
        if (y > 0 && plan->rows[y] == plan->rows[y - 1]) {
            std::memcpy(out, out - stride, rowBytes);
            continue;
        }
        if (!MoveToRow(cinfo, static_cast<JDIMENSION>(plan->rows[y]), row))
            return Suspended(s->error);
        if (jpeg_read_scanlines(cinfo, row, 1) != 1)
            return Suspended(s->error);
        ConvertPixels(row[0], reinterpret_cast<unsigned*>(out), static_cast<JDIMENSION>(plan->width),
                      cinfo->out_color_space, invertedInk, [columns](JDIMENSION x) { return columns[x]; });
    }
    // Skipping to the very bottom would let the library take the rest of the
    // stream as read; reading the last row goes through all of it, so that
    // damage past the sampled rows counts as it does in a whole decode.
    if (cinfo->output_scanline < cinfo->output_height) {
        if (!MoveToRow(cinfo, cinfo->output_height - 1, row))
            return Suspended(s->error);
        if (jpeg_read_scanlines(cinfo, row, 1) != 1)
            return Suspended(s->error);
    }
    if (!jpeg_finish_decompress(cinfo))
        return Suspended(s->error);
    return true;
}

// Owns a DecodeState: destroys the decompressor on every path out of a
// decode, and turns a failed step into the exception that stands for it.
class Decoder {
public:
    Decoder() : state_{} {}
    ~Decoder() { Release(); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    DecodeState* State() { return &state_; }
    jpeg_decompress_struct& Info() { return state_.cinfo; }

    // Throws the failure of a step after destroying the decompressor.
    void Check(bool stepSucceeded)
    {
        if (stepSucceeded)
            return;
        const int code = state_.error.code;
        Release();
        ThrowLibraryError(code);
    }

    // Refuses a picture past the size limits.
    void CheckSize()
    {
        const long long width = state_.cinfo.image_width, height = state_.cinfo.image_height;
        if (PictureSizeAllowed(width, height))
            return;
        Release();
        throw EPictureTooLarge(width, height);
    }

private:
    // The single cleanup, run by the destructor on every path and by Check
    // before it throws. Safe to repeat, and on a decompressor never created
    // (its memory manager pointer is still null).
    void Release() { jpeg_destroy_decompress(&state_.cinfo); }

    DecodeState state_;
};

// ---- Encoding -------------------------------------------------------------

// Everything the library touches while encoding: plain C data only.
struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorState error;
    BufferDestination dest;
};

// Compresses rows of red, green, blue bytes (`stride` bytes apart) into
// s->dest as a baseline JFIF file.
bool Compress(EncodeState* s, const unsigned char* rgb, std::size_t stride, JDIMENSION width,
              JDIMENSION height, int quality)
{
    if (setjmp(s->error.jump))
        return false;
    InstallErrorManager(*reinterpret_cast<j_common_ptr>(&s->cinfo), s->error);
    jpeg_create_compress(&s->cinfo);
    j_compress_ptr cinfo = &s->cinfo;

    s->dest.mgr.init_destination = JpegCodecInitDestination;
    s->dest.mgr.empty_output_buffer = JpegCodecGrowDestination;
    s->dest.mgr.term_destination = JpegCodecTermDestination;
    cinfo->dest = &s->dest.mgr;

    cinfo->image_width = width;
    cinfo->image_height = height;
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    // The defaults make the file this codec promises: JFIF APP0 1.01 with
    // density 1:1 and no unit, YCbCr with 2x2 luminance sampling, Annex K
    // quantisation and Huffman tables (not optimised), one interleaved scan,
    // no restart markers, each table in a segment of its own.
    jpeg_set_defaults(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        // The library only reads the rows it is given, though its type says otherwise.
        JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * cinfo->next_scanline);
        if (jpeg_write_scanlines(cinfo, &row, 1) != 1)
            return Suspended(s->error);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// Owns an EncodeState: destroys the compressor and frees the output buffer on
// every path out of an encode.
class Encoder {
public:
    Encoder() : state_{} {}
    ~Encoder() { Release(); }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    EncodeState* State() { return &state_; }

    void Check(bool stepSucceeded)
    {
        if (stepSucceeded)
            return;
        const int code = state_.error.code;
        Release();
        ThrowLibraryError(code);
    }

    std::vector<unsigned char> TakeOutput()
    {
        const std::size_t size = state_.dest.capacity - state_.dest.mgr.free_in_buffer;
        try {
            std::vector<unsigned char> out(state_.dest.data, state_.dest.data + size);
            Release();
            return out;
        } catch (const std::bad_alloc&) {
            Release();
            throw EOutOfMemory();
        }
    }

private:
    // The single cleanup, run by the destructor on every path and by Check
    // before it throws; safe to repeat.
    void Release()
    {
        jpeg_destroy_compress(&state_.cinfo);
        std::free(state_.dest.data);
        state_.dest.data = nullptr;
        state_.dest.capacity = 0;
        state_.dest.mgr.free_in_buffer = 0;
    }

    EncodeState state_;
};

} // namespace

JpegHeader ReadJpegHeader(const unsigned char* data, std::size_t size)
{
    Decoder decoder;
    decoder.Check(OpenStream(decoder.State(), data, size));
    decoder.CheckSize();
    const jpeg_decompress_struct& info = decoder.Info();
    JpegHeader header;
    header.width = static_cast<int>(info.image_width);
    header.height = static_cast<int>(info.image_height);
    header.grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    header.progressive = info.progressive_mode != FALSE;
    return header;
}

QImage DecodeJpeg(const unsigned char* data, std::size_t size)
{
    Decoder decoder;
    decoder.Check(OpenStream(decoder.State(), data, size));
    decoder.CheckSize();

    jpeg_decompress_struct& info = decoder.Info();
    SetUpOutput(info);
    decoder.Check(StartDecompress(decoder.State()));

    QImage picture(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    if (picture.isNull())
        throw EOutOfMemory();
    decoder.Check(
        ReadRows(decoder.State(), picture.bits(), static_cast<std::size_t>(picture.bytesPerLine())));
    return picture;
}

QImage DecodeJpegRendition(const unsigned char* data, std::size_t size, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    Decoder decoder;
    decoder.Check(OpenStream(decoder.State(), data, size));
    decoder.CheckSize();

    jpeg_decompress_struct& info = decoder.Info();
    SetUpOutput(info);
    decoder.Check(StartDecompress(decoder.State()));

    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        throw EOutOfMemory();
    const std::vector<int> rows = NearestSourceIndices(height, static_cast<int>(info.output_height));
    const std::vector<int> columns = NearestSourceIndices(width, static_cast<int>(info.output_width));
    const SamplePlan plan{rows.data(), height, columns.data(), width};
    decoder.Check(ReadSampledRows(decoder.State(), &plan, picture.bits(),
                                  static_cast<std::size_t>(picture.bytesPerLine())));
    return picture;
}

std::vector<unsigned char> EncodeJpeg(const QImage& picture, int quality)
{
    // Format_RGB888 holds each row as red, green, blue bytes: what the
    // library takes for JCS_RGB.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull() && !picture.isNull())
        throw EOutOfMemory();

    Encoder encoder;
    encoder.Check(Compress(encoder.State(), rgb.constBits(), static_cast<std::size_t>(rgb.bytesPerLine()),
                           static_cast<JDIMENSION>(rgb.width()), static_cast<JDIMENSION>(rgb.height()),
                           quality));
    return encoder.TakeOutput();
}
