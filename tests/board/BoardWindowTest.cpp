// The board window as the user meets it: its start-up state, the menu and
// its shortcuts, hover targeting, drops, loading errors, stretching and
// emptying, all through the real window and its own pixels.
#include "BoardDriver.h"
#include "Cp932.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "MainWindow1.h"
#include "Mapi.h"
#include "Menus.h"
#include "Modals.h"
#include "ProgressiveJpeg.h"
#include "ShadowLabel.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <jerror.h>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 185);

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

bool Near(const QColor& a, const QColor& b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor PanelColour(int cell)
{
    return cell % 2 == 0 ? kYellow : kWhite;
}

// A point of cell n well away from its badge.
QPoint Inside(int cell)
{
    return BoardDriver::CellCentre(cell) + QPoint(30, 30);
}

QImage Filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class BoardWindowTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const
    {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string Bmp(const std::string& name, QColor colour)
    {
        const std::string path = PathOf(name);
        WriteBmp24(path, Filled(8, 6, colour));
        return path;
    }
    std::string Jpeg(const std::string& name, QColor colour)
    {
        const std::string path = PathOf(name);
        WriteJpeg(path, Filled(32, 24, colour));
        return path;
    }
    // Which colour each of the nine cells shows away from its badge.
    std::vector<QColor> CellColours() const
    {
        const QImage shot = board.Snapshot();
        std::vector<QColor> colours;
        for (int n = 1; n <= 9; ++n)
            colours.push_back(At(shot, Inside(n).x(), Inside(n).y()));
        return colours;
    }
    void ExpectOnly(int cell, QColor colour) const
    {
        const auto colours = CellColours();
        for (int n = 1; n <= 9; ++n) {
            const QColor expected = n == cell ? colour : PanelColour(n);
            EXPECT_TRUE(Near(colours[n - 1], expected))
                << "cell " << n << " shows " << colours[n - 1].name().toStdString();
        }
    }

    QTemporaryDir dir;
    ModalWatcher modals;
    BoardDriver board;
};

// --- start-up ----------------------------------------------------------------

TEST_F(BoardWindowTest, StartsAsAnEmptyCheckerboardWithWhiteBadges)
{
    const QImage shot = board.Snapshot();
    ASSERT_EQ(shot.size(), QSize(480, 360));
    for (int n = 1; n <= 9; ++n) {
        const QPoint c = Inside(n);
        EXPECT_EQ(At(shot, c.x(), c.y()), PanelColour(n)) << "cell " << n;
        // In the badge's box: the caption in white and its silver shadow.
        const QPoint corner = BoardDriver::CellCentre(n) - QPoint(80 - 4, 60 - 4);
        int white = 0, silver = 0;
        for (int y = corner.y(); y < corner.y() + 21; ++y) {
            for (int x = corner.x(); x < corner.x() + 22; ++x) {
                const QColor p = At(shot, x, y);
                white += p == kWhite;
                silver += Near(p, QColor(192, 192, 192), 8);
            }
        }
        EXPECT_GT(silver, 5) << "cell " << n;
        if (PanelColour(n) == kYellow) {
            EXPECT_GT(white, 5) << "cell " << n;
        }
    }
    EXPECT_TRUE(modals.Boxes().empty());
}

TEST_F(BoardWindowTest, WindowSettingsReadBack)
{
    TMainForm1& form = board.Form();
    QWidget* w = form.Widget();
    EXPECT_EQ(form.ClientWidth(), 480);
    EXPECT_EQ(form.ClientHeight(), 360);
    EXPECT_EQ(w->minimumSize(), QSize(480, 360));
    EXPECT_EQ(w->maximumSize(), QSize(480, 360));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("モザイカ - (右クリックでポップアップメニュー)"));
    EXPECT_EQ(form.Caption(), Cp932("モザイカ - (右クリックでポップアップメニュー)"));
    EXPECT_EQ(Application->Title(), Cp932("モザイカ"));
    EXPECT_EQ(form.Left(), 20);
    EXPECT_EQ(form.Top(), 20);
    EXPECT_FALSE(form.Image0->Visible());
    EXPECT_EQ(form.HoverCell(), "");
}

