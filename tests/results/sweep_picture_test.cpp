// The sweep picture's error axis for errors that are not whole numbers, and a
// pair that has no result yet.
#include "results/sweep_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"

// The y of the circle whose title starts with the pair's counts.
static double PointY(const std::string& svg, const std::string& pair) {
    size_t title = svg.find("<title>" + pair + " clusters:");
    if (title == std::string::npos) return -1;
    double x, y;
    std::sscanf(svg.c_str() + svg.rfind("<circle ", title), "<circle cx=\"%lf\" cy=\"%lf\"", &x, &y);
    return y;
}

// Two row clusters, columns swept over 2..4 with weighted errors 0.5 and
// 1.25; 2 x 4 not reported. Steps of 0.5 from 0 reach 1.25 at 1.5.
TEST(SweepPicture, ErrorAxisFromZeroInNiceStepsWithTheirDecimals) {
    ResetState();
    Sweep = true;
    SweepFirst[ColSide] = 2;
    SweepLast[ColSide] = 4;
    SweepError[2][2] = 0.5;
    SweepError[2][3] = 1.25;
    SeriesRepetitions = 10;
    std::string svg;
    BuildSweepPicture(svg);
    for (const char* tick : {">0.0</text>", ">0.5</text>", ">1.0</text>", ">1.5</text>"})
        EXPECT_NE(svg.find(tick), std::string::npos) << tick;
    EXPECT_EQ(svg.find(">2.0</text>"), std::string::npos);
    EXPECT_NE(svg.find(">4</text>"), std::string::npos);  // the x axis spans the range asked
    EXPECT_EQ(svg.find("2 x 4 clusters"), std::string::npos);
    EXPECT_NE(svg.find("<title>2 x 3 clusters: best error 1.250</title>"), std::string::npos);
    EXPECT_NE(svg.find(">2 row clusters</text>"), std::string::npos);
    // The grid lines stand at the ticks, 0 first; each point at its error between them.
    std::vector<double> grid;
    for (size_t at = svg.find("stroke=\"#e4e4e4\""); at != std::string::npos;
         at = svg.find("stroke=\"#e4e4e4\"", at + 1)) {
        double x, y;
        std::sscanf(svg.c_str() + svg.rfind("<line ", at), "<line x1=\"%lf\" y1=\"%lf\"", &x, &y);
        grid.push_back(y);
    }
    ASSERT_EQ(grid.size(), 4u);
    double foot = grid.front(), top = grid.back();
    EXPECT_NEAR(PointY(svg, "2 x 2"), foot + (top - foot) * 0.5 / 1.5, 0.1);
    EXPECT_NEAR(PointY(svg, "2 x 3"), foot + (top - foot) * 1.25 / 1.5, 0.1);
}
