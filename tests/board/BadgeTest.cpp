// The badges of the cells: their look read from the window's own pixels, the
// five modes with their check marks, and how they share the mouse with the
// pictures below them.
#include "BoardDriver.h"
#include "Cp932.h"
#include "Graphics.h"
#include "MainWindow1.h"
#include "Menus.h"
#include "Modals.h"
#include "ShadowLabel.h"

#include <QColor>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

TShadowLabel* Badge(TMainForm1& form, int n)
{
    TShadowLabel* badges[] = {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5,
                              form.Label6, form.Label7, form.Label8, form.Label9};
    return badges[n - 1];
}

QPoint Corner(int n)
{
    return QPoint(160 * ((n - 1) % 3) + 4, 120 * ((n - 1) / 3) + 4);
}

struct BoxCounts {
    int outside = 0; // pixels differing from the panel outside the box
    int dark = 0;    // near black: the caption of a black badge
    int shadow = 0;  // the silver shadow and its blends with panel or caption
    int other = 0;   // anything that is not grey
};

// Sorts the pixels of the area around a cell's badge by colour. Glyph edges
// are smoothed, so the shadow shows as silver blended with what lies around.
BoxCounts Count(const QImage& shot, int n, const TShadowLabel& badge, QColor panel)
{
    BoxCounts c;
    const QPoint origin = Corner(n) - QPoint(4, 4);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) {
            const QColor p(shot.pixel(origin.x() + x, origin.y() + y));
            const bool inBox = x >= 4 && y >= 4 && x < 4 + badge.Width() && y < 4 + badge.Height();
            if (!inBox) {
                c.outside += p != panel;
                continue;
            }
            if (p == panel || p == QColor(Qt::white))
                continue;
            const bool grey = std::abs(p.red() - p.green()) < 3 && std::abs(p.green() - p.blue()) < 3;
            // Over a yellow panel the blends take some of its yellow.
            const bool yellowish = p.red() == p.green() && p.blue() < p.red();
            if (p.red() < 60 && grey)
                ++c.dark;
            else if (grey && p.red() >= 150 && p.red() <= 235)
                ++c.shadow;
            else if (!grey && !yellowish)
                ++c.other;
        }
    }
    return c;
}

class BadgeTest : public ::testing::Test {
protected:
    ModalWatcher modals;
    BoardDriver board;
};

TEST_F(BadgeTest, WhiteBadgeOnWhiteCellShowsOnlyItsSilverShadow)
{
    const QImage shot = board.Snapshot();
    for (int n : {1, 3, 5, 7, 9}) {
        const BoxCounts c = Count(shot, n, *Badge(board.Form(), n), Qt::white);
        EXPECT_GT(c.shadow, 10) << "cell " << n;
        EXPECT_EQ(c.dark, 0) << "cell " << n;
        EXPECT_EQ(c.other, 0) << "cell " << n;
        EXPECT_EQ(c.outside, 0) << "nothing is painted beyond the box of cell " << n;
    }
}

TEST_F(BadgeTest, BlackBadgeShowsBlackStrokesOverSilver)
{
    board.Form().N7Click(nullptr);
    Settle();
    const QImage shot = board.Snapshot();
    for (int n = 1; n <= 9; ++n) {
        const QColor panel = n % 2 ? QColor(Qt::white) : QColor(255, 255, 185);
        const BoxCounts c = Count(shot, n, *Badge(board.Form(), n), panel);
        EXPECT_GT(c.dark, 10) << "cell " << n;
        EXPECT_GT(c.shadow, 3) << "cell " << n;
        EXPECT_EQ(c.outside, 0) << "cell " << n;
    }
}

TEST_F(BadgeTest, HiddenBadgesPaintNothing)
{
    board.Form().N8Click(nullptr);
    Settle();
    const QImage shot = board.Snapshot();
    for (int n = 1; n <= 9; ++n) {
        const QColor panel = n % 2 ? QColor(Qt::white) : QColor(255, 255, 185);
        const QPoint corner = Corner(n);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(QColor(shot.pixel(corner.x() + x - 4, corner.y() + y - 4)), panel) << "cell " << n;
    }
}

TEST_F(BadgeTest, BoxesStayAtTheirCornersAndAreRefittedToTheirCaptions)
{
    TMainForm1& form = board.Form();
    const int digitWidth = form.Label1->Width();
    form.N10Click(nullptr);
    Settle();
    for (int n = 1; n <= 9; ++n) {
        const TShadowLabel* badge = Badge(form, n);
        EXPECT_EQ(QPoint(badge->Left(), badge->Top()), Corner(n)) << "cell " << n;
        EXPECT_GT(badge->Width(), 0);
        EXPECT_GT(badge->Height(), 0);
    }
    // The box follows the caption: a narrower or wider letter, a new width.
    form.Label1->SetCaption(Cp932("ＡＡ"));
    EXPECT_GT(form.Label1->Width(), digitWidth);
    EXPECT_EQ(QPoint(form.Label1->Left(), form.Label1->Top()), Corner(1));
}

