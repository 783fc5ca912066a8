// The Mail command: the records handed to Simple MAPI, the notice when no
// mail program takes them, the temporary file's life, and the hand-over to a
// stand-in mail program through the real xdg-email.
#include "BoardDriver.h"
#include "Clock.h"
#include "Cp932.h"
#include "FileReplace.h"
#include "JpegCodec.h"
#include "MainWindow1.h"
#include "Mapi.h"
#include "Menus.h"
#include "Modals.h"
#include "PrivateFolder.h"
#include "StandInDesktop.h"
#include "SysUtils.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const char* kNotice = "お使いのメーラーを｢通常使うメールソフト(規定のプログラム)｣に設定してください。";

// What MAPISendMail received, copied while the call lasted.
struct SeenCall {
    LHANDLE session = 99;
    ULONG_PTR parent = 0;
    FLAGS flags = 0;
    ULONG reserved = 99;
    MapiMessage message{};
    MapiRecipDesc recipient{};
    MapiFileDesc file{};
    std::string subject, note, name, address, path;
    bool fileExisted = false;
    QSize picture;
};

std::string Stamp(std::time_t t)
{
    std::tm local{};
    localtime_r(&t, &local);
    char text[24];
    std::strftime(text, sizeof text, "%Y%m%d%H%M", &local);
    return text;
}

