#include "JpegFixtures.h"

#include <QImage>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Everything one encode hands to the library and gets back from it; plain C
// data, so that the library's error exit may longjmp over it. The file grows
// in a buffer of the job's own rather than jpeg_mem_dest's, which an encode
// that fails part way would leave behind unfreed.
struct EncodeJob {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    jpeg_destination_mgr destination;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX]; // the error's text, once there is one
    unsigned char* out;            // malloc'd; the caller frees it
    std::size_t capacity;
    std::size_t size; // once finished
};

// The rows to encode and how; pointers only, so that nothing with a
// destructor lives in the frame the error exit jumps out of.
struct EncodeInput {
    const unsigned char* rows;
    std::size_t stride;
    int width;
    int height;
    const JpegFixtureOptions* options;
    const jpeg_scan_info* scans;
    int scanCount;
};

} // namespace

extern "C" {
// cinfo is the first member of EncodeJob.
static void JpegFixtureErrorExit(j_common_ptr cinfo)
{
    auto* job = reinterpret_cast<EncodeJob*>(cinfo);
    (*cinfo->err->format_message)(cinfo, job->message);
    std::longjmp(job->jump, 1);
}
// Warnings do not concern a fixture; errors end the encode.
static void JpegFixtureSilence(j_common_ptr) {}

static void JpegFixtureStartFile(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<EncodeJob*>(cinfo);
    job->destination.next_output_byte = job->out;
    job->destination.free_in_buffer = job->capacity;
}
// Called with the buffer full: twice the room, the bytes so far kept.
static boolean JpegFixtureGrowFile(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<EncodeJob*>(cinfo);
    auto* grown = static_cast<unsigned char*>(std::realloc(job->out, job->capacity * 2));
    if (grown == nullptr) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    job->out = grown;
    job->destination.next_output_byte = grown + job->capacity;
    job->destination.free_in_buffer = job->capacity;
    job->capacity *= 2;
    return TRUE;
}
static void JpegFixtureEndFile(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<EncodeJob*>(cinfo);
    job->size = job->capacity - job->destination.free_in_buffer;
}
}

