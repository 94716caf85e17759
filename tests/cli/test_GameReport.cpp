#include "cli/GameReport.h"

#include <gtest/gtest.h>

using cli::jsonString;

TEST(JsonString, EscapesWhatJsonMustAndPassesUtf8)
{
    EXPECT_EQ(jsonString(""), "\"\"");
    EXPECT_EQ(jsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(jsonString("line\nfeed\ttab\rret"), "\"line\\nfeed\\ttab\\rret\"");
    EXPECT_EQ(jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(jsonString(std::string("nul\0end", 7)), "\"nul\\u0000end\"");
    // Japanese, a spaced name and a character of four bytes unchanged.
    EXPECT_EQ(jsonString("キャラ Night Sky1.png"), "\"キャラ Night Sky1.png\"");
    EXPECT_EQ(jsonString("\xf0\x9f\x98\x80"), "\"\xf0\x9f\x98\x80\"");
    EXPECT_EQ(jsonString("\xc2\xa0\xef\xbf\xbd"), "\"\xc2\xa0\xef\xbf\xbd\"");
}

TEST(JsonString, BytesOfNoCharacterBecomeReplacementCharacters)
{
    // A Shift_JIS name read as bytes: 0x83 0x4C is no UTF-8.
    EXPECT_EQ(jsonString("\x83\x4c.png"), "\"\\ufffdL.png\"");
    EXPECT_EQ(jsonString("\xff"), "\"\\ufffd\"");
    // Cut short at the end, and a lead byte followed by no continuation.
    EXPECT_EQ(jsonString("a\xe3\x82"), "\"a\\ufffd\\ufffd\"");
    EXPECT_EQ(jsonString("\xe3" "a"), "\"\\ufffda\"");
    // Overlong forms, a UTF-16 surrogate and a value past U+10FFFF.
    EXPECT_EQ(jsonString("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(jsonString("\xe0\x80\xaf"), "\"\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(jsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(jsonString("\xf4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
}
