// Reading input files: line ends of every platform read alike, Ctrl-Z ends a
// file, and a number is a signed decimal integer of 32 bits or an error.
#include "console/text_input.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(TextInput, EveryLineEndReadsAsOneCarriageReturn) {
    TextFile file;
    UseTextFile(file, "a\r\nb\rc\nd");
    EXPECT_EQ(ReadChar(file), 'a');
    EXPECT_EQ(ReadChar(file), '\r');
    EXPECT_EQ(ReadChar(file), 'b');
    EXPECT_EQ(ReadChar(file), '\r');
    EXPECT_EQ(ReadChar(file), 'c');
    EXPECT_EQ(ReadChar(file), '\r');
    EXPECT_EQ(PeekChar(file), 'd');
    EXPECT_EQ(ReadChar(file), 'd');
    EXPECT_TRUE(AtEnd(file));
    EXPECT_EQ(ReadChar(file), -1);
    CloseTextFile(file);
}

TEST(TextInput, CtrlZEndsTheFileForGood) {
    TextFile file;
    UseTextFile(file, "12\x1a" "34\r\n");
    int32_t value = -1;
    char token[TokenSize];
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(AtEnd(file));
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, 0);  // past the end a number reads as 0
    CloseTextFile(file);
}

TEST(TextInput, ReadIntSkipsBlanksTabsAndLineEndsOnly) {
    TextFile file;
    UseTextFile(file, " \t\r\n-7\n+8x 2147483648 -2147483648 12\x01");
    int32_t value = 0;
    char token[TokenSize];
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(ReadInt(file, value, token));
    EXPECT_STREQ(token, "+8x");
    EXPECT_FALSE(ReadInt(file, value, token));
    EXPECT_STREQ(token, "2147483648");
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, 12);
    // A control character is not skipped: the token before it is empty.
    EXPECT_FALSE(ReadInt(file, value, token));
    EXPECT_STREQ(token, "");
    CloseTextFile(file);
}

TEST(TextInput, LongTokensAreCutForTheMessageAndRefused) {
    TextFile file;
    UseTextFile(file, std::string(1000, '1') + " 5");
    int32_t value = 0;
    char token[TokenSize];
    EXPECT_FALSE(ReadInt(file, value, token));
    EXPECT_EQ(std::string(token), std::string(TokenSize - 1, '1'));
    EXPECT_TRUE(ReadInt(file, value, token));
    EXPECT_EQ(value, 5);
    CloseTextFile(file);
}

TEST(TextInput, ReadLineTextKeepsAtMostTheGivenLength) {
    TextFile file;
    UseTextFile(file, "abcdef\r\nxy");
    EXPECT_EQ(ReadLineText(file, 3), "abc");
    EXPECT_EQ(ReadLineText(file, 3), "xy");
    EXPECT_EQ(ReadLineText(file, 3), "");
    CloseTextFile(file);
}