namespace {

J_COLOR_SPACE InputColourSpace(JpegColours colours)
{
    switch (colours) {
    case JpegColours::Grey:
        return JCS_GRAYSCALE;
    case JpegColours::Rgb:
        return JCS_RGB;
    case JpegColours::Cmyk:
    case JpegColours::Ycck:
        break;
    }
    return JCS_CMYK;
}

bool RunEncode(EncodeJob* job, const EncodeInput* in)
{
    if (setjmp(job->jump))
        return false;
    job->cinfo.err = jpeg_std_error(&job->err);
    job->err.error_exit = JpegFixtureErrorExit;
    job->err.output_message = JpegFixtureSilence;
    jpeg_create_compress(&job->cinfo);
    j_compress_ptr cinfo = &job->cinfo;
    job->destination.init_destination = JpegFixtureStartFile;
    job->destination.empty_output_buffer = JpegFixtureGrowFile;
    job->destination.term_destination = JpegFixtureEndFile;
    cinfo->dest = &job->destination;

    const JpegFixtureOptions& options = *in->options;
    cinfo->image_width = static_cast<JDIMENSION>(in->width);
    cinfo->image_height = static_cast<JDIMENSION>(in->height);
    cinfo->input_components = JpegSamplesPerPixel(options.colours);
    cinfo->in_color_space = InputColourSpace(options.colours);
    jpeg_set_defaults(cinfo);
    if (options.colours == JpegColours::Ycck)
        jpeg_set_colorspace(cinfo, JCS_YCCK);
    if (!options.adobeMarker)
        cinfo->write_Adobe_marker = FALSE;
    jpeg_set_quality(cinfo, options.quality, TRUE);
    for (int c = 0; c < cinfo->num_components && c < static_cast<int>(options.sampling.size()); ++c) {
        const JpegSampling& s = options.sampling[static_cast<std::size_t>(c)];
        if (s.h != 0)
            cinfo->comp_info[c].h_samp_factor = s.h;
        if (s.v != 0)
            cinfo->comp_info[c].v_samp_factor = s.v;
    }
    if (options.floatDct)
        cinfo->dct_method = JDCT_FLOAT;
    cinfo->arith_code = options.arithmetic ? TRUE : FALSE;
    cinfo->optimize_coding = options.optimiseCoding ? TRUE : FALSE;
    cinfo->restart_interval = options.restartInterval;
    cinfo->restart_in_rows = options.restartRows;
    if (options.progressive)
        jpeg_simple_progression(cinfo);
    if (in->scanCount > 0) {
        cinfo->scan_info = in->scans;
        cinfo->num_scans = in->scanCount;
    }

    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(in->rows + in->stride * cinfo->next_scanline);
        if (jpeg_write_scanlines(cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_compress(cinfo);
    return true;
}

constexpr std::size_t kFirstCapacity = 64 * 1024;

std::vector<unsigned char> Encode(const unsigned char* rows, std::size_t stride, int width, int height,
                                  const JpegFixtureOptions& options)
{
    std::vector<jpeg_scan_info> scans;
    for (const JpegScan& s : options.scans) {
        jpeg_scan_info scan{};
        scan.comps_in_scan = s.components;
        for (int i = 0; i < MAX_COMPS_IN_SCAN; ++i)
            scan.component_index[i] = s.componentIndex[i];
        scan.Ss = s.Ss;
        scan.Se = s.Se;
        scan.Ah = s.Ah;
        scan.Al = s.Al;
        scans.push_back(scan);
    }
    const EncodeInput input{
        rows, stride, width, height, &options, scans.data(), static_cast<int>(scans.size())};
    EncodeJob job{};
    job.capacity = kFirstCapacity;
    job.out = static_cast<unsigned char*>(std::malloc(job.capacity));
    if (job.out == nullptr)
        throw std::bad_alloc();
    const bool ok = RunEncode(&job, &input);
    const bool libraryError = job.message[0] != '\0';
    const int code = libraryError ? job.err.msg_code : 0;
    jpeg_destroy_compress(&job.cinfo);
    std::vector<unsigned char> file;
    if (ok)
        file.assign(job.out, job.out + job.size);
    std::free(job.out);
    if (!ok)
        throw JpegFixtureError(code, libraryError ? job.message : "the library took no more rows");
    return file;
}

} // namespace

int JpegSamplesPerPixel(JpegColours colours)
{
    switch (colours) {
    case JpegColours::Grey:
        return 1;
    case JpegColours::Rgb:
        return 3;
    case JpegColours::Cmyk:
    case JpegColours::Ycck:
        break;
    }
    return 4;
}

JpegFixtureError::JpegFixtureError(int code, const std::string& message)
    : std::runtime_error("JPEG fixture encoder: " + message + " (code " + std::to_string(code) + ")"),
      code_(code)
{
}

std::vector<unsigned char> EncodeJpegFixture(const std::vector<unsigned char>& samples, int width, int height,
                                             const JpegFixtureOptions& options)
{
    const std::size_t stride = static_cast<std::size_t>(width < 0 ? 0 : width) *
                               static_cast<std::size_t>(JpegSamplesPerPixel(options.colours));
    if (width < 0 || height < 0 || samples.size() != stride * static_cast<std::size_t>(height))
        throw std::invalid_argument("JPEG fixture encoder: the samples do not fill the picture");
    return Encode(samples.data(), stride, width, height, options);
}

std::vector<unsigned char> EncodeJpegFixture(const QImage& picture, const JpegFixtureOptions& options)
{
    if (options.colours != JpegColours::Grey && options.colours != JpegColours::Rgb)
        throw std::invalid_argument("JPEG fixture encoder: inks need samples of their own");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull() && !picture.isNull())
        throw std::bad_alloc();
    if (options.colours == JpegColours::Rgb)
        return Encode(rgb.constBits(), static_cast<std::size_t>(rgb.bytesPerLine()), rgb.width(),
                      rgb.height(), options);
    std::vector<unsigned char> grey;
    grey.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const unsigned char* p = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x, p += 3)
            grey.push_back(static_cast<unsigned char>(qGray(p[0], p[1], p[2])));
    }
    return Encode(grey.data(), static_cast<std::size_t>(rgb.width()), rgb.width(), rgb.height(), options);
}
