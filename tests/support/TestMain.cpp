// Runs the tests inside the application object, headless unless a display
// has been chosen for them.
#include "Forms.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    Application->SetTitle("\x83\x82\x83\x55\x83\x43\x83\x4A"); // the program's title in code page 932
    return RUN_ALL_TESTS();
}
