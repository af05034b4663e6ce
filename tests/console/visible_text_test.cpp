// Text from outside: cut by whole UTF-8 characters, control characters found
// and shown in caret notation.
#include "console/visible_text.h"

#include <gtest/gtest.h>

#include <string>

// The copy has room for 5 characters: the pair of a control character is never split.
TEST(VisibleText, ControlCharactersInCaretNotationAndTheTabAsItIs) {
    EXPECT_EQ(VisibleText("a\x01\x1b[31m\tb\x7f\x1f\r\n"), "a^A^[[31m\tb^?^_^M^J");
    EXPECT_EQ(VisibleText(std::string("Größe\0", 8)), "Größe^@");  // other bytes untouched
    char buffer[6];
    CopyVisibleText("abcd\x07", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "abcd");
}

// "é" is two bytes: 69 "a" and two "é" are 73 bytes, of which a cut at 70
// bytes would split the second "é".
TEST(VisibleText, TitlesEndAtAControlCharacterAndKeepSeventyWholeCharacters) {
    std::string title = std::string(69, 'a') + "éé";
    EXPECT_EQ(CutTitle(title), std::string(69, 'a') + "é");
    EXPECT_EQ(CutTitle("Run\x1b[2J one"), "Run");
    EXPECT_EQ(CutTitle("Tab\tkept"), "Tab\tkept");
}
