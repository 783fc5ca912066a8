#pragma once

// JPEG files for tests, the benchmark and the fuzz seed corpus, encoded
// straight on libjpeg with the choices a fixture needs (colour model,
// sampling, scans, coding, restart markers), which the program's own encoder
// does not offer.

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

class QImage;

// What the samples handed to the encoder are, and how the file keeps them.
enum class JpegColours {
    Grey, // one sample a pixel, one component
    Rgb,  // red, green, blue; stored as YCbCr (JFIF)
    Cmyk, // four inks, inverted as Adobe writes them; stored as CMYK
    Ycck, // the same inks, stored as YCCK (the library transforms them)
};

// The number of samples a pixel of these colours has.
int JpegSamplesPerPixel(JpegColours colours);

// One component's sampling factors; 0 leaves the library's default.
struct JpegSampling {
    int h = 0;
    int v = 0;
};

// One scan of a scan script of one's own, as the library takes it.
struct JpegScan {
    int components;        // in this scan
    int componentIndex[4]; // of each, in the file's order
    int Ss, Se;            // spectral selection
    int Ah, Al;            // successive approximation
};

struct JpegFixtureOptions {
    JpegColours colours = JpegColours::Rgb;
    // CMYK and YCCK files: the Adobe marker that says how the inks are held.
    bool adobeMarker = true;
    int quality = 75; // the library's own default
    // Per component of the file, in its order.
    std::array<JpegSampling, 4> sampling{};
    bool progressive = false;     // the library's simple progression
    std::vector<JpegScan> scans;  // a script of one's own, if not empty
    bool arithmetic = false;      // arithmetic instead of Huffman coding
    bool optimiseCoding = false;  // Huffman tables made for the picture
    bool floatDct = false;        // the floating-point transform
    unsigned restartInterval = 0; // a restart marker every so many MCUs
    int restartRows = 0;          // or every so many MCU rows
};

// What the library reported when it gave up on a fixture.
class JpegFixtureError : public std::runtime_error {
public:
    JpegFixtureError(int code, const std::string& message);
    // The library's message code; 0 when it stopped without one.
    int Code() const { return code_; }

private:
    int code_;
};

// Encodes `height` rows of `width` pixels held one after another, with
// JpegSamplesPerPixel(options.colours) bytes a pixel and no padding. Throws
// JpegFixtureError when the library refuses, std::invalid_argument when the
// samples do not fill the picture.
std::vector<unsigned char> EncodeJpegFixture(const std::vector<unsigned char>& samples, int width, int height,
                                             const JpegFixtureOptions& options);

// The same for a picture: its grey levels (qGray) for JpegColours::Grey, its
// red, green and blue for JpegColours::Rgb. Inks have no one way to come from
// a picture, so CMYK and YCCK need samples of their own.
std::vector<unsigned char> EncodeJpegFixture(const QImage& picture, const JpegFixtureOptions& options);
