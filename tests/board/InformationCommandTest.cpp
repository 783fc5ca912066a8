// The information page: its address, named after the running program, and
// the hand-over to the desktop's browser through the real xdg-open.
#include "BoardDriver.h"
#include "Cp932.h"
#include "InformationAddress.h"
#include "MainWindow1.h"
#include "Modals.h"
#include "StandInDesktop.h"

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
    void SetUp() override { desktop.RegisterHandler("http"); }

    StandInDesktop desktop;
};

TEST_F(BrowserHandOverTest, TheDefaultBrowserReceivesTheAddress)
{
    ModalWatcher modals;
    BoardDriver board;
    board.Form().N4Click(nullptr);
    EXPECT_EQ(desktop.WaitForAddress("http").toStdString(), Address("mosaica_tests"));
    EXPECT_TRUE(modals.Boxes().empty());
}

} // namespace
