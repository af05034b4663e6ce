// Page breaks of the listing, counted exactly as announced.
#include "console/listing_pages.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

static const char* const PageOneHeader =
    "\f***  O R V E N  - Network analysis -  KORVEL                      Page -    1\r\n";

TEST(NewLines, FirstCallOpensPageOne) {
    ResetState();
    CaptureListing();
    Title = "ten chars!";
    NewLines(100);
    EXPECT_EQ(LineOnPage, 0);
    EXPECT_EQ(PageNumber, 1);
    // The title is followed by 52 blanks to fill 62, then 17 more.
    EXPECT_EQ(ListingText(),
              std::string(PageOneHeader) + "ten chars!" + std::string(52 + 17, ' ') + "\r\n\r\n\r\n");
}

TEST(NewLines, BreaksWhenTheAnnouncedLinesOverflow) {
    ResetState();
    CaptureListing();
    PageNumber = 1;
    LineOnPage = 60;
    NewLines(1);
    EXPECT_EQ(PageNumber, 2);
    EXPECT_EQ(LineOnPage, 1);

    LineOnPage = 59;
    NewLines(1);
    EXPECT_EQ(PageNumber, 2);  // exactly full is still the same page
    EXPECT_EQ(LineOnPage, 60);
}

TEST(NewLines, NegativeCountKeepsLinesTogether) {
    ResetState();
    CaptureListing();
    PageNumber = 1;
    LineOnPage = 55;
    NewLines(-5);
    EXPECT_EQ(PageNumber, 1);
    EXPECT_EQ(LineOnPage, 55);
    LineOnPage = 56;
    NewLines(-5);
    EXPECT_EQ(PageNumber, 2);
    EXPECT_EQ(LineOnPage, 0);
}

TEST(NewLines, HeaderCutsLongTitlesAndShowsTheRunLabel) {
    ResetState();
    CaptureListing();
    Title = std::string(65, 'x');
    RunLabel = "RANDOM     ";
    PageNumber = 6;
    LineOnPage = 60;
    NewLines(1);
    EXPECT_EQ(ListingText(),
              "\f***  O R V E N  - Network analysis -  KORVEL RANDOM               Page -    7\r\n" +
                  std::string(60, 'x') + std::string(2 + 17, ' ') + "\r\n\r\n\r\n");
}

// "é" is one character of two bytes: 63 of them are cut to 60, not to 30.
TEST(NewLines, HeaderCountsTheTitleInCharacters) {
    ResetState();
    CaptureListing();
    std::string sixty;
    for (int k = 0; k < 60; ++k) sixty += "é";
    Title = sixty + "éèê";
    NewLines(100);
    EXPECT_EQ(ListingText(), std::string(PageOneHeader) + sixty + std::string(2 + 17, ' ') + "\r\n\r\n\r\n");
}
