#pragma once

#include "Graphics.h"

#include <memory>
#include <string>
#include <vector>

// A JPEG picture. Loading keeps the file's compressed data and reads only its
// header. A view draws a rendition at its own size, decoded from the
// compressed data whenever it asks for one, without the whole picture ever
// being held; only Pixels() decodes every pixel, and keeps them. A picture that cannot be
// decoded says so once, at its first decode, and then draws nothing.
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;

    void LoadFromData(std::vector<unsigned char> data) override;
    const QImage* Pixels() override;
    QImage Rendition(int width, int height) override;

    // Takes a bitmap's pixels and drops any compressed data held.
    void Assign(TBitmap* bitmap);
    void SetCompressionQuality(int quality) { quality_ = quality; }
    // The compressed data, encoding the held bitmap first if there is none.
    const std::vector<unsigned char>& Data();
    // Writes the compressed data to a file, encoding first; the file either
    // holds the whole new picture afterwards or keeps what it held before.
    void SaveToFile(const std::string& path);

private:
    std::vector<unsigned char> data_;
    std::unique_ptr<TBitmap> bitmap_;
    int width_ = 0;
    int height_ = 0;
    bool decodeFailed_ = false;
    int quality_ = 90;
};
