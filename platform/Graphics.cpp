#include "Graphics.h"

#include "BmpReader.h"
#include "Cp932.h"
#include "Exceptions.h"
#include "FileBytes.h"
#include "FormReader.h"
#include "Jpeg.h"
#include "Stretch.h"
#include "SysUtils.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

TGraphic::~TGraphic() = default;

void TGraphic::LoadFromFile(const std::string& path)
{
    LoadFromData(ReadFileBytes(path));
}

QImage TGraphic::Rendition(int width, int height)
{
    const QImage* pixels = Pixels();
    return pixels ? StretchNearest(*pixels, width, height) : QImage();
}

// ---------------------------------------------------------------------------

namespace {

// The extension of a path, without its ".", in lower case.
std::string LowerExtension(const std::string& path)
{
    const std::string ext = ExtractFileExt(path);
    std::string lower = ext.empty() ? ext : ext.substr(1);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return lower;
}

} // namespace

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) {}

TBitmap::~TBitmap() = default;

bool TBitmap::Empty() const
{
    return image_->isNull();
}

int TBitmap::Width() const
{
    return image_->width();
}

int TBitmap::Height() const
{
    return image_->height();
}

void TBitmap::SetSize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    QImage resized(width, height, QImage::Format_RGB32);
    if (resized.isNull() && width > 0 && height > 0)
        throw EOutOfMemory();
    resized.fill(Qt::white);
    *image_ = std::move(resized);
}

void TBitmap::Assign(TGraphic* source)
{
    const QImage* pixels = source ? source->Pixels() : nullptr;
    *image_ = pixels ? *pixels : QImage();
}

void TBitmap::LoadFromData(std::vector<unsigned char> data)
{
    *image_ = ReadBmp(data.data(), data.size());
}

const QImage* TBitmap::Pixels()
{
    return image_->isNull() ? nullptr : image_.get();
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(
            [this](const TRect& r) { return image_->copy(r.Left, r.Top, r.Width(), r.Height()); },
            image_.get());
    return canvas_.get();
}

QImage& TBitmap::Image()
{
    return *image_;
}

TCanvas::TCanvas(std::function<QImage(const TRect&)> grab, QImage* surface)
    : grab_(std::move(grab)), surface_(surface)
{
}

TCanvas::~TCanvas() = default;

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect)
{
    if (!surface_)
        throw Exception(Utf8ToCp932("キャンバスには描画できません"));
    const QImage pixels = source->Grab(sourceRect);
    QPainter painter(surface_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), pixels);
}

QImage TCanvas::Grab(const TRect& rect) const
{
    return grab_(rect);
}

// ---------------------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Assign(TGraphic* graphic)
{
    if (!graphic) {
        graphic_.reset();
    } else {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(graphic);
        graphic_ = std::move(copy);
    }
    Changed();
}

TBitmap* TPicture::Bitmap()
{
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (!bitmap) {
        graphic_ = std::make_unique<TBitmap>();
        bitmap = static_cast<TBitmap*>(graphic_.get());
        Changed();
    }
    return bitmap;
}

void TPicture::LoadFromFile(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    std::unique_ptr<TGraphic> loaded;
    if (ext == "bmp")
        loaded = std::make_unique<TBitmap>();
    else if (ext == "jpg" || ext == "jpeg")
        loaded = std::make_unique<TJPEGImage>();
    else
        throw EInvalidGraphicFormat(ext);
    loaded->LoadFromFile(path);
    graphic_ = std::move(loaded);
    Changed();
}

void TPicture::Changed()
{
    if (onChange_)
        onChange_();
}

// ---------------------------------------------------------------------------

void TFont::SetName(const AnsiString& name)
{
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height)
{
    height_ = height;
    Changed();
}

void TFont::SetStyle(unsigned style)
{
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color)
{
    color_ = color;
    Changed();
}

void TFont::Changed()
{
    if (onChange_)
        onChange_();
}

bool TFont::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "Name")
        SetName(reader.Text(value));
    else if (name == "Height")
        SetHeight(reader.Int(value));
    else if (name == "Color")
        SetColor(reader.Color(value));
    else if (name == "Charset")
        return value == "SHIFTJIS_CHARSET" ||
               value == "DEFAULT_CHARSET"; // faces here carry every character set
    else if (name == "Style")
        SetStyle((reader.HasFlag(value, "fsBold") ? fsBold : 0u) |
                 (reader.HasFlag(value, "fsItalic") ? fsItalic : 0u));
    else
        return false;
    return true;
}
