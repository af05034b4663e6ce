// The picture of a network too large for a shape per cell: blocks to scale,
// with their densities counted from the ties.
#include "results/block_density_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "results/blockmodel_picture.h"
#include "support/test_support.h"

static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The rectangle of block (r, c), whose tooltip starts with "block r, c:".
struct Box {
    double X = 0, Y = 0, Width = 0, Height = 0;
};
static Box BlockBox(const std::string& svg, const std::string& block) {
    Box box;
    size_t title = svg.find("<title>block " + block + ":");
    if (title == std::string::npos) return box;
    size_t rect = svg.rfind("<rect ", title);
    std::sscanf(svg.c_str() + rect, "<rect x=\"%lf\" y=\"%lf\" width=\"%lf\" height=\"%lf\"", &box.X, &box.Y,
                &box.Width, &box.Height);
    return box;
}

static void ExpectRendered(const std::string& svg) {
    ASSERT_EQ(std::system("command -v rsvg-convert >/dev/null"), 0)
        << "rsvg-convert is missing: install the Debian package librsvg2-bin";
    TempFolder folder;
    folder.Write("p.svg", svg);
    std::string command = "cd '" + folder.Path + "' && rsvg-convert -f png -o p.png p.svg";
    EXPECT_EQ(std::system(command.c_str()), 0) << "the renderer refused the picture";
    EXPECT_EQ(folder.Read("p.png").substr(1, 3), "PNG");
}

// 300 x 260 units. Rows 1-100, 101-250, 251-300 and columns 1-60, 61-260:
// block (1, 1) is complete (6000 ties), block (2, 2) has a tie where i + j is
// a multiple of 4 (50 a row, 7500 of 30000 cells), block (3, 1) has the one
// tie (300, 1) in 3000 cells, the others none.
TEST(BlockDensityPicture, BlocksToScaleWithTheirDensitiesAndNoShapePerCell) {
    ResetState();
    std::vector<std::string> rows(300, std::string(260, '0'));
    std::vector<int> rowClusters(300), colClusters(260);
    for (int i = 1; i <= 300; ++i) {
        rowClusters[i - 1] = i <= 100 ? 1 : i <= 250 ? 2 : 3;
        for (int j = 1; j <= 260; ++j) {
            bool tie = (i <= 100 && j <= 60) || (i > 100 && i <= 250 && j > 60 && (i + j) % 4 == 0);
            if (tie) rows[i - 1][j - 1] = '1';
        }
    }
    rows[299][0] = '1';
    for (int j = 1; j <= 260; ++j) colClusters[j - 1] = j <= 60 ? 1 : 2;
    UseBinaryNetwork(rows);
    UsePartitions(rowClusters, colClusters);
    TitleText = "Large";
    CurrentError = 7501;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c) BlockTypeMatrix[r][c] = NullType, ErrorMatrix[r][c] = 0;
    BlockTypeMatrix[1][1] = CompleteType;
    ErrorMatrix[2][2] = 7500;
    ErrorMatrix[3][1] = 1;

    std::string svg;
    BuildBlockmodelPicture(svg);
    EXPECT_EQ(svg.compare(0, 5, "<?xml"), 0);
    EXPECT_NE(svg.find("Total error = 7501.000 (3 x 2 clusters)"), std::string::npos);
    EXPECT_NE(svg.find("<title>block 1, 1: complete, error 0, 6000 ties in 6000 cells</title>"), std::string::npos);
    EXPECT_NE(svg.find("<title>block 2, 2: null, error 7500, 7500 ties in 30000 cells</title>"), std::string::npos);
    EXPECT_NE(svg.find("<title>block 3, 1: null, error 1, 1 ties in 3000 cells</title>"), std::string::npos);
    EXPECT_NE(svg.find("<title>block 3, 2: null, error 0, 0 ties in 10000 cells</title>"), std::string::npos);
    EXPECT_NE(svg.find(">0.250</tspan>"), std::string::npos);
    EXPECT_NE(svg.find(">1.000</tspan>"), std::string::npos);
    EXPECT_NE(svg.find(">&lt;0.001</tspan>"), std::string::npos);  // block (3, 1)
    EXPECT_NE(svg.find(">2 (150)</text>"), std::string::npos);  // row cluster 2 on the margin
    EXPECT_NE(svg.find(">2 (200)</text>"), std::string::npos);  // column cluster 2
    EXPECT_EQ(svg.find(">u1<"), std::string::npos);  // no unit's name
    // Ground, frame, six blocks, the bars of the three blocks with ties and
    // the legend's squares of the two types shown.
    EXPECT_EQ(Count(svg, "<rect "), 2 + 6 + 3 + 2);
    EXPECT_NE(svg.find(">null (-)</text>"), std::string::npos);
    EXPECT_NE(svg.find(">complete (com)</text>"), std::string::npos);

    // Rows take 1000 pixels, columns 260 / 300 of them; each cluster 4 and
    // its share of the rest by its units.
    Box frame = BlockBox(svg, "1, 1"), middle = BlockBox(svg, "2, 2"), last = BlockBox(svg, "3, 2");
    EXPECT_EQ(middle.Height, 4 + 494);  // 150 / 300 of 1000 - 3 x 4
    EXPECT_EQ(middle.Width, 4 + 660);   // 200 / 260 of 866 - 2 x 4
    EXPECT_EQ(last.Y + last.Height - frame.Y, 1000);
    EXPECT_EQ(last.X + last.Width - frame.X, 866);
    EXPECT_EQ(middle.X, last.X);
    // One density bar a block with ties.
    size_t bars = svg.find("<g fill=\"#404040\">\n"), barsEnd = svg.find("</g>", bars);
    ASSERT_NE(bars, std::string::npos);
    EXPECT_EQ(Count(svg.substr(bars, barsEnd - bars), "<rect "), 3);
    ExpectRendered(svg);

    // 75 x 75 clusters of three or four units: the most blocks a picture
    // has, still one shape or two each and far from a shape per cell.
    for (int i = 0; i < 300; ++i) rowClusters[i] = i % 75 + 1;
    for (int j = 0; j < 260; ++j) colClusters[j] = j % 75 + 1;
    UsePartitions(rowClusters, colClusters);
    for (int r = 1; r <= 75; ++r)
        for (int c = 1; c <= 75; ++c) BlockTypeMatrix[r][c] = r == c ? CompleteType : NullType;
    svg.clear();
    BuildBlockmodelPicture(svg);
    EXPECT_LE(Count(svg, "<rect "), 2 + 2 * 75 * 75 + 2);
    EXPECT_EQ(Count(svg, "<title>block "), 75 * 75);
    EXPECT_LT(svg.size(), 1500000u);
    EXPECT_NE(svg.find("<title>block 75, 75: complete, error 0, "), std::string::npos);
    ExpectRendered(svg);
}
