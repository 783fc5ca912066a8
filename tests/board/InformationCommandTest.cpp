// The information page: its address, named after the running program, and
// the hand-over to the desktop's browser through the real xdg-open.
#include "BoardDriver.h"
#include "Cp932.h"
#include "InformationAddress.h"
#include "MainWindow1.h"
#include "Modals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string Address(const std::string& name)
{
    return std::string("http://") + kInformationHost + "/info.php?pf=w&sn=" + name;
}

TEST(InformationAddressTest, NameOfTheProgramWithoutFolderAndLastExtension)
{
    struct Row {
        const char* path; // UTF-8 here, code page 932 in the program
        const char* name;
    };
    const Row rows[] = {
        {"/usr/bin/Board", "Board"},
        {"/opt/x/Board.exe", "Board"},
        {"/opt/x/my.board.final.exe", "my.board.final"},
        {"/opt/x/.exe", ""},
        {"/opt/tools.old/Board", "Board"},
        {"/opt/x/my board & co.bin", "my board & co"},
        {"/opt/写真/モザイカ.bin", "モザイカ"},
        {"/opt/x/ソ表.exe", "ソ表"},
        {"Board", "Board"},
        {"/opt/x/", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(InformationAddress(Cp932(row.path)), Cp932(Address(row.name).c_str()));
    }
    // ソ is 83 5C: its second byte is never taken for a separator.
    EXPECT_EQ(Cp932("ソ"), "\x83\x5C");
}

// A desktop of the test's own, whose http handler records the address it got.
class BrowserHandOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        QDir root(home.path());
        root.mkpath("config");
        root.mkpath("data/applications");
        recorded = home.filePath("address.txt");
        const QString recorder = home.filePath("recorder.sh");
        Write(recorder, "#!/bin/sh\nprintf '%s' \"$1\" > '" + recorded + "'\n");
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Write(home.filePath("data/applications/recorder.desktop"),
              "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder +
                  " %u\nMimeType=x-scheme-handler/http;\n");
        Write(home.filePath("config/mimeapps.list"),
              "[Default Applications]\nx-scheme-handler/http=recorder.desktop\n");
        Keep("XDG_CONFIG_HOME", home.filePath("config"));
        Keep("XDG_DATA_HOME", home.filePath("data"));
        Keep("XDG_DATA_DIRS", home.filePath("data"));
        Keep("XDG_CURRENT_DESKTOP", QString());
        Keep("DE", QString());
        Keep("BROWSER", QString());
        // xdg-open asks the desktop's handlers only where there is a display.
        Keep("DISPLAY", QStringLiteral(":99"));
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value.isNull())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.toUtf8().constData(), 1);
        }
    }
    static void Write(const QString& path, const QString& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    void Keep(const std::string& name, const QString& value)
    {
        const char* old = getenv(name.c_str());
        saved.emplace_back(name, old ? QString::fromUtf8(old) : QString());
        if (value.isEmpty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.toUtf8().constData(), 1);
    }
    QString WaitForAddress()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            QFile f(recorded);
            if (f.exists() && f.open(QIODevice::ReadOnly)) {
                const QByteArray text = f.readAll();
                if (!text.isEmpty())
                    return QString::fromUtf8(text);
            }
            QThread::msleep(50);
        }
        return QString();
    }

    QTemporaryDir home;
    QString recorded;
    std::vector<std::pair<std::string, QString>> saved;
};

TEST_F(BrowserHandOverTest, TheDefaultBrowserReceivesTheAddress)
{
    ModalWatcher modals;
    BoardDriver board;
    board.Form().N4Click(nullptr);
    EXPECT_EQ(WaitForAddress().toStdString(), Address("mosaica_tests"));
    EXPECT_TRUE(modals.Boxes().empty());
}

} // namespace