TEST_F(BadgeTest, ModeTransitionsSetMarksCaptionsColourAndVisibility)
{
    enum Mode { WhiteDigits, BlackDigits, WhiteLetters, BlackLetters, Hidden };
    struct Step {
        const char* name;
        int key;
        int modifiers;
        Mode checked; // the one item that carries the mark
        bool letters; // captions after the step
        bool black;   // colour after the step
        bool visible;
    };
    // Ins then Shift+F2 shows every badge again; Ins twice stays hidden.
    const Step steps[] = {
        {"Shift+F2", Qt::Key_F2, Qt::ShiftModifier, BlackDigits, false, true, true},
        {"Ctrl+F1", Qt::Key_F1, Qt::ControlModifier, WhiteLetters, true, false, true},
        {"Ins", Qt::Key_Insert, Qt::NoModifier, Hidden, true, false, false},
        {"Shift+F2", Qt::Key_F2, Qt::ShiftModifier, BlackDigits, false, true, true},
        {"Ctrl+F2", Qt::Key_F2, Qt::ControlModifier, BlackLetters, true, true, true},
        {"Ins", Qt::Key_Insert, Qt::NoModifier, Hidden, true, true, false},
        {"Ins", Qt::Key_Insert, Qt::NoModifier, Hidden, true, true, false},
        {"Shift+F1", Qt::Key_F1, Qt::ShiftModifier, WhiteDigits, false, false, true},
        {"Shift+F1", Qt::Key_F1, Qt::ShiftModifier, WhiteDigits, false, false, true},
        {"Ctrl+F1", Qt::Key_F1, Qt::ControlModifier, WhiteLetters, true, false, true},
    };
    const char* digits[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨"};
    const char* letters[] = {"Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ", "Ｉ"};
    TMainForm1& form = board.Form();
    TMenuItem* items[] = {form.N6, form.N7, form.N10, form.N11, form.N8};
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(index++) + ": " + step.name);
        board.Key(step.key, step.modifiers);
        for (int m = 0; m < 5; ++m)
            EXPECT_EQ(items[m]->Checked(), m == step.checked) << "item " << m;
        for (int n = 1; n <= 9; ++n) {
            const TShadowLabel* badge = Badge(form, n);
            EXPECT_EQ(badge->Caption(), Cp932(step.letters ? letters[n - 1] : digits[n - 1])) << "cell " << n;
            EXPECT_EQ(badge->Font()->Color(), step.black ? clBlack : clWhite) << "cell " << n;
            EXPECT_EQ(badge->Visible(), step.visible) << "cell " << n;
        }
    }
    EXPECT_EQ(Cp932("①"), "\x87\x40");
    EXPECT_EQ(Cp932("Ｉ"), "\x82\x68");
}

TEST_F(BadgeTest, ShownBadgeTakesTheMouseHiddenBadgeGivesTheCellToThePicture)
{
    TMainForm1& form = board.Form();
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const std::string path = (std::string(::testing::TempDir()) + "badge-red.bmp");
    WriteBmp24(path, red);
    board.HoverCell(9);
    board.Drop({path});
    const QPoint inBadge = Corner(9) + QPoint(6, 6);
    board.HoverCell(5);
    board.MoveTo(inBadge);
    EXPECT_EQ(form.HoverCell(), Cp932("中央"));
    board.DoubleClick(inBadge);
    EXPECT_EQ(QColor(board.Snapshot().pixel(400, 300)), QColor(Qt::red));

    form.N8Click(nullptr);
    Settle();
    board.MoveTo(inBadge + QPoint(1, 0));
    EXPECT_EQ(form.HoverCell(), Cp932("右下"));
    board.DoubleClick(inBadge);
    EXPECT_EQ(QColor(board.Snapshot().pixel(400, 300)), QColor(Qt::white));
}

TEST_F(BadgeTest, PicturesComingAndGoingLeaveTheBadgesAlone)
{
    TMainForm1& form = board.Form();
    form.N11Click(nullptr);
    QImage blue(4, 4, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const std::string path = std::string(::testing::TempDir()) + "badge-blue.bmp";
    WriteBmp24(path, blue);
    board.HoverCell(2);
    board.Drop({path});
    board.DoubleClick(BoardDriver::CellCentre(2));
    form.D1Click(nullptr);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_TRUE(Badge(form, n)->Visible());
        EXPECT_EQ(Badge(form, n)->Font()->Color(), clBlack);
    }
    EXPECT_TRUE(form.N11->Checked());
}

} // namespace
