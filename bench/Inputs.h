#pragma once

#include <QImage>

#include <string>
#include <vector>

// The benchmark's own input pictures and the files it writes them to.

// A picture that compresses like a photograph: smooth colour fields, texture,
// discs with hard edges and a little noise. Each variant differs everywhere.
QImage PhotoLikePicture(int width, int height, int variant);

// A progressive JPEG (the library's simple progression), 2 x 2 chroma
// subsampling, at the quality given.
std::vector<unsigned char> EncodeProgressive(const QImage& picture, int quality);

// A 24-bit bottom-up Windows bitmap file.
void WriteBmpFile(const std::string& path, const QImage& picture);
// A binary PPM (P6) file, as cjpeg reads it.
void WritePpmFile(const std::string& path, const QImage& picture);
void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
