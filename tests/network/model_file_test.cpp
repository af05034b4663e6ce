// The model definition file: block lines, groups of blocks, constraints, and
// the echo in the listing.
#include "network/model_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "support/test_support.h"

static std::string Read(const std::string& content) {
    ResetState();
    CaptureListing();
    UseTextFile(ModelFile, content);
    ListLevel = 1;
    ReadModel();
    return ListingText();
}

static const uint16_t Null = 1u << NullType;
static const uint16_t Complete = 1u << CompleteType;
static const uint16_t Regular = 1u << RegularType;

TEST(ReadModel, EmptyFileIsTheDefaultModel) {
    std::string listing = Read("");
    EXPECT_EQ(ModelRows, 75);
    EXPECT_EQ(ModelCols, 75);
    EXPECT_EQ(ModelMatrix[75][75], Null | Complete | Regular);
    EXPECT_EQ(PenaltyMatrix[1][75], 1);
    std::string modelRow, penaltyRow;
    for (int c = 1; c <= 75; ++c) modelRow += " 25600";
    for (int c = 1; c <= 75; ++c) penaltyRow += "    1";
    std::string expected = "\r\nBlock model matrix\r\n\r\n";
    for (int r = 1; r <= 75; ++r) expected += modelRow + "\r\n";
    expected += "\r\n\r\n\r\nBlock penalty matrix\r\n\r\n";
    for (int r = 1; r <= 75; ++r) expected += penaltyRow + "\r\n";
    expected += "\r\n\r\n";
    EXPECT_EQ(listing, expected);
}

TEST(ReadModel, SizeLineAloneGivesNullBlocks) {
    std::string listing = Read("model\r\n3 2\r\n");
    EXPECT_EQ(ModelRows, 3);
    EXPECT_EQ(ModelCols, 2);
    EXPECT_EQ(listing,
              "\r\nModel matrix definition\r\n\r\nMaxModel rows =   3 cols =   2\r\n\r\n"
              "\r\nBlock model matrix\r\n\r\n 16384 16384\r\n 16384 16384\r\n 16384 16384\r\n"
              "\r\n\r\n\r\nBlock penalty matrix\r\n\r\n    1    1\r\n    1    1\r\n    1    1\r\n\r\n\r\n");
}

TEST(ReadModel, LaterLinesReplaceTheSetsOfEarlierOnes) {
    std::string listing = Read("m\n2 2\n 0 3 1 1 4\n 1 1 2 0\n");
    EXPECT_EQ(ModelMatrix[1][1], Null);
    EXPECT_EQ(PenaltyMatrix[1][1], 2);
    EXPECT_EQ(ModelMatrix[1][2], Complete | Regular);
    EXPECT_EQ(ModelMatrix[2][1], Complete | Regular);
    EXPECT_NE(listing.find("    0    3      1  1  4\r\n    1    1      2  0\r\n"), std::string::npos);
}

TEST(ReadModel, GroupsOfBlocks) {
    Read("m\n3 3\n 0 0 1 1\n 0 1 1 4\n 0 2 1 9\n 0 4 1 10\n");
    EXPECT_EQ(ModelMatrix[2][2], Complete);
    EXPECT_EQ(ModelMatrix[1][3], Regular);
    EXPECT_EQ(ModelMatrix[3][1], 1u << DensityType);
    EXPECT_EQ(ModelMatrix[2][1], 1u << DensityType);
}

static const char* const Environment =
    "title\r\n*.RAW\r\nnet.net\r\n*.NAM\r\n*.VAR\r\nout.lst\r\npart.zep\r\nmodel.mdl\r\n"
    "*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";

// Whole runs: banner, parameters, three files, title, constant weights; then
// the run answers given.
static std::string RunWithModel(const std::string& network, const std::string& model,
                                const std::string& partitions, const std::string& runAnswers) {
    TempFolder folder;
    folder.Write("Tebra.ENV", Environment);
    folder.Write("net.net", network);
    folder.Write("model.mdl", model);
    folder.Write("part.zep", partitions);
    RunResult run = RunKorvel(folder, "\nn\n\n\n\n\n1\n1\n0\n-1\n" + runAnswers);
    EXPECT_EQ(run.ExitCode, 0);
    return folder.Read("out.lst");
}

// A wide model: the group above the diagonal ends at the last but one row.
TEST(ReadModel, GroupsRunAlongTheRowsOfAWideModel) {
    std::string listing = RunWithModel("*Vertices 5 2\r\n*Matrix\r\n1 0 1\r\n0 1 1\r\n",
                                       "wide\r\n2 3\r\n 0 0 1 4\r\n 0 1 2 1\r\n 0 2 3 9\r\n", "", "0\n\n");
    EXPECT_NE(listing.find("\r\nBlock model matrix\r\n\r\n  1024  8192  8192\r\n    32  1024 16384\r\n"
                           "\r\n\r\n\r\nBlock penalty matrix\r\n\r\n    1    2    2\r\n    3    1    1\r\n"),
              std::string::npos);
}

