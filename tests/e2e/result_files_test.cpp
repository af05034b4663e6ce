// Whole runs that leave result files beside the listing: the JSON of every
// series, the partition files and the picture, which a real SVG renderer
// draws and the test reads back pixel by pixel.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/png_picture.h"
#include "results/blockmodel_picture.h"
#include "support/test_support.h"

// The examples' environment offers davis.net, null-complete.mdl and davis.lst.
static void UseExamples(const TempFolder& folder) {
    for (const char* name : {"Tebra.ENV", "davis.net", "karate.net", "null-complete.mdl"})
        folder.Write(name, Example(name));
}

// Banner, parameters, three files, title, weights; then the run dialogues
// given, and the final Enter.
static std::string Answers(const std::string& series) { return "\nn\n\n\n\n\n1\n1\n0\n-1\n" + series + "\n"; }

// True when s holds one JSON value from p on; p moves past it and the blanks after it.
static bool JsonValue(const std::string& s, size_t& p) {
    static const std::regex scalar(
        "\"([^\"\\\\\\x00-\\x1f]|\\\\[\"\\\\/bfnrt]|\\\\u[0-9a-fA-F]{4})*\""
        "|-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?|true|false|null");
    auto blanks = [&] {
        while (p < s.size() && std::strchr(" \t\r\n", s[p]) != nullptr && s[p] != '\0') ++p;
    };
    auto scalarHere = [&](bool key) {
        std::smatch match;
        if ((key && (p >= s.size() || s[p] != '"')) ||
            !std::regex_search(s.cbegin() + p, s.cend(), match, scalar, std::regex_constants::match_continuous))
            return false;
        p += match.length();
        blanks();
        return true;
    };
    blanks();
    if (p >= s.size() || (s[p] != '{' && s[p] != '[')) return scalarHere(false);
    char close = s[p++] == '{' ? '}' : ']';
    blanks();
    for (bool first = true;; first = false) {
        if (p < s.size() && s[p] == close && first) break;
        if (close == '}' && !(scalarHere(true) && p < s.size() && s[p++] == ':')) return false;
        if (!JsonValue(s, p)) return false;
        if (p < s.size() && s[p] == close) break;
        if (p >= s.size() || s[p++] != ',') return false;
        blanks();
    }
    ++p;
    blanks();
    return true;
}

static bool IsJson(const std::string& text) {
    size_t p = 0;
    return JsonValue(text, p) && p == text.size();
}

TEST(ResultFiles, SouthernWomenTwoByThreeForPrograms) {
    TempFolder folder;
    UseExamples(folder);
    RunResult run = RunKorvel(folder, Answers("2\n2\n3\n100\n0\n1\n0\n"), "", "2026");
    ASSERT_EQ(run.ExitCode, 0) << run.Console;
    std::string json = folder.Read("davis.json");
    EXPECT_TRUE(IsJson(json)) << json;
    EXPECT_TRUE(Contains(json, "\"network\": \"davis.net\",\r\n    \"model\": \"null-complete.mdl\",\r\n"
                               "    \"listing\": \"davis.lst\",\r\n    \"partition\": \"davis.zep\",\r\n"));
    EXPECT_TRUE(Contains(json, "\"seed\": 2026\r\n"));
    EXPECT_TRUE(Contains(json, "\"row_clusters\": 2,\r\n      \"column_clusters\": 3,\r\n"
                               "      \"repetitions\": 100,\r\n      \"clusterings\": 100,\r\n"));
    // The listing's best: repetition 9 with 52 inconsistencies.
    EXPECT_TRUE(Contains(json, "\"rank\": 1,\r\n          \"repetition\": 9,\r\n          \"error\": 52,\r\n"
                               "          \"row_clusters\": [\r\n"
                               "            {\"units\": [8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18], \"names\": "
                               "[\"Pearl Oglethorpe\", \"Ruth DeSand\", \"Verne Sanderson\", \"Myra Liddel\", "
                               "\"Katherina Rogers\", \"Sylvia Avondale\", \"Nora Fayette\", \"Helen Lloyd\", "
                               "\"Dorothy Murchison\", \"Olivia Carleton\", \"Flora Price\"]},\r\n"
                               "            {\"units\": [1, 2, 3, 4, 5, 6, 7], \"names\": [\"Evelyn Jefferson\", "
                               "\"Laura Mandeville\", \"Theresa Anderson\", \"Brenda Rogers\", \"Charlotte McDowd\", "
                               "\"Frances Anderson\", \"Eleanor Nye\"]}\r\n          ],\r\n"
                               "          \"column_clusters\": [\r\n"
                               "            {\"units\": [8, 9], \"names\": [\"E8\", \"E9\"]},\r\n"));
    EXPECT_TRUE(Contains(json, "\"best\": {\r\n        \"repetition\": 9,\r\n        \"error\": 52,\r\n"
                               "        \"block_types\": [\r\n          [\"com\", \"-\", \"-\"],\r\n"
                               "          [\"com\", \"com\", \"-\"]\r\n        ],\r\n"
                               "        \"block_errors\": [\r\n          [4, 8, 21],\r\n          [6, 7, 6]\r\n"));
    // Ten results, as in the listing.
    EXPECT_TRUE(Contains(json, "\"rank\": 10,") && !Contains(json, "\"rank\": 11,"));

    // Partitions of the best in the network tools' format.
    std::string rows = "*Vertices 18\r\n", cols = "*Vertices 14\r\n";
    for (int i = 1; i <= 18; ++i) rows += i <= 7 ? "2\r\n" : "1\r\n";
    const char* colClusters = "33222221133333";
    for (int j = 0; j < 14; ++j) cols += std::string(1, colClusters[j]) + "\r\n";
    EXPECT_EQ(folder.Read("davis-rows.clu"), rows);
    EXPECT_EQ(folder.Read("davis-cols.clu"), cols);
    std::string units = "*Vertices 32\r\n" + rows.substr(14);  // the columns numbered after the rows
    for (int j = 0; j < 14; ++j) units += std::to_string(colClusters[j] - '0' + 2) + "\r\n";
    EXPECT_EQ(folder.Read("davis.clu"), units);
}

