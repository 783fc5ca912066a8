#include "BoardDriver.h"

#include "Cp932.h"
#include "Graphics.h"
#include "JpegCodec.h"
#include "MainWindow1.h"
#include "Modals.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

BoardDriver::BoardDriver() : form_(std::make_unique<TMainForm1>(nullptr))
{
    form_->Show();
    QWidget* w = form_->Widget();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    Settle();
}

BoardDriver::~BoardDriver()
{
    form_.reset();
    Settle();
}

QWindow* BoardDriver::Window() const
{
    return form_->Widget()->windowHandle();
}

QPoint BoardDriver::CellCentre(int n)
{
    return QPoint(160 * ((n - 1) % 3) + 80, 120 * ((n - 1) / 3) + 60);
}

void BoardDriver::MoveTo(QPoint at)
{
    QTest::mouseMove(Window(), at);
    Settle();
}

void BoardDriver::HoverCell(int n)
{
    MoveTo(CellCentre(n));
}

void BoardDriver::Drop(const std::vector<std::string>& paths, QPoint at)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls << QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(p)));
    mime.setUrls(urls);
    QWidget* w = form_->Widget();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    Settle();
}

void BoardDriver::DoubleClick(QPoint at)
{
    QTest::mouseDClick(Window(), Qt::LeftButton, Qt::NoModifier, at);
    Settle();
}

void BoardDriver::RightClick(QPoint at)
{
    QTest::mouseClick(Window(), Qt::RightButton, Qt::NoModifier, at);
    Settle();
}

void BoardDriver::Key(int key, int modifiers)
{
    QTest::keyClick(Window(), static_cast<Qt::Key>(key), static_cast<Qt::KeyboardModifiers>(modifiers));
    Settle();
}

QImage BoardDriver::Snapshot() const
{
    TBitmap bitmap;
    bitmap.SetSize(480, 360);
    const TRect all = Rect(0, 0, 480, 360);
    bitmap.Canvas()->CopyRect(all, form_->Canvas(), all);
    return bitmap.Image();
}

void WriteBmp24(const std::string& path, const QImage& picture)
{
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    const int w = src.width();
    const int h = src.height();
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> out(54 + static_cast<size_t>(stride) * h, 0);
    const auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<unsigned>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(w));
    put32(22, static_cast<unsigned>(h));
    out[26] = 1;
    out[28] = 24;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = out.data() + 54 + static_cast<size_t>(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = src.pixel(x, y);
            row[3 * x] = static_cast<unsigned char>(qBlue(p));
            row[3 * x + 1] = static_cast<unsigned char>(qGreen(p));
            row[3 * x + 2] = static_cast<unsigned char>(qRed(p));
        }
    }
    WriteBytes(path, out);
}

void WriteJpeg(const std::string& path, const QImage& picture)
{
    WriteBytes(path, EncodeJpeg(picture, 95));
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Cp932(const char* utf8)
{
    return Utf8ToCp932(utf8);
}
