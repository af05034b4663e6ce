// Text from outside: cut by whole UTF-8 characters, control characters found
// and shown in caret notation.
#include "console/visible_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(VisibleText, ControlCharactersInCaretNotationAndTheTabAsItIs) {
    EXPECT_EQ(VisibleText("a\x01\x1b[31m\tb\x7f\x1f\r\n"), "a^A^[[31m\tb^?^_^M^J");
    EXPECT_EQ(VisibleText(std::string("x\0y", 3)), "x^@y");
    EXPECT_EQ(VisibleText("Größe é"), "Größe é");  // other bytes untouched
}

// Room for 5 characters: the pair of a control character is never split.
TEST(VisibleText, CopyCutsToTheBufferAndKeepsPairsWhole) {
    char buffer[6];
    CopyVisibleText("ab\x1b" "cd", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "ab^[c");
    CopyVisibleText("abcd\x07", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "abcd");
    CopyVisibleText("", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
}

TEST(VisibleText, ControlCharactersAreBelow32ButTheTabAndDel) {
    EXPECT_EQ(FirstControlCharacter("a\tb c\x7f"), 5u);
    EXPECT_EQ(FirstControlCharacter("Zoë\t~"), std::string::npos);
    EXPECT_TRUE(HasControlCharacter(std::string("\0", 1)));
    EXPECT_FALSE(IsControlCharacter('\t'));
    EXPECT_TRUE(IsControlCharacter('\x1a'));
}

// "é" is two bytes: 69 "a" and two "é" are 73 bytes, of which a cut at 70
// bytes would split the second "é".
TEST(VisibleText, TitlesEndAtAControlCharacterAndKeepSeventyWholeCharacters) {
    std::string title = std::string(69, 'a') + "éé";
    EXPECT_EQ(CutTitle(title), std::string(69, 'a') + "é");
    EXPECT_EQ(CutTitle(std::string(70, 'a') + "b"), std::string(70, 'a'));
    EXPECT_EQ(CutTitle("éèê"), "éèê");
    EXPECT_EQ(CutTitle("Run\x1b[2J one"), "Run");
    EXPECT_EQ(CutTitle("Tab\tkept"), "Tab\tkept");
    EXPECT_EQ(CharacterCount("Größe"), 5);
    EXPECT_EQ(FirstCharacters("Größe", 3), "Grö");
}