// A tall model read with more column clusters than it has columns: blocks
// (3, 3) and (4, 3) get their types from the diagonal and below-diagonal
// groups, so the start costs only the one tie of the null block (4, 3).
TEST(ReadModel, TallModelGroupsReachPastItsColumns) {
    std::string listing =
        RunWithModel("*Vertices 7 4\r\n*Matrix\r\n1 0 0\r\n0 1 0\r\n0 0 1\r\n0 0 1\r\n",
                     "tall\r\n4 2\r\n 0 0 1 1\r\n 0 2 1 0\r\n 1 2 1 0\r\n 1 3 1 0\r\n 2 3 1 0\r\n",
                     "*partition  one unit each\r\n*vertices    7    4    3\r\n"
                     "   1\r\n   2\r\n   3\r\n   4\r\n   5\r\n   6\r\n   7\r\n",
                     "1\n\n1\n\n\n\n0\n\n");
    EXPECT_NE(listing.find("NumRows = 4   NumCols = 3\r\n    1. initial error =       1.000\r\n"),
              std::string::npos);
}

TEST(ReadModel, CodesAreTakenModulo256AndBadBlocksIgnored) {
    std::string listing = Read("m\n2 2\n 1 2 1 17 257\n 76 1 1 1\n -1 1 1 1\n 0 9 1 1\n");
    EXPECT_EQ(ModelMatrix[1][2], Complete);
    EXPECT_EQ(ModelMatrix[1][1], Null);
    EXPECT_EQ(ModelMatrix[2][1], Null);
    EXPECT_NE(listing.find("    1    2      1 17257\r\n"), std::string::npos);
    EXPECT_NE(listing.find("   76    1      1  1\r\n"), std::string::npos);
}

TEST(ReadModel, ModelSizesOutsideTheLimitsBecome75) {
    Read("m\n80 1\n");
    EXPECT_EQ(ModelRows, 75);
    EXPECT_EQ(ModelCols, 75);
    Read("m\n");
    EXPECT_EQ(ModelRows, 75);
}

TEST(ReadModel, TrailingBlankTakesTheCodesOfTheNextLine) {
    Read("m\n2 2\n 1 1 1 1 \n 4 2\n");
    EXPECT_EQ(ModelMatrix[1][1], Complete | Regular | (1u << 2));
    EXPECT_EQ(ModelMatrix[2][2], Null);  // that line was not a block line
}

TEST(ReadModel, ConstraintsAfterAStarCLine) {
    std::string listing = Read("m\n2 2\n 0 3 1 0\n*Constraints\n 1 10 300 2\n 257 -5 1 2 x\n");
    EXPECT_EQ(NumConstraints, 2);
    EXPECT_EQ(ConstraintKind[1], 1);
    EXPECT_EQ(ConstraintWeight[1], 10);
    EXPECT_EQ(ConstraintFirst[1], 44);  // 300 mod 256
    EXPECT_EQ(ConstraintKind[2], 1);
    EXPECT_EQ(ConstraintWeight[2], -5);
    EXPECT_NE(listing.find("\r\nConstraints\r\n    1    1   10   44  2\r\n    2    1   -5    1  2\r\n"),
              std::string::npos);

    Read("m\n2 2\nConstraints\n 1 10 1 2\n");
    EXPECT_EQ(NumConstraints, 0);  // its second character is "o"
}

TEST(ReadModel, AtMostOneHundredConstraints) {
    std::string file = "m\n2 2\n*c\n";
    for (int k = 1; k <= 103; ++k) file += " 1 " + std::to_string(k) + " 1 3\n";
    std::string listing = Read(file);
    EXPECT_EQ(NumConstraints, 100);
    EXPECT_EQ(ConstraintWeight[100], 100);
    EXPECT_NE(listing.find("  100    1  100    1  3\r\nTo many constraints (>100)\r\n\r\nBlock model"),
              std::string::npos);
}

static void ReadAndStop(const std::string& content) {
    ResetState();
    CaptureListing();
    UseTextFile(ModelFile, content);
    ConsoleInputEnded = true;
    std::fflush(stdout);
    dup2(2, 1);
    ReadModel();
}

TEST(ReadModelDeathTest, BadNumbersStopTheRun) {
    EXPECT_EXIT(ReadAndStop("m\n2 two\n"), testing::ExitedWithCode(1), "^Bad number in MDL file, line 2: two\n$");
    EXPECT_EXIT(ReadAndStop("m\n2 2\n 1 1 1 99999999999\n"), testing::ExitedWithCode(1),
                "Bad number in MDL file, line 3: 99999999999\n");
    EXPECT_EXIT(ReadAndStop("m\n2 2\n 1 1 1 1\x01\n"), testing::ExitedWithCode(1),
                "Bad number in MDL file, line 3: \n");
}

// DEL is the one control character a model token can hold: shown as ^?.
TEST(ReadModelDeathTest, BadTokenIsShownWithoutItsControlCharacter) {
    EXPECT_EXIT(ReadAndStop("m\n2 2\n 1 1 1 3\x7f\n"), testing::ExitedWithCode(1),
                "^Bad number in MDL file, line 3: 3\\^\\?\n$");
}