TEST_F(BoardWindowTest, MenuHoldsEveryCommandWithItsShortcutAndMark)
{
    struct Row {
        TMenuItem* TMainForm1::*item;
        const char* caption;
        int shortCut;
        bool checked;
        const char* keys;
    };
    const Row rows[] = {
        {&TMainForm1::Save1, "保存(&S)...", 16467, false, "Ctrl+S"},
        {&TMainForm1::M1, "メール送信(&M)...", 16461, false, "Ctrl+M"},
        {&TMainForm1::N1, "-", 0, false, ""},
        {&TMainForm1::N2, "数字/英語の割り振り(&N)", 0, false, ""},
        {&TMainForm1::N6, "白い数字(&W)", 8304, true, "Shift+F1"},
        {&TMainForm1::N7, "黒い数字(&B)", 8305, false, "Shift+F2"},
        {&TMainForm1::N10, "白い英語(&H)", 16496, false, "Ctrl+F1"},
        {&TMainForm1::N11, "黒い英語(&L)", 16497, false, "Ctrl+F2"},
        {&TMainForm1::N9, "-", 0, false, ""},
        {&TMainForm1::N8, "数字/英語なし(&N)", 45, false, "Ins"},
        {&TMainForm1::D1, "ぜんぶ消去(&D)", 46, false, "Del"},
        {&TMainForm1::N3, "-", 0, false, ""},
        {&TMainForm1::N4, "インフォメーション(&I)...", 0, false, ""},
    };
    TMainForm1& form = board.Form();
    for (const Row& row : rows) {
        const TMenuItem* item = form.*row.item;
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(item->Caption(), Cp932(row.caption));
        EXPECT_EQ(item->ShortCut(), row.shortCut);
        EXPECT_EQ(item->Checked(), row.checked);
        EXPECT_EQ(item->Action()->shortcut().toString(), QString::fromLatin1(row.keys));
        EXPECT_EQ(item->Action()->isChecked(), row.checked);
    }
    // Top level, then the badge submenu, in their order.
    const TMenuItem* top = form.PopupMenu1->Items();
    const std::vector<TMenuItem*> expectedTop = {form.Save1, form.M1, form.N1, form.N2,
                                                 form.D1,    form.N3, form.N4};
    const std::vector<TMenuItem*> expectedSub = {form.N6, form.N7, form.N10, form.N11, form.N9, form.N8};
    ASSERT_EQ(top->Count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(top->Items(i), expectedTop[static_cast<size_t>(i)]);
    ASSERT_EQ(form.N2->Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.N2->Items(i), expectedSub[static_cast<size_t>(i)]);
    EXPECT_EQ(form.PopupMenu1->AutoHotkeys(), maManual);
    EXPECT_EQ(form.SavePictureDialog1->DefaultExt(), "jpg");
    EXPECT_EQ(form.SavePictureDialog1->Filter(), Cp932("JPEG ファイル (*.jpg;*.jpeg)|*.jpg;*.jpeg"));
}

TEST_F(BoardWindowTest, EveryShortcutRunsItsItemWithoutOpeningTheMenu)
{
    struct Row {
        TMenuItem* TMainForm1::*item;
        int key;
        int modifiers;
    };
    const Row rows[] = {
        {&TMainForm1::Save1, Qt::Key_S, Qt::ControlModifier},
        {&TMainForm1::M1, Qt::Key_M, Qt::ControlModifier},
        {&TMainForm1::N6, Qt::Key_F1, Qt::ShiftModifier},
        {&TMainForm1::N7, Qt::Key_F2, Qt::ShiftModifier},
        {&TMainForm1::N10, Qt::Key_F1, Qt::ControlModifier},
        {&TMainForm1::N11, Qt::Key_F2, Qt::ControlModifier},
        {&TMainForm1::N8, Qt::Key_Insert, Qt::NoModifier},
        {&TMainForm1::D1, Qt::Key_Delete, Qt::NoModifier},
    };
    // The commands run for real; the mail goes nowhere.
    SetMapiSendMailForTests([](LHANDLE, ULONG_PTR, MapiMessage*, FLAGS, ULONG) { return SUCCESS_SUCCESS; });
    for (const Row& row : rows) {
        TMenuItem* item = board.Form().*row.item;
        SCOPED_TRACE(Cp932ToUtf8(item->Caption()));
        QSignalSpy spy(item->Action(), &QAction::triggered);
        board.Key(row.key, row.modifiers);
        EXPECT_EQ(spy.count(), 1);
    }
    SetMapiSendMailForTests(nullptr);
    EXPECT_TRUE(modals.Popups().empty());
}

TEST_F(BoardWindowTest, DeleteKeyEmptiesTheBoard)
{
    board.HoverCell(4);
    board.Drop({Bmp("red.bmp", Qt::red)});
    ExpectOnly(4, Qt::red);
    board.Key(Qt::Key_Delete, Qt::NoModifier);
    ExpectOnly(0, Qt::black);
}

TEST_F(BoardWindowTest, RightClickOpensTheSameMenuOverBadgePictureAndEmptyCell)
{
    board.HoverCell(5);
    board.Drop({Bmp("blue.bmp", Qt::blue)});
    const QPoint places[] = {QPoint(14, 14) /* badge of cell 1 */, Inside(5) /* picture */,
                             Inside(9) /* empty */};
    for (const QPoint at : places)
        board.RightClick(at);
    ASSERT_EQ(modals.Popups().size(), 3u);
    const QStringList expected = {QString::fromUtf8("保存(&S)..."),
                                  QString::fromUtf8("メール送信(&M)..."),
                                  "-",
                                  QString::fromUtf8("数字/英語の割り振り(&N)"),
                                  QString::fromUtf8("ぜんぶ消去(&D)"),
                                  "-",
                                  QString::fromUtf8("インフォメーション(&I)...")};
    for (const QStringList& seen : modals.Popups())
        EXPECT_EQ(seen, expected);
}

// --- hover targeting ---------------------------------------------------------

TEST_F(BoardWindowTest, DropGoesToTheCellLastHoveredWhereverItLands)
{
    board.HoverCell(2);
    board.MoveTo(QPoint(479, 359)); // leaving over cell 9's corner is a move over cell 9
    board.HoverCell(2);
    board.Drop({Bmp("green.bmp", Qt::green)}, Inside(9));
    ExpectOnly(2, Qt::green);
    EXPECT_EQ(board.Form().HoverCell(), Cp932("上"));
}

TEST_F(BoardWindowTest, DropBeforeAnyHoverLoadsNothing)
{
    board.Drop({Bmp("green.bmp", Qt::green)});
    ExpectOnly(0, Qt::black);
    EXPECT_TRUE(modals.Boxes().empty());
}

TEST_F(BoardWindowTest, MovesOverAVisibleBadgeDoNotCount)
{
    board.HoverCell(5);
    board.MoveTo(QPoint(12, 12)); // inside cell 1's badge
    board.Drop({Bmp("green.bmp", Qt::green)}, QPoint(12, 12));
    ExpectOnly(5, Qt::green);
}

TEST_F(BoardWindowTest, ADropOfThreeFilesLoadsTheFirst)
{
    board.HoverCell(7);
    board.Drop({Bmp("a.bmp", Qt::red), Bmp("b.bmp", Qt::green), Bmp("c.bmp", Qt::blue)});
    ExpectOnly(7, Qt::red);
    EXPECT_TRUE(modals.Boxes().empty());
}

TEST_F(BoardWindowTest, HoverTargetKeyForEveryCell)
{
    const char* keys[] = {"左上", "上", "右上", "左", "中央", "右", "左下", "下", "右下"};
    for (int n = 1; n <= 9; ++n) {
        board.HoverCell(n);
        EXPECT_EQ(board.Form().HoverCell(), Cp932(keys[n - 1])) << "cell " << n;
    }
}

// --- extensions --------------------------------------------------------------

TEST_F(BoardWindowTest, OnlyBmpJpgAndJpegNamesAreTaken)
{
    std::filesystem::create_directories(PathOf("folder.jpg"));
    std::filesystem::create_directories(
        PathOf("deep/" + std::string(120, 'd') + "/" + std::string(120, 'e')));
    struct Row {
        std::string name;
        bool taken;
    };
    const Row rows[] = {
        {"PHOTO.JPEG", true},
        {"photo.Jpeg", true},
        {"photo.jpg", true},
        {"photo.BMP", true},
        {"photo.jpe", false},
        {"photo.jfif", false},
        {"photo.png", false},
        {"photo.gif", false},
        {"photo", false},
        {"archive.jpg.zip", false},
        {"folder.jpg/photo", false},
        // Names the system's code page cannot spell, and a path far past 259 bytes.
        {"café.jpg", true},
        {"写真〜1.jpg", true},
        {"ソ表.jpg", true},
        {"deep/" + std::string(120, 'd') + "/" + std::string(120, 'e') + "/photo.jpg", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        board.Form().D1Click(nullptr);
        const std::string path = PathOf(row.name);
        const bool bmp = row.name.find(".BMP") != std::string::npos;
        if (bmp)
            Bmp(row.name, Qt::magenta);
        else
            Jpeg(row.name, Qt::magenta);
        board.HoverCell(3);
        board.Drop({path});
        const QColor shown = CellColours()[2];
        EXPECT_EQ(Near(shown, Qt::magenta, 12), row.taken) << shown.name().toStdString();
    }
    EXPECT_TRUE(modals.Boxes().empty());
}

// --- loading errors ----------------------------------------------------------

TEST_F(BoardWindowTest, EachLoadingFailureShowsItsMessageAndKeepsTheCell)
{
    std::filesystem::create_directories(PathOf("x.jpg"));
    WriteBytes(PathOf("short.bmp"), {'B', 'M', 0, 0});
    std::vector<unsigned char> cut = ReadBytes(Bmp("cut.bmp", Qt::cyan));
    cut.resize(60);
    WriteBytes(PathOf("cut.bmp"), cut);
    WriteJpeg(PathOf("j.bmp"), Filled(8, 8, Qt::cyan));
    WriteBmp24(PathOf("b.jpg"), Filled(8, 8, Qt::cyan));
    // A bitmap whose header claims 100000 x 100000 pixels.
    std::vector<unsigned char> huge = ReadBytes(Bmp("huge.bmp", Qt::cyan));
    huge[18] = 0xA0, huge[19] = 0x86, huge[20] = 0x01, huge[21] = 0;
    huge[22] = 0xA0, huge[23] = 0x86, huge[24] = 0x01, huge[25] = 0;
    WriteBytes(PathOf("huge.bmp"), huge);

    struct Row {
        std::string name;
        std::string message;
    };
    const Row rows[] = {
        {"x.jpg", "ファイル " + PathOf("x.jpg") + " は開けません."},
        {"gone.jpg", "ファイル " + PathOf("gone.jpg") + " は開けません."},
        {"short.bmp", "ストリームからの読み込みエラー."},
        {"cut.bmp", "ストリームからの読み込みエラー."},
        {"j.bmp", "ビットマップイメージが不正です."},
        {"b.jpg", "JPEG エラー #" + std::to_string(JERR_NO_SOI) + "."},
        {"huge.bmp", "画像 100000 × 100000 ピクセルは大きすぎて読み込めません."},
    };
    board.HoverCell(6);
    board.Drop({Bmp("kept.bmp", Qt::darkGreen)});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        modals.Clear();
        board.Drop({PathOf(row.name)});
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const SeenBox& box = modals.Boxes().front();
        EXPECT_EQ(box.text.toStdString(), row.message);
        EXPECT_EQ(box.title, QString::fromUtf8("モザイカ"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons.size(), 1);
        ExpectOnly(6, Qt::darkGreen);
    }
}

TEST_F(BoardWindowTest, ZeroByteBitmapEmptiesTheCellSilently)
{
    board.HoverCell(8);
    board.Drop({Bmp("full.bmp", Qt::red)});
    WriteBytes(PathOf("zero.bmp"), {});
    board.Drop({PathOf("zero.bmp")});
    ExpectOnly(0, Qt::black);
    EXPECT_TRUE(modals.Boxes().empty());
}

TEST_F(BoardWindowTest, DamagedJpegBodyFailsAtFirstDrawingAndOnlyOnce)
{
    // A progressive file whose second scan header names no components: the
    // header reads, the decoding does not.
    std::vector<unsigned char> jpeg = EncodeProgressiveJpeg(Filled(64, 48, Qt::red));
    int scans = 0;
    for (size_t i = 0; i + 5 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA && ++scans == 2) {
            jpeg[i + 4] = 0;
            break;
        }
    }
    ASSERT_EQ(scans, 2);
    WriteBytes(PathOf("damaged.jpg"), jpeg);
    board.HoverCell(1);
    board.Drop({PathOf("damaged.jpg")});
    ASSERT_EQ(modals.Boxes().size(), 1u);
    EXPECT_EQ(modals.Boxes().front().text.left(8), QString::fromUtf8("JPEG エラー"));
    // Further paintings do not decode again, and say nothing more.
    board.Snapshot();
    board.Form().Widget()->repaint();
    Settle();
    EXPECT_EQ(modals.Boxes().size(), 1u);
}

// --- drawing and emptying -----------------------------------------------------

TEST_F(BoardWindowTest, WidePictureIsSqueezedIntoItsCell)
{
    // Ten-column bands across, four zones of rows down: each cell column shows
    // one band, and the zones land a quarter of the cell each.
    QImage wide(1600, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 1600; ++x)
            wide.setPixel(x, y, qRgb((x / 10) % 2 ? 255 : 0, (y / 100) * 80, (x / 10) % 3 * 100));
    WriteBmp24(PathOf("wide.bmp"), wide);
    board.HoverCell(5);
    board.Drop({PathOf("wide.bmp")});
    board.Form().N8Click(nullptr);
    board.Form().Label5->SetVisible(false); // nothing over the picture
    const QImage shot = board.Snapshot();
    for (int cy : {2, 27, 32, 57, 62, 87, 92, 117})
        for (int cx = 0; cx < 160; ++cx) {
            const QColor expected(cx % 2 ? 255 : 0, (cy / 30) * 80, cx % 3 * 100);
            ASSERT_EQ(At(shot, 160 + cx, 120 + cy), expected) << cx << "," << cy;
        }
}

TEST_F(BoardWindowTest, SmallPictureIsEnlargedWithBlockyEdges)
{
    QImage small(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            small.setPixel(x, y, qRgb(x * 16, y * 20, (x + y) % 2 ? 255 : 0));
    WriteBmp24(PathOf("small.bmp"), small);
    board.HoverCell(9);
    board.Drop({PathOf("small.bmp")});
    board.Form().Label9->SetVisible(false);
    const QImage shot = board.Snapshot();
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(shot.pixel(320 + x, 240 + y), small.pixel(x / 10, y / 10)) << x << "," << y;
}

TEST_F(BoardWindowTest, DoubleClickEmptiesThePictureButNotThroughItsBadge)
{
    board.HoverCell(5);
    board.Drop({Bmp("red.bmp", Qt::red)});
    board.DoubleClick(QPoint(160 + 12, 120 + 12)); // the badge of cell 5
    ExpectOnly(5, Qt::red);
    board.DoubleClick(Inside(5));
    ExpectOnly(0, Qt::black);
    EXPECT_EQ(board.Form().HoverCell(), Cp932("中央"));
}

TEST_F(BoardWindowTest, ClearAllKeepsTheHoverTarget)
{
    board.HoverCell(4);
    board.Drop({Bmp("red.bmp", Qt::red)});
    board.Form().D1Click(nullptr);
    ExpectOnly(0, Qt::black);
    board.Drop({Bmp("blue.bmp", Qt::blue)});
    ExpectOnly(4, Qt::blue);
}

TEST_F(BoardWindowTest, DroppingReplacesAndTheSameFileFillsTwoCells)
{
    const std::string red = Jpeg("red.jpg", Qt::red);
    board.HoverCell(1);
    board.Drop({Bmp("blue.bmp", Qt::blue)});
    board.Drop({red});
    board.HoverCell(3);
    board.Drop({red});
    const auto colours = CellColours();
    EXPECT_TRUE(Near(colours[0], Qt::red, 12));
    EXPECT_TRUE(Near(colours[2], Qt::red, 12));
}

} // namespace
