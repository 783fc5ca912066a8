// The application's default exception display: caption, icon, one button,
// and a "." added where the message's last character sorts above ".".
#include "Cp932.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Modals.h"

#include <QMessageBox>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

TEST(ExceptionDisplayTest, DotRuleCaptionIconAndButton)
{
    struct Row {
        const char* message;
        const char* shown;
    };
    const Row rows[] = {
        {"", ""},
        {"abc", "abc."},
        {"abc.", "abc."},
        {"ends!", "ends!"},
        {"(x)", "(x)"},
        {"42", "42."},
        {"ファイル a は開けません", "ファイル a は開けません."},
    };
    ModalWatcher modals;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        modals.Clear();
        const Exception e(Utf8ToCp932(row.message));
        Application->ShowException(&e);
        ASSERT_EQ(modals.Boxes().size(), 1u);
        const SeenBox& box = modals.Boxes().front();
        EXPECT_EQ(box.text.toStdString(), row.shown);
        EXPECT_EQ(box.title, QString::fromUtf8("モザイカ"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons.size(), 1);
    }
}

TEST(ExceptionDisplayTest, ExceptionsOfOtherKindsShowAnEmptyMessage)
{
    ModalWatcher modals;
    Application->HandleException(std::make_exception_ptr(std::runtime_error("not ours")));
    Application->HandleException(std::make_exception_ptr(42));
    ASSERT_EQ(modals.Boxes().size(), 2u);
    for (const SeenBox& box : modals.Boxes()) {
        EXPECT_EQ(box.text, QString());
        EXPECT_EQ(box.title, QString::fromUtf8("モザイカ"));
    }
}

} // namespace
