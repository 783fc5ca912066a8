// The mail provider's hand-over rule, with stand-ins for xdg-email and
// xdg-mime on the PATH: an xdg-email that fails at once is not a hand-over,
// one still running after a few seconds has its compose window up and is;
// meanwhile the windows paint but take no input.
#include "BoardDriver.h"
#include "MainWindow1.h"
#include "Mapi.h"
#include "Modals.h"
#include "StandInDesktop.h"

#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class MailProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        desktop.Environment().Set("PATH", desktop.Path("bin") + ":" + QString::fromUtf8(path ? path : ""));
        Script("xdg-mime", "echo mailer.desktop");
        ResetMapiLoaderForTests();
        StandInDesktop::Write(desktop.Path("202401010000.jpg"), "jpeg");
    }
    void TearDown() override { ResetMapiLoaderForTests(); }
    void Script(const QString& name, const QString& body) { desktop.Script(name, body); }
    ULONG Send()
    {
        std::string subject = "subject", empty, path = desktop.Path("202401010000.jpg").toStdString();
        MapiFileDesc file{0, 0, 0xFFFFFFFF, path.data(), nullptr, nullptr};
        MapiRecipDesc to{0, MAPI_TO, empty.data(), empty.data(), 0, nullptr};
        MapiMessage message{0, subject.data(), empty.data(), nullptr, nullptr, nullptr, 0, nullptr, 1, &to,
                            1, &file};
        return MAPISendMail(0, 0, &message, MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG, 0);
    }

    StandInDesktop desktop;
};

TEST_F(MailProviderTest, AnXdgEmailThatFailsAtOnceIsNoHandOver)
{
    Script("xdg-email", "exit 3");
    EXPECT_NE(Send(), SUCCESS_SUCCESS);
}

TEST_F(MailProviderTest, AnXdgEmailThatSucceedsIsAHandOver)
{
    Script("xdg-email", "exit 0");
    EXPECT_EQ(Send(), SUCCESS_SUCCESS);
}

TEST_F(MailProviderTest, AnXdgEmailStillRunningHasHandedOverAndTheBoardTookNoInput)
{
    Script("xdg-email", "exec sleep 8");
    BoardDriver board;
    bool enabledDuringWait = true;
    QTimer::singleShot(1000, [&] { enabledDuringWait = board.Form().Widget()->isEnabled(); });
    EXPECT_EQ(Send(), SUCCESS_SUCCESS);
    EXPECT_FALSE(enabledDuringWait);
    EXPECT_TRUE(board.Form().Widget()->isEnabled());
}

TEST_F(MailProviderTest, NoMailProgramForMailtoMeansNoSimpleMapi)
{
    Script("xdg-mime", "exit 0");
    Script("xdg-email", "touch '" + desktop.Path("ran") + "'");
    EXPECT_EQ(Send(), MAPI_E_USER_ABORT);
    EXPECT_FALSE(QFile::exists(desktop.Path("ran")));
}

} // namespace