// The cluster of every unit from a partition file, and the listing order.
static std::vector<int> OrderInListing(const std::string& clu, std::vector<int>& cluster) {
    std::istringstream in(clu.substr(clu.find('\n') + 1));
    cluster.assign(1, 0);
    for (int k; in >> k;) cluster.push_back(k);
    std::vector<int> order;
    for (int k = 1; order.size() + 1 < cluster.size(); ++k)
        for (size_t u = 1; u < cluster.size(); ++u)
            if (cluster[u] == k) order.push_back(static_cast<int>(u));
    return order;
}

// Renders NAME.svg and checks that the cell of every positive value of the
// matrix is dark and every other cell light; larger values must not be lighter.
static void ExpectEveryTieDrawn(const TempFolder& folder, const std::string& name,
                                const std::vector<std::vector<int>>& matrix) {
    std::string command = "cd '" + folder.Path + "' && rsvg-convert -f png -o picture.png '" + name + ".svg'";
    ASSERT_EQ(std::system("command -v rsvg-convert >/dev/null"), 0)
        << "rsvg-convert is missing: install the Debian package librsvg2-bin";
    ASSERT_EQ(std::system(command.c_str()), 0) << "the renderer refused " << name << ".svg";
    Picture picture;
    ASSERT_TRUE(DecodePng(folder.Read("picture.png"), picture));
    std::string svg = folder.Read(name + ".svg");
    size_t frame = svg.find("<rect id=\"matrix\" x=\"");
    ASSERT_NE(frame, std::string::npos);
    double x0 = std::atof(svg.c_str() + frame + 21);
    double y0 = std::atof(svg.c_str() + svg.find("y=\"", frame) + 3);
    std::vector<int> rowCluster, colCluster;
    std::vector<int> rows = OrderInListing(folder.Read(name + "-rows.clu"), rowCluster);
    std::vector<int> cols = OrderInListing(folder.Read(name + "-cols.clu"), colCluster);
    int checked = 0;
    for (size_t p = 0; p < rows.size(); ++p) {
        int u = rows[p];
        double y = y0 + rowCluster[u] * PictureBand + p * PictureCell + PictureCell / 2.0;
        for (size_t q = 0; q < cols.size(); ++q) {
            int v = matrix[u - 1][cols[q] - 1];
            double x = x0 + q * PictureCell + PictureCell / 2.0;
            int grey = picture.Grey(x, y);
            if (v > 0) {
                EXPECT_LT(grey, 128) << "tie " << u << ", " << cols[q] << " not dark";
                for (size_t s = 0; s < cols.size(); ++s) {  // a larger value in the row is not lighter
                    if (matrix[u - 1][cols[s] - 1] > v) {
                        EXPECT_LT(picture.Grey(x0 + s * PictureCell + PictureCell / 2.0, y), grey);
                    }
                }
            } else {
                EXPECT_GT(grey, 200) << "cell " << u << ", " << cols[q] << " not light";
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, static_cast<int>(matrix.size() * matrix[0].size()));
}

// The rows of the *Matrix section of a network file.
static std::vector<std::vector<int>> MatrixOf(const std::string& net, int rows) {
    std::istringstream in(net.substr(net.find("*Matrix") + 7));
    std::vector<std::vector<int>> matrix;
    std::string line;
    while (static_cast<int>(matrix.size()) < rows && std::getline(in, line)) {
        std::istringstream numbers(line);
        std::vector<int> row;
        for (int v; numbers >> v;) row.push_back(v);
        if (!row.empty()) matrix.push_back(row);
    }
    return matrix;
}

TEST(ResultFiles, PictureShowsEveryTieWhenRendered) {
    TempFolder folder;
    UseExamples(folder);
    ASSERT_EQ(RunKorvel(folder, Answers("2\n2\n2\n100\n0\n1\n0\n"), "", "2026").ExitCode, 0);
    ExpectEveryTieDrawn(folder, "davis", MatrixOf(Example("davis.net"), 18));
    EXPECT_TRUE(Contains(folder.Read("davis.svg"), "Total error = 63.000 (2 x 2 clusters)"));

    // Valued ties, a negative value (no tie), and names to escape: an
    // ampersand, a bracket, a backslash and a Latin-1 byte.
    std::string net = "*Vertices 4\r\n 1 \"A&B<x>\"\r\n 2 \"back\\slash\"\r\n 3 \"caf\xe9\"\r\n*Matrix\r\n"
                      "0 5 1 0\r\n-2 0 3 0\r\n1 0 0 9\r\n0 2 0 0\r\n";
    folder.Write("valued.net", net);
    RunResult run = RunKorvel(folder, Answers("2\n2\n2\n20\n0\n1\n0\n"), "net=valued.net lst=valued.lst");
    ASSERT_EQ(run.ExitCode, 0) << run.Console;
    ExpectEveryTieDrawn(folder, "valued", MatrixOf(net, 4));
    std::string json = folder.Read("valued.json");
    EXPECT_TRUE(IsJson(json));
    EXPECT_TRUE(Contains(json, "\"A&B<x>\"") && Contains(json, "\"back\\\\slash\"") &&
                Contains(json, "\"caf\\u00e9\""));
    EXPECT_FALSE(folder.Exists("valued.clu"));  // one-mode: rows and columns only
}

// Two Avengers films and three Captain America films share their first ten
// characters. The listing names the units by those, as it always did; the
// JSON and the picture by their whole labels. The picture, titled by its
// network file while the run has the default title, has a legend with a
// square of the tint of every type its blocks show, as the renderer draws it.
TEST(ResultFiles, WholeLabelsTellUnitsApartAndTheLegendShowsTheTints) {
    TempFolder folder;
    folder.Write("null-complete.mdl", Example("null-complete.mdl"));
    const std::vector<std::string> labels = {
        "Avengers: Age of Ultron", "Avengers: Endgame", "Captain America: The First Avenger",
        "Captain America: The Winter Soldier", "Captain America: Civil War", "Steve Rogers",
        "Natasha Romanoff", "Peggy Carter"};
    std::string net = "*Vertices 8 5\r\n";
    for (size_t k = 0; k < labels.size(); ++k) net += " " + std::to_string(k + 1) + " \"" + labels[k] + "\"\r\n";
    net += "*Edges\r\n 1 6\r\n 1 7\r\n 2 6\r\n 2 7\r\n 3 6\r\n 3 8\r\n 4 6\r\n 4 7\r\n 5 6\r\n 5 7\r\n";
    folder.Write("films.net", net);
    RunResult run = RunKorvel(folder, "", "net=films.net mdl=null-complete.mdl lst=films.lst rows=2 cols=2 reps=20");
    ASSERT_EQ(run.ExitCode, 0) << run.Console;
    std::string json = folder.Read("films.json"), svg = folder.Read("films.svg");
    EXPECT_TRUE(IsJson(json));
    for (const std::string& label : labels) {
        EXPECT_TRUE(Contains(json, "\"" + label + "\"")) << label;
        EXPECT_TRUE(Contains(svg, ">" + label + "</text>")) << label;
    }
    std::string listing = folder.Read("films.lst");
    EXPECT_TRUE(Contains(listing, "Avengers:   1 ") && Contains(listing, "Avengers:   2 "));
    EXPECT_TRUE(Contains(svg, "<title>films.net</title>"));

    // The types of the blocks drawn, from their tooltips, and of the legend.
    std::set<std::string> blockTypes, legendTypes;
    static const std::regex block("<title>block [0-9]+, [0-9]+: ([a-z -]+), error");
    for (std::sregex_iterator m(svg.begin(), svg.end(), block), end; m != end; ++m) blockTypes.insert((*m)[1]);
    ASSERT_EQ(std::system(("cd '" + folder.Path + "' && rsvg-convert -f png -o legend.png films.svg").c_str()), 0);
    Picture picture;
    ASSERT_TRUE(DecodePng(folder.Read("legend.png"), picture));
    static const std::regex entry("<rect x=\"([0-9]+)\" y=\"([0-9]+)\" width=\"([0-9]+)\" height=\"[0-9]+\" "
                                  "fill=\"#([0-9a-f]{6})\" stroke=\"#9a9a9a\" stroke-width=\"0.5\"/>\r\n"
                                  "<text [^>]*>([a-z -]+) \\(([a-z-]+)\\)</text>");
    for (std::sregex_iterator m(svg.begin(), svg.end(), entry), end; m != end; ++m) {
        legendTypes.insert((*m)[5]);
        double middle = std::stoi((*m)[3]) / 2.0;
        const unsigned char* pixel =
            &picture.Pixels[(static_cast<int>(std::stoi((*m)[2]) + middle) * picture.Width +
                             static_cast<int>(std::stoi((*m)[1]) + middle)) * picture.Channels];
        unsigned tint = static_cast<unsigned>(std::stoul((*m)[4], nullptr, 16));
        EXPECT_EQ((pixel[0] << 16) | (pixel[1] << 8) | pixel[2], static_cast<int>(tint)) << (*m)[5];
    }
    EXPECT_EQ(legendTypes, blockTypes);
    EXPECT_TRUE(legendTypes.count("complete") == 1 && legendTypes.count("null") == 1);
}

// Two series: the JSON holds both in order; cut off after the first report,
// it holds the first and is whole.
TEST(ResultFiles, EverySeriesInOrderAndWholeAfterEachReport) {
    TempFolder folder;
    UseExamples(folder);
    std::string first = "2\n2\n2\n20\n0\n1\n", second = "2\n2\n3\n20\n0\n";
    ASSERT_EQ(RunKorvel(folder, Answers(first + second + "1\n0\n")).ExitCode, 0);
    std::string json = folder.Read("davis.json");
    EXPECT_TRUE(IsJson(json));
    size_t one = json.find("\"row_clusters\": 2,\r\n      \"column_clusters\": 2,");
    size_t two = json.find("\"row_clusters\": 2,\r\n      \"column_clusters\": 3,");
    EXPECT_TRUE(one != std::string::npos && two != std::string::npos && one < two);
    EXPECT_TRUE(Contains(json, "\"seed\": 1\r\n"));

    // Console input ends at the second series' list level: no final report.
    RunResult cut = RunKorvel(folder, "\nn\n\n\n\n\n1\n1\n0\n-1\n" + first + second);
    EXPECT_EQ(cut.ExitCode, 1);
    json = folder.Read("davis.json");
    EXPECT_TRUE(IsJson(json)) << json;
    EXPECT_TRUE(Contains(json, "\"column_clusters\": 2,") && !Contains(json, "\"column_clusters\": 3,"));
}

// A result file that cannot be written is reported once and fails the run;
// the others are still written, and none takes the listing's name.
TEST(ResultFiles, UnwritableFileReportedOnceAndListingNeverOverwritten) {
    TempFolder folder;
    UseExamples(folder);
    ASSERT_EQ(mkdir((folder.Path + "/out.svg.json").c_str(), 0755), 0);
    std::string twoSeries = "2\n2\n2\n10\n0\n1\n2\n2\n2\n10\n0\n1\n0\n";
    RunResult run = RunKorvel(folder, Answers(twoSeries), "lst=out.svg");
    EXPECT_EQ(run.ExitCode, 1);
    size_t message = run.Console.find("Cannot write out.svg.json\n");
    EXPECT_NE(message, std::string::npos);
    EXPECT_EQ(run.Console.find("Cannot write out.svg.json", message + 1), std::string::npos);
    EXPECT_EQ(folder.Read("out.svg").substr(0, 4), "\f***");  // still the listing
    EXPECT_EQ(folder.Read("out.svg.svg").substr(0, 5), "<?xml");
    EXPECT_EQ(folder.Read("out.svg-rows.clu").substr(0, 14), "*Vertices 18\r\n");
}