class MailCommandTest : public ::testing::Test {
protected:
    void SetUp() override { TPrivateFolder::SetParentForTests(scratch.path().toStdString()); }
    void TearDown() override
    {
        SetMapiSendMailForTests(nullptr);
        SetClockForTests(nullptr);
        TPrivateFolder::SetParentForTests("");
        ResetMapiLoaderForTests();
    }
    void Mail()
    {
        board.Form().M1->Action()->trigger();
        Settle();
    }
    // Answers every hand-over with this result, recording the call.
    void HandOverWith(ULONG result)
    {
        SetMapiSendMailForTests([this, result](LHANDLE s, ULONG_PTR p, MapiMessage* m, FLAGS f, ULONG r) {
            SeenCall c;
            c.session = s, c.parent = p, c.flags = f, c.reserved = r;
            c.message = *m;
            c.recipient = m->lpRecips[0];
            c.file = m->lpFiles[0];
            c.subject = m->lpszSubject, c.note = m->lpszNoteText;
            c.name = m->lpRecips[0].lpszName, c.address = m->lpRecips[0].lpszAddress;
            c.path = m->lpFiles[0].lpszPathName;
            c.fileExisted = fs::exists(c.path);
            const std::vector<unsigned char> bytes = ReadBytes(c.path);
            if (!bytes.empty())
                c.picture = DecodeJpeg(bytes.data(), bytes.size()).size();
            calls.push_back(c);
            if (onCall)
                onCall();
            return result;
        });
    }
    bool ScratchEmpty() const
    {
        return QDir(scratch.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir scratch;
    std::vector<SeenCall> calls;
    std::function<void()> onCall;
    ModalWatcher modals;
    BoardDriver board;
};

TEST_F(MailCommandTest, HandsOverTheRecordsAndRemovesItsFile)
{
    HandOverWith(SUCCESS_SUCCESS);
    const int beeps = MessageBeepCount();
    Mail();
    ASSERT_EQ(calls.size(), 1u);
    const SeenCall& c = calls.front();
    EXPECT_EQ(c.session, 0u);
    EXPECT_EQ(c.parent, reinterpret_cast<ULONG_PTR>(Application->Handle()));
    EXPECT_NE(c.parent, reinterpret_cast<ULONG_PTR>(board.Form().Handle()));
    EXPECT_EQ(c.flags, 0x0Bu);
    EXPECT_EQ(c.reserved, 0u);

    EXPECT_EQ(c.message.ulReserved, 0u);
    EXPECT_EQ(c.subject, Cp932("(添付画像あり)"));
    ASSERT_NE(c.message.lpszNoteText, nullptr);
    EXPECT_EQ(c.note, "");
    EXPECT_EQ(c.message.lpszMessageType, nullptr);
    EXPECT_EQ(c.message.lpszDateReceived, nullptr);
    EXPECT_EQ(c.message.lpszConversationID, nullptr);
    EXPECT_EQ(c.message.flFlags, 0u);
    EXPECT_EQ(c.message.lpOriginator, nullptr);
    EXPECT_EQ(c.message.nRecipCount, 1u);
    EXPECT_EQ(c.message.nFileCount, 1u);

    EXPECT_EQ(c.recipient.ulReserved, 0u);
    EXPECT_EQ(c.recipient.ulRecipClass, MAPI_TO);
    EXPECT_EQ(c.name, "");
    EXPECT_EQ(c.address, "");
    EXPECT_EQ(c.recipient.ulEIDSize, 0u);
    EXPECT_EQ(c.recipient.lpEntryID, nullptr);

    EXPECT_EQ(c.file.ulReserved, 0u);
    EXPECT_EQ(c.file.flFlags, 0u);
    EXPECT_EQ(c.file.nPosition, 0xFFFFFFFFu);
    EXPECT_EQ(c.file.lpszFileName, nullptr);
    EXPECT_EQ(c.file.lpFileType, nullptr);

    // The attachment was the board, named after the minute, in a private folder.
    EXPECT_TRUE(c.fileExisted);
    EXPECT_EQ(c.picture, QSize(480, 360));
    EXPECT_EQ(fs::path(c.path).filename().string().size(), 16u);
    EXPECT_EQ(fs::path(c.path).extension(), ".jpg");
    EXPECT_EQ(fs::path(c.path).parent_path().parent_path(), fs::path(scratch.path().toStdString()));

    EXPECT_FALSE(fs::exists(c.path));
    EXPECT_TRUE(ScratchEmpty()) << "the command's folder must go with its file";
    EXPECT_EQ(MessageBeepCount(), beeps);
    EXPECT_TRUE(modals.Boxes().empty());
}

TEST_F(MailCommandTest, AnyOtherResultBeepsAndNoticesBeforeTheFileGoes)
{
    for (ULONG result : {MAPI_E_USER_ABORT, MAPI_E_FAILURE}) {
        SCOPED_TRACE(result);
        calls.clear();
        modals.Clear();
        HandOverWith(result);
        bool fileDuringNotice = false;
        modals.Answer([&](QWidget* w) {
            fileDuringNotice = !calls.empty() && fs::exists(calls.front().path);
            qobject_cast<QMessageBox*>(w)->buttons().front()->click();
        });
        const int beeps = MessageBeepCount();
        Mail();
        EXPECT_EQ(MessageBeepCount(), beeps + 1);
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const SeenBox& box = modals.Boxes().front();
        EXPECT_EQ(box.text, QString::fromUtf8(kNotice));
        EXPECT_EQ(box.title, QString::fromUtf8("モザイカ"));
        EXPECT_EQ(box.icon, QMessageBox::NoIcon);
        EXPECT_EQ(box.buttons, QStringList({"OK"}));
        EXPECT_TRUE(fileDuringNotice);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_FALSE(fs::exists(calls.front().path));
        EXPECT_TRUE(ScratchEmpty());
    }
}

TEST_F(MailCommandTest, TheStartingMinuteNamesTheFileThroughout)
{
    const std::time_t start = 1'700'000'000 - (1'700'000'000 % 60) + 59; // hh:mm:59
    std::time_t clock = start;
    SetClockForTests([&] { return clock; });
    HandOverWith(SUCCESS_SUCCESS);
    onCall = [&] { clock = start + 1; };
    Mail();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(fs::path(calls.front().path).filename().string(), Stamp(start) + ".jpg");
    EXPECT_NE(Stamp(start), Stamp(start + 1));
    EXPECT_FALSE(fs::exists(calls.front().path));
    EXPECT_TRUE(ScratchEmpty());
}

TEST_F(MailCommandTest, ATemporaryLocationThatCannotBeWrittenStopsTheCommand)
{
    const std::string locked = scratch.filePath("locked").toStdString();
    fs::create_directories(locked);
    chmod(locked.c_str(), 0555);
    for (const std::string& parent : {locked, scratch.filePath("missing").toStdString()}) {
        SCOPED_TRACE(parent);
        modals.Clear();
        TPrivateFolder::SetParentForTests(parent);
        HandOverWith(SUCCESS_SUCCESS);
        const int beeps = MessageBeepCount();
        Mail();
        EXPECT_TRUE(calls.empty());
        EXPECT_EQ(MessageBeepCount(), beeps);
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const std::string text = modals.Boxes().front().text.toStdString();
        EXPECT_EQ(text.rfind("ファイル " + parent + "/mosaica-", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - std::string(" を作成できません.").size()), " を作成できません.");
        EXPECT_EQ(modals.Boxes().front().icon, QMessageBox::Critical);
    }
    if (fs::exists(locked)) {
        EXPECT_TRUE(fs::is_empty(locked));
    }
    chmod(locked.c_str(), 0755);
}

TEST_F(MailCommandTest, AFailingWriteStopsTheCommandAndLeavesNothing)
{
    struct Row {
        FileFault fault;
        const char* ending;
    };
    const Row rows[] = {
        {FileFault::Create, " を作成できません."},
        {FileFault::Write, " に書き込めません."},
        {FileFault::Rename, " を作成できません."},
        {FileFault::Close, " に書き込めません."},
    };
    HandOverWith(SUCCESS_SUCCESS);
    const QImage before = board.Snapshot();
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.fault));
        modals.Clear();
        const int beeps = MessageBeepCount();
        ArmFileFault(row.fault);
        Mail();
        ArmFileFault(FileFault::None);
        EXPECT_TRUE(calls.empty()) << "no hand-over";
        EXPECT_EQ(MessageBeepCount(), beeps);
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const std::string text = modals.Boxes().front().text.toStdString();
        EXPECT_EQ(text.rfind("ファイル " + scratch.path().toStdString() + "/mosaica-", 0), 0u) << text;
        EXPECT_NE(text.find(".jpg" + std::string(row.ending)), std::string::npos) << text;
        EXPECT_TRUE(ScratchEmpty()) << "no file or folder is left";
        EXPECT_EQ(board.Snapshot(), before);
    }
}

