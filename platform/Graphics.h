#pragma once

#include "AnsiString.h"
#include "Classes.h"
#include "Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QImage;
class TCanvas;

// A picture of some kind: a bitmap, or a JPEG picture that decodes itself
// the first time it is drawn.
class TGraphic : public TObject {
public:
    ~TGraphic() override;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Reads the whole file, then the picture from its bytes.
    void LoadFromFile(const std::string& path);
    virtual void LoadFromData(std::vector<unsigned char> data) = 0;

    // The picture's pixels for drawing; null while it has none. A JPEG
    // picture decodes here on its first call and raises the library's error
    // once if it cannot.
    virtual const QImage* Pixels() = 0;

    // Platform side: the picture stretched or shrunk to width x height as
    // StretchNearest does it (whole rows and columns, NearestSourceIndex's
    // choice), for a view to draw; null while the picture has none, or for a
    // size below 1. A graphic may make it without holding all of its own
    // pixels; a JPEG picture decodes here and raises the library's error once
    // if it cannot, as Pixels() does. By default, Pixels() stretched.
    virtual QImage Rendition(int width, int height);
};

// A bitmap in memory. Copies share their pixels until one of them changes.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetSize(int width, int height);

    // Takes the other graphic's pixels (shared, not copied).
    void Assign(TGraphic* source);
    void LoadFromData(std::vector<unsigned char> data) override;
    const QImage* Pixels() override;

    // A canvas that draws on, and reads from, this bitmap's pixels.
    TCanvas* Canvas();

    // Platform side: the pixels themselves.
    QImage& Image();

private:
    std::unique_ptr<QImage> image_;
    std::unique_ptr<TCanvas> canvas_;
};

// Drawing surface of a bitmap or of a window's client area. A window's
// canvas yields what the window paints; only a bitmap's can be drawn on.
class TCanvas : public TObject {
public:
    // Platform side: how the canvas reads a rectangle of its pixels, one
    // image pixel per canvas pixel, and the pixels drawing goes to (null
    // where there are none to draw on).
    TCanvas(std::function<QImage(const TRect&)> grab, QImage* surface);
    ~TCanvas() override;

    // Copies a rectangle of the source as it is painted onto this canvas.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

    // Platform side.
    QImage Grab(const TRect& rect) const;

private:
    std::function<QImage(const TRect&)> grab_;
    QImage* surface_;
};

// The picture a picture view shows: empty or exactly one graphic, whose kind
// follows from the file name's extension when it is loaded.
class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Replaces the picture with a copy of the graphic's pixels; null empties it.
    void Assign(TGraphic* graphic);
    // The picture as a bitmap, made empty first when it held something else.
    TBitmap* Bitmap();
    // Loads a file: ".bmp" gives a bitmap, ".jpg" or ".jpeg" a JPEG picture.
    // The old picture is replaced only once the new one has been read.
    void LoadFromFile(const std::string& path);

    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
    std::function<void()> onChange_;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font setting: face, character height in pixels (negative: the em height),
// style and colour. Its owner hears of every change.
class TFont : public TObject {
public:
    const AnsiString& Name() const { return name_; }
    int Height() const { return height_; }
    unsigned Style() const { return style_; }
    TColor Color() const { return color_; }
    void SetName(const AnsiString& name);
    void SetHeight(int height);
    void SetStyle(unsigned style);
    void SetColor(TColor color);

    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }
    // Reads the "Xxx" of "Font.Xxx" settings of a form description.
    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader);

private:
    void Changed();
    AnsiString name_;
    int height_ = -12;
    unsigned style_ = 0;
    TColor color_ = clWindowText;
    std::function<void()> onChange_;
};
