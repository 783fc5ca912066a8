#pragma once

#include <QImage>
#include <QPoint>
#include <memory>
#include <string>
#include <vector>

class QWindow;
class TMainForm1;

// A board window under test, driven through its real window as a user would:
// mouse moves, clicks and keys go through the window system's path, so the
// control under the pointer is the one that receives them.
class BoardDriver {
public:
    BoardDriver();
    ~BoardDriver();

    TMainForm1& Form() const { return *form_; }
    QWindow* Window() const;

    void MoveTo(QPoint at);
    // Moves over the picture view of cell n (1..9), away from its badge.
    void HoverCell(int n);
    // Drops local files onto the window at a point, as the file manager does.
    void Drop(const std::vector<std::string>& paths, QPoint at = QPoint(240, 180));
    void DoubleClick(QPoint at);
    void RightClick(QPoint at);
    void Key(int key, int modifiers);

    // The board as the window paints it, read through the board's own canvas.
    QImage Snapshot() const;

    static QPoint CellCentre(int n);

private:
    std::unique_ptr<TMainForm1> form_;
};

// Writes pictures for the tests.
void WriteBmp24(const std::string& path, const QImage& picture);
void WriteJpeg(const std::string& path, const QImage& picture);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& path);
// The text in code page 932 for UTF-8 text in a test.
std::string Cp932(const char* utf8);