// A desktop of the test's own, where a stand-in mail program records the
// address it is started with once it is registered.
class MailHandOverTest : public MailCommandTest {
protected:
    void RegisterMailer() { desktop.RegisterHandler("mailto"); }

    StandInDesktop desktop;
};

TEST_F(MailHandOverTest, TheMailProgramGetsTheSubjectAndABoardThatOutlivesTheCommand)
{
    RegisterMailer();
    const int beeps = MessageBeepCount();
    const std::string stamp = Stamp(std::time(nullptr));
    Mail();
    const QUrl mailto(desktop.WaitForAddress("mailto"));
    ASSERT_EQ(mailto.scheme(), "mailto");
    EXPECT_TRUE(mailto.path().isEmpty()) << "no address";
    const QUrlQuery query(mailto);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), QString::fromUtf8("(添付画像あり)"));
    const QString attached = query.queryItemValue("attach", QUrl::FullyDecoded);
    const QString file = attached.startsWith("file://") ? QUrl(attached).toLocalFile() : attached;
    EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QString::fromStdString(stamp.substr(0, 10))));
    EXPECT_EQ(QFileInfo(file).fileName().size(), 16);
    const std::vector<unsigned char> bytes = ReadBytes(file.toStdString());
    ASSERT_FALSE(bytes.empty()) << "the attachment must outlive the command";
    EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size()).size(), QSize(480, 360));
    EXPECT_TRUE(file.startsWith(desktop.Path("cache")));
    EXPECT_EQ(MessageBeepCount(), beeps);
    EXPECT_TRUE(modals.Boxes().empty());
    EXPECT_TRUE(ScratchEmpty());
}

TEST_F(MailHandOverTest, WithoutAMailProgramTheNoticeStaysForTheWholeRun)
{
    ResetMapiLoaderForTests();
    const int beeps = MessageBeepCount();
    Mail();
    ASSERT_EQ(modals.Boxes().size(), 1u);
    EXPECT_EQ(modals.Boxes().front().text, QString::fromUtf8(kNotice));
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_TRUE(ScratchEmpty());

    // A mail program registered later does not help until the next start.
    RegisterMailer();
    Mail();
    EXPECT_EQ(modals.Boxes().size(), 2u);
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    EXPECT_FALSE(QFile::exists(desktop.Recorded("mailto")));
}

} // namespace
