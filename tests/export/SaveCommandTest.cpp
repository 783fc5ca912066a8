// The Save command driven as a user would: the save dialog typed into, the
// confirmation answered, and the written file read back.
#include "BoardDriver.h"
#include "BoardSnapshot.h"
#include "Cp932.h"
#include "ExtCtrls.h"
#include "FileReplace.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "JpegCodec.h"
#include "MainWindow1.h"
#include "Menus.h"
#include "Modals.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const QString kYes = QString::fromUtf8("はい(&Y)");
const QString kNo = QString::fromUtf8("いいえ(&N)");

// Mean absolute difference per channel between two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b, QRect area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * area.width() * area.height());
}

class SaveCommandTest : public ::testing::Test {
protected:
    QString Folder() const { return dir.path(); }
    std::string PathOf(const std::string& name) const
    {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    QImage Decoded(const std::string& path) const
    {
        const std::vector<unsigned char> bytes = ReadBytes(path);
        return DecodeJpeg(bytes.data(), bytes.size());
    }
    // Chooses the menu item, as from the menu or by Ctrl+S.
    void Save()
    {
        board.Form().Save1->Action()->trigger();
        Settle();
    }
    void PutPicture(int cell, const QImage& picture)
    {
        const std::string path = PathOf("cell" + std::to_string(cell) + ".bmp");
        WriteBmp24(path, picture);
        board.HoverCell(cell);
        board.Drop({path});
    }

    QTemporaryDir dir;
    ModalWatcher modals;
    BoardDriver board;
};

TEST_F(SaveCommandTest, TypedNameGetsJpgAndTheFileIsTheBoard)
{
    QImage stripes(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            stripes.setPixel(x, y, x < 20 ? qRgb(200, 30, 30) : qRgb(30, 30, 200));
    PutPicture(5, stripes);
    const QImage screen = board.Snapshot();
    modals.Answer(answer::TypeFileName(Folder(), "board"));
    Save();
    ASSERT_TRUE(modals.AllAnswered());
    const std::string path = PathOf("board.jpg");
    ASSERT_TRUE(fs::exists(path));
    const QImage file = Decoded(path);
    ASSERT_EQ(file.size(), QSize(480, 360));
    // The light-yellow panel keeps its colours: red and blue are not exchanged.
    const QColor yellow(file.pixel(240, 60));
    EXPECT_NEAR(yellow.red(), 255, 4);
    EXPECT_NEAR(yellow.green(), 255, 4);
    EXPECT_NEAR(yellow.blue(), 185, 6);
    // The picture is where and as it is on screen, badges included.
    EXPECT_LT(MeanDifference(file, screen, QRect(0, 0, 480, 360)), 3.0);
    EXPECT_GT(qRed(file.pixel(200, 200)), 150);
    EXPECT_GT(qBlue(file.pixel(280, 200)), 150);
    EXPECT_TRUE(modals.Boxes().empty());

    // The layout marks of the encoder's settings: JFIF, quality 80, 480 x 360.
    const std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 200u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 11), std::string("JFIF\0", 5));
    const unsigned char dqt0[] = {0xFF, 0xDB, 0x00, 0x43, 0x00, 6};
    const unsigned char dqt1[] = {0xFF, 0xDB, 0x00, 0x43, 0x01, 7};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), std::begin(dqt0), std::end(dqt0)), bytes.end());
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), std::begin(dqt1), std::end(dqt1)), bytes.end());
    const JpegHeader header = ReadJpegHeader(bytes.data(), bytes.size());
    EXPECT_EQ(header.width, 480);
    EXPECT_EQ(header.height, 360);
    EXPECT_FALSE(header.progressive);
}

TEST_F(SaveCommandTest, BadgesAreInTheFileAsOnScreen)
{
    modals.Answer(answer::TypeFileName(Folder(), "with.jpg"));
    Save();
    board.Form().N8Click(nullptr);
    Settle();
    modals.Answer(answer::TypeFileName(Folder(), "without.jpg"));
    Save();
    const QImage with = Decoded(PathOf("with.jpg"));
    const QImage without = Decoded(PathOf("without.jpg"));
    const QRect badge(4, 4, 22, 21);
    EXPECT_GT(MeanDifference(with, without, badge), 3.0);
    // Without badges the corner is the plain white panel.
    EXPECT_LT(MeanDifference(without, QImage(480, 360, QImage::Format_RGB32), badge), 256.0);
    EXPECT_GT(qGray(without.pixel(12, 12)), 245);
}

TEST_F(SaveCommandTest, TwoSavesWithoutChangesGiveTheSamePicture)
{
    PutPicture(1, QImage(8, 8, QImage::Format_RGB32));
    modals.Answer(answer::TypeFileName(Folder(), "first.jpg"));
    Save();
    modals.Answer(answer::TypeFileName(Folder(), "second.jpg"));
    Save();
    EXPECT_EQ(ReadBytes(PathOf("first.jpg")), ReadBytes(PathOf("second.jpg")));
}

