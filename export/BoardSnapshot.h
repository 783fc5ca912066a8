#pragma once

#include <memory>
#include <string>

class TBitmap;
class TJPEGImage;
class TMainForm1;

// Copies the board window's 480 x 360 client area, as it paints it now
// (panels, pictures and badges), into the hidden view Image0.
void CaptureBoard(TMainForm1& Form);

// Encodes Image0's snapshot as a baseline JPEG at quality 80 and writes it to
// the path, replacing a file of that name without asking.
void WriteBoardJpeg(TMainForm1& Form, const std::string& Path, TJPEGImage& Jpeg, TBitmap& Bitmap);

// The JPEG object and the bitmap object that a command encoding the board
// owns for its own duration: created in this order, released in this order,
// on every way out.
class TBoardExportObjects {
public:
    TBoardExportObjects();
    ~TBoardExportObjects();
    TBoardExportObjects(const TBoardExportObjects&) = delete;
    TBoardExportObjects& operator=(const TBoardExportObjects&) = delete;

    TJPEGImage& Jpeg() const { return *jpeg_; }
    TBitmap& Bitmap() const { return *bitmap_; }

private:
    std::unique_ptr<TJPEGImage> jpeg_;
    std::unique_ptr<TBitmap> bitmap_;
};
