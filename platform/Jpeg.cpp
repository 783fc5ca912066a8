#include "Jpeg.h"

#include "JpegCodec.h"

#include <QImage>

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const
{
    return data_.empty() && (!bitmap_ || bitmap_->Empty());
}

int TJPEGImage::Width() const
{
    return bitmap_ ? bitmap_->Width() : width_;
}

int TJPEGImage::Height() const
{
    return bitmap_ ? bitmap_->Height() : height_;
}

void TJPEGImage::LoadFromData(std::vector<unsigned char> data)
{
    const JpegHeader header = ReadJpegHeader(data.data(), data.size());
    data_ = std::move(data);
    bitmap_.reset();
    width_ = header.width;
    height_ = header.height;
    decodeFailed_ = false;
}

const QImage* TJPEGImage::Pixels()
{
    if (!bitmap_ && !decodeFailed_ && !data_.empty()) {
        // Marked first: a picture whose decode fails says so once, not at
        // every repaint.
        decodeFailed_ = true;
        auto decoded = std::make_unique<TBitmap>();
        decoded->Image() = DecodeJpeg(data_.data(), data_.size());
        bitmap_ = std::move(decoded);
        decodeFailed_ = false;
    }
    return bitmap_ ? bitmap_->Pixels() : nullptr;
}

QImage TJPEGImage::Rendition(int width, int height)
{
    if (bitmap_)
        return bitmap_->Rendition(width, height);
    if (decodeFailed_ || data_.empty() || width <= 0 || height <= 0)
        return QImage();
    // Marked first, as in Pixels(): once a decode has failed, neither asks
    // the library again.
    decodeFailed_ = true;
    QImage rendition = DecodeJpegRendition(data_.data(), data_.size(), width, height);
    decodeFailed_ = false;
    return rendition;
}

void TJPEGImage::Assign(TBitmap* bitmap)
{
    data_.clear();
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(bitmap);
    bitmap_ = std::move(copy);
    width_ = bitmap_->Width();
    height_ = bitmap_->Height();
    decodeFailed_ = false;
}

const std::vector<unsigned char>& TJPEGImage::Data()
{
    if (data_.empty() && bitmap_ && !bitmap_->Empty())
        data_ = EncodeJpeg(bitmap_->Image(), quality_);
    return data_;
}
