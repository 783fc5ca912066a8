#pragma once

#include <QImage>
#include <vector>

// A progressive JPEG of the picture, for tests that need more than one scan.
std::vector<unsigned char> EncodeProgressiveJpeg(const QImage& picture);
