#include "BoardDriver.h"

#include "BmpFixtures.h"
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
    WriteBytes(path, Bmp24(picture));
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
