// Conversion of the system's code page 932 text, NEC rows included, and what
// becomes of characters the other side lacks.
#include "Cp932.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp932Test, ConvertsBothWaysThroughTheCodePageTables)
{
    struct Row {
        const char* utf8;
        const char* cp932;
    };
    const Row rows[] = {
        {"①⑨", "\x87\x40\x87\x48"},   // NEC row 13, not plain Shift_JIS
        {"ＡＩ", "\x82\x60\x82\x68"}, // full-width letters
        {"ソ表", "\x83\x5C\x95\x5C"}, // second bytes equal to a backslash
        {"｢ｶ｣", "\xA2\xB6\xA3"},      // half-width forms are single bytes
        {"(添付画像あり)", "(\x93\x59\x95\x74\x89\xE6\x91\x9C\x82\xA0\x82\xE8)"},
        {"plain ascii", "plain ascii"},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.utf8);
        EXPECT_EQ(Utf8ToCp932(row.utf8), row.cp932);
        EXPECT_EQ(Cp932ToUtf8(row.cp932), row.utf8);
    }
}

TEST(Cp932Test, WhatTheOtherSideLacksBecomesOneQuestionMarkEach)
{
    EXPECT_EQ(Utf8ToCp932("café 𠮷!"), "caf? ?!");
    EXPECT_EQ(Cp932ToUtf8("a\x85\x40"
                          "b"),
              "a?b");                      // an unassigned double-byte code
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a?"); // a lead byte cut off at the end
}

TEST(Cp932Test, LeadBytes)
{
    EXPECT_TRUE(IsCp932LeadByte(0x81));
    EXPECT_TRUE(IsCp932LeadByte(0x9F));
    EXPECT_TRUE(IsCp932LeadByte(0xE0));
    EXPECT_TRUE(IsCp932LeadByte(0xFC));
    EXPECT_FALSE(IsCp932LeadByte(0x5C));
    EXPECT_FALSE(IsCp932LeadByte(0xA2)); // half-width katakana stand alone
    EXPECT_FALSE(IsCp932LeadByte(0x80));
}

} // namespace