TEST_F(SaveCommandTest, CancelWritesNothingAndTheNextSaveOffersTheLastPath)
{
    modals.Answer(answer::CancelFileDialog());
    Save();
    EXPECT_TRUE(QDir(Folder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(modals.Boxes().empty());

    modals.Answer(answer::TypeFileName(Folder(), "kept.jpg"));
    Save();
    QString offered;
    modals.Answer(answer::CancelFileDialog(&offered));
    Save();
    EXPECT_EQ(offered.toStdString(), PathOf("kept.jpg"));
}

TEST_F(SaveCommandTest, AnotherExtensionIsWrittenAsGivenWithJpegContent)
{
    modals.Answer(answer::TypeFileName(Folder(), "board.bmp"));
    Save();
    const std::vector<unsigned char> bytes = ReadBytes(PathOf("board.bmp"));
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_FALSE(fs::exists(PathOf("board.bmp.jpg")));
}

TEST_F(SaveCommandTest, AnExistingFileIsReplacedOnlyOnYes)
{
    const std::string path = PathOf("old.jpg");
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    struct Row {
        const char* how;
        std::function<void(QWidget*)> answer;
        bool replaced;
    };
    const Row rows[] = {
        {"No", answer::Click(kNo), false},    {"Esc", answer::Press(Qt::Key_Escape), false},
        {"close", answer::CloseBox(), false}, {"Enter", answer::Press(Qt::Key_Return), true},
        {"Yes", answer::Click(kYes), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        WriteBytes(path, old);
        modals.Clear();
        modals.Answer(answer::TypeFileName(Folder(), "old.jpg"));
        modals.Answer(row.answer);
        Save();
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const SeenBox& box = modals.Boxes().front();
        EXPECT_EQ(box.title, QString::fromUtf8("確認"));
        EXPECT_EQ(box.icon, QMessageBox::Question);
        EXPECT_EQ(box.text.toStdString(), path + " は既に存在します。\n上書きしますか？");
        EXPECT_EQ(box.buttons, QStringList({kYes, kNo}));
        EXPECT_EQ(box.defaultButton, kYes);
        EXPECT_EQ(box.escapeButton, kNo);
        const std::vector<unsigned char> now = ReadBytes(path);
        if (row.replaced) {
            ASSERT_GT(now.size(), 2u);
            EXPECT_EQ(now[0], 0xFF);
        } else {
            EXPECT_EQ(now, old);
        }
    }
}

TEST_F(SaveCommandTest, FailingDestinationsSayWhyAndKeepTheOldFile)
{
    fs::create_directories(PathOf("locked"));
    fs::create_directories(PathOf("open"));
    WriteBytes(PathOf("readonly.jpg"), {'o', 'l', 'd'});
    WriteBytes(PathOf("open/full.jpg"), {'o', 'l', 'd'});
    chmod(PathOf("readonly.jpg").c_str(), 0444);
    chmod(PathOf("locked").c_str(), 0555);
    struct Row {
        std::string folder;
        std::string name;
        FileFault fault;
        const char* message; // %s is the path
        bool existed;
    };
    const Row rows[] = {
        {"missing", "board.jpg", FileFault::None, "ファイル %s を作成できません.", false},
        {"locked", "board.jpg", FileFault::None, "ファイル %s を作成できません.", false},
        {"", "readonly.jpg", FileFault::None, "ファイル %s を作成できません.", true},
        {"open", "full.jpg", FileFault::Write, "ファイル %s に書き込めません.", true},
        {"open", "new.jpg", FileFault::Write, "ファイル %s に書き込めません.", false},
        {"open", "full.jpg", FileFault::Create, "ファイル %s を作成できません.", true},
        {"open", "full.jpg", FileFault::Rename, "ファイル %s を作成できません.", true},
        {"open", "full.jpg", FileFault::Close, "ファイル %s に書き込めません.", true},
    };
    const QImage boardBefore = board.Snapshot();
    for (const Row& row : rows) {
        const std::string folder = row.folder.empty() ? Folder().toStdString() : PathOf(row.folder);
        const std::string path = folder + "/" + row.name;
        SCOPED_TRACE(path);
        const std::vector<unsigned char> before =
            row.existed ? ReadBytes(path) : std::vector<unsigned char>();
        const auto entriesBefore = fs::exists(folder) ? std::distance(fs::directory_iterator(folder), {}) : 0;
        modals.Clear();
        modals.Answer(answer::TypeFileName(QString::fromStdString(folder), QString::fromStdString(row.name)));
        if (row.existed)
            modals.Answer(answer::Click(kYes));
        ArmFileFault(row.fault);
        Save();
        ArmFileFault(FileFault::None);
        ASSERT_FALSE(modals.Boxes().empty());
        const SeenBox& error = modals.Boxes().back();
        std::string expected = row.message;
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(error.text.toStdString(), expected);
        EXPECT_EQ(error.title, QString::fromUtf8("モザイカ"));
        EXPECT_EQ(error.icon, QMessageBox::Critical);
        if (row.existed) {
            EXPECT_EQ(ReadBytes(path), before);
        } else {
            EXPECT_FALSE(fs::exists(path));
        }
        if (fs::exists(folder)) {
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), entriesBefore)
                << "a partial file was left";
        }
        EXPECT_EQ(board.Snapshot(), boardBefore) << "the board changed";
    }
    chmod(PathOf("locked").c_str(), 0755);
}

TEST_F(SaveCommandTest, AFolderOfThatNameCannotBeCreated)
{
    const std::string path = PathOf("taken.jpg");
    fs::create_directories(path);
    const TBoardExportObjects objects;
    CaptureBoard(board.Form());
    try {
        WriteBoardJpeg(board.Form(), path, objects.Jpeg(), objects.Bitmap());
        FAIL() << "a folder was written over";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.MessageUtf8(), "ファイル " + path + " を作成できません");
    }
    EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(SaveCommandTest, ASymbolicLinkIsFollowedAndPermissionsKept)
{
    const std::string target = PathOf("real.jpg");
    WriteBytes(target, {'o', 'l', 'd'});
    chmod(target.c_str(), 0640);
    fs::create_symlink(target, PathOf("link.jpg"));
    modals.Answer(answer::TypeFileName(Folder(), "link.jpg"));
    modals.Answer(answer::Click(kYes));
    Save();
    EXPECT_TRUE(fs::is_symlink(PathOf("link.jpg")));
    EXPECT_EQ(ReadBytes(target)[0], 0xFF);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

} // namespace
