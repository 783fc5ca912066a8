#include "ProgressiveJpeg.h"

#include "JpegFixtures.h"

std::vector<unsigned char> EncodeProgressiveJpeg(const QImage& picture)
{
    JpegFixtureOptions options;
    options.progressive = true;
    return EncodeJpegFixture(picture, options);
}
