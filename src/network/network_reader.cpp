// The network file reader. The header is scanned character by character as
// the family's files are laid out: anything up to "*v", then the counts. The
// rest is read line by line, as today's network tools write it: name lines,
// a form keyword, then a matrix or value lines, with empty and comment lines
// anywhere. The family's own files are the case where every line starts with
// a blank and every value is an integer, and they read exactly as they always
// did. Every refusal says which line of the file it is about.
#include "network/network_reader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "console/bad_input.h"
#include "console/output.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "network/net_lines.h"
#include "network/tie_storage.h"
#include "state.h"
#include "state_memory.h"

// A keyword line after the counts: its form, and the relation it belongs to.
struct NetKeyword {
    int32_t Form;       // a NetworkForm
    bool List;          // *Edgeslist or *Arcslist: a unit and the units it is tied to
    int32_t Relation;   // the number after a colon; 1 when there is none
    std::string Label;  // the relation's label, without its double quotes
    bool Labelled;      // a label in double quotes followed the number
};

static NetLine Line;              // the line being read; static, so a stop leaks nothing
static NetKeyword FirstRelation;  // the keyword whose values are read
static bool ListForm;             // the values in force are lists
static int32_t RoundedValues;     // values that rounding changed
// The whole labels as read, by unit. A later name line replaces a unit's
// label, so they are laid out in LabelText only once every name is read.
static std::vector<std::string> ReadLabels;

[[noreturn]] static void StopUnexpectedEnd(int32_t itemLine) {
    ConLine("Bad NET file: unexpected end");
    StopOnBadInput("The unfinished item began on line %d", itemLine);
}

// The next character of the header, which must exist.
static int ReadHeaderChar(int32_t itemLine) {
    int c = ReadChar(NetFile);
    if (c < 0) {
        CheckNetFileEnd();
        StopUnexpectedEnd(itemLine);
    }
    return c;
}

// Passes everything up to the "*v" of the counts line and the rest of its word.
static void ScanToCounts() {
    int32_t starLine;
    for (;;) {
        starLine = NetFile.LineEnds + 1;
        if (ReadHeaderChar(1) != '*') continue;
        int c = ReadHeaderChar(1);
        if (c == 'v' || c == 'V') break;
    }
    for (int c = ReadHeaderChar(starLine); c != ' ' && c != '\t' && c != '\r';) {
        c = ReadHeaderChar(starLine);
    }
}

static int32_t ReadHeaderInt() {
    char token[TokenSize];
    int32_t value;
    bool good = ReadInt(NetFile, value, token);
    CheckNetFileEnd();
    if (!good) StopOnBadNetNumber(NetFile.LineEnds + 1, token);
    return value;
}

// Says why the counts cannot be held, before the fatal error.
[[noreturn]] static void StopOnCounts() {
    if (TwoMode) {
        ConLine("Network size out of range: %d units, %d row units, %lld column units read; "
                "at least 1 on a side, at most %d",
                NumUnits, SideUnits[RowSide], static_cast<long long>(NumUnits) - SideUnits[RowSide], MaxSideUnits);
    } else {
        ConLine("Network size out of range: %d units read; at least 1, at most %d", NumUnits, MaxSideUnits);
    }
    FatalError(5);
}

// A network whose tables would not fit in the machine's memory is refused
// before its ties are read, rather than failing halfway or swapping for hours.
static void CheckMemory(int64_t rows, int64_t cols) {
    int threads = SearchThreads > 0 ? SearchThreads : static_cast<int>(std::thread::hardware_concurrency());
    int64_t needed = NetworkMegabytes(rows, cols, threads);
    int64_t machine = MachineMegabytes();
    if (machine > 0 && needed > machine) {
        StopOnBadInput("Network of %d units needs %lld MB; the machine has %lld MB", NumUnits,
                       static_cast<long long>(needed), static_cast<long long>(machine));
    }
}

// The counts: n alone on its line for a one-mode network, n and m for a
// two-mode one. Blanks left at the end of the line make no second count.
static void ReadCounts() {
    NumUnits = ReadHeaderInt();
    int c = PeekChar(NetFile);
    while (c == ' ' || c == '\t') {
        ReadChar(NetFile);
        c = PeekChar(NetFile);
    }
    TwoMode = !(c < 0 || c == '\r');
    if (TwoMode) {
        SideUnits[RowSide] = ReadHeaderInt();
        // Both counts are checked below; form the difference where it cannot overflow.
        int64_t cols = static_cast<int64_t>(NumUnits) - SideUnits[RowSide];
        SideUnits[ColSide] = (cols < -1 || cols > MaxSideUnits) ? -1 : static_cast<int32_t>(cols);
        ColOffset = SideUnits[RowSide];
    } else {
        SideUnits[RowSide] = SideUnits[ColSide] = NumUnits;
        ColOffset = 0;
    }
    SkipLine(NetFile);
    CheckNetFileEnd();
    const int64_t rows = SideUnits[RowSide];
    const int64_t cols = TwoMode ? static_cast<int64_t>(NumUnits) - SideUnits[RowSide] : NumUnits;
    if (rows < 1 || cols < 1) StopOnCounts();
    CheckMemory(rows, cols);
    if (rows > MaxSideUnits || cols > MaxSideUnits || rows * cols > MaxCells) StopOnCounts();
    SizeNetworkState();
}

static void SetDefaultNames() {
    ReadLabels.assign(static_cast<size_t>(NumUnits) + 1, std::string());
    for (int k = 1; k <= NumUnits; ++k) {
        std::string name = !TwoMode       ? "v-" + std::to_string(k)
                           : k <= SideUnits[RowSide] ? "r-" + std::to_string(k)
                                          : "c-" + std::to_string(k - SideUnits[RowSide]);
        std::snprintf(UnitName[k], sizeof UnitName[k], "%s", name.substr(0, NameLength).c_str());
        ReadLabels[k] = name;
    }
}

// A name line: the unit number, then a label in double quotes (to the next
// one or the end of the line) or, without a double quote, the first word.
// The first 10 characters are kept as its name, and up to MaxLabelBytes
// bytes as its whole label. A line with only the number keeps the unit's
// name. A label holding a control character stops the run: it would reach
// the listing and the terminal.
static void ReadNameLine(NetLine& line) {
    int32_t k = NetInt(line, NextToken(line));
    if (k < 1 || k > NumUnits) {
        ConEndLine();
        ConLine("Error in NAMES");
        StopOnBadInput("Unit %d named on line %d; the units are 1..%d", k, line.Number, NumUnits);
    }
    std::string_view text = line.Text;
    std::string_view label;
    size_t quote = text.find('"', line.Pos);
    if (quote != std::string_view::npos) {
        size_t end = text.find('"', quote + 1);
        label = text.substr(quote + 1, end == std::string_view::npos ? std::string_view::npos : end - quote - 1);
    } else {
        size_t start = text.find_first_not_of(" \t", line.Pos);
        if (start == std::string_view::npos) return;
        size_t end = text.find_first_of(" \t", start);
        label = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    }
    if (HasControlCharacter(label)) StopOnBadInput("Control character in a name, line %d", line.Number);
    std::string whole(label);
    std::string kept = FirstCharacters(whole, NameLength);
    std::memcpy(UnitName[k], kept.c_str(), kept.size() + 1);
    // The blanks that end a label only pad it, as they pad a name.
    whole = FirstBytes(whole, MaxLabelBytes);
    whole.resize(whole.find_last_not_of(' ') + 1);
    ReadLabels[k] = std::move(whole);
}

// The whole labels one after another, in unit order.
static void LayOutLabels() {
    size_t total = 0;
    for (int k = 1; k <= NumUnits; ++k) total += ReadLabels[k].size();
    LabelText.clear();
    LabelText.reserve(total);
    for (int k = 1; k <= NumUnits; ++k) {
        LabelStart[k] = static_cast<uint32_t>(LabelText.size());
        LabelText += ReadLabels[k];
    }
    LabelStart[NumUnits + 1] = static_cast<uint32_t>(LabelText.size());
    std::vector<std::string>().swap(ReadLabels);
}

static void PadNames() {
    for (int k = 1; k <= NumUnits; ++k) {
        size_t length = std::strlen(UnitName[k]);
        int missing = NameLength - CharacterCount(UnitName[k]);
        if (missing <= 0) continue;
        std::memset(UnitName[k] + length, ' ', static_cast<size_t>(missing));
        UnitName[k][length + static_cast<size_t>(missing)] = '\0';
    }
}

static bool SameWord(const std::string& word, const char* keyword) {
    if (word.size() != std::strlen(keyword)) return false;
    for (size_t k = 0; k < word.size(); ++k) {
        if ((word[k] | 0x20) != keyword[k]) return false;
    }
    return true;
}

// Reads a keyword line: the word after the '*' (ending at a blank, a tab, a
// colon or the line end), then an optional relation number after a colon and
// its label in double quotes. A word that is none of the five forms is known
// by its first letter.
static NetKeyword ReadKeyword(NetLine& line) {
    NetKeyword keyword{NoForm, false, 1, "", false};
    const std::string& text = line.Text;
    size_t p = text.find('*') + 1;
    size_t start = p;
    while (p < text.size() && text[p] != ' ' && text[p] != '\t' && text[p] != ':') ++p;
    std::string word = text.substr(start, p - start);
    char first = word.empty() ? '\0' : static_cast<char>(word[0] | 0x20);
    if (SameWord(word, "edgeslist") || SameWord(word, "arcslist")) keyword.List = true;
    if (first == 'm') keyword.Form = MatrixForm;
    if (first == 'e') keyword.Form = EdgesForm;
    if (first == 'a') keyword.Form = ArcsForm;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
    if (p < text.size() && text[p] == ':') {
        line.Pos = p + 1;
        std::string number;
        while (line.Pos < text.size() && (text[line.Pos] == ' ' || text[line.Pos] == '\t')) ++line.Pos;
        while (line.Pos < text.size() && text[line.Pos] >= '0' && text[line.Pos] <= '9') {
            number.push_back(text[line.Pos++]);
        }
        int32_t relation;
        if (ParseInt32(number.c_str(), relation)) keyword.Relation = relation;
        size_t quote = text.find('"', line.Pos);
        if (quote != std::string::npos) {
            size_t end = text.find('"', quote + 1);
            keyword.Label = text.substr(quote + 1, end == std::string::npos ? std::string::npos : end - quote - 1);
            keyword.Labelled = true;
        }
    }
    return keyword;
}

// Says that values of later relations were left unread.
static void ReportLaterRelation() {
    if (FirstRelation.Labelled) {
        ConLine("Relation %d \"%s\" read; later relations not read", FirstRelation.Relation,
                VisibleText(FirstRelation.Label).c_str());
    } else {
        ConLine("Relation %d read; later relations not read", FirstRelation.Relation);
    }
}

static void ReportRounding() {
    // The valued criteria read the values as they are.
    if (RoundedValues > 0 && !ValuedCriterion()) ConLine("%d tie values rounded to integers", RoundedValues);
}

// The line that ends the names, or the file's end. mark gets its first mark.
static bool ReadNames(NetLine& line, char& mark) {
    for (;;) {
        if (!ReadNetLine(line)) {
            mark = '.';
            return false;
        }
        LineKind kind = KindOfLine(line);
        if (kind == LineKind::Blank || kind == LineKind::Comment) continue;
        if (kind != LineKind::Data) {
            mark = FirstMark(line);
            return true;
        }
        ReadNameLine(line);
    }
}

[[noreturn]] static void StopWithoutForm(bool found, const NetLine& line) {
    if (found) {
        ConLine("No form keyword at line %d: %s", line.Number, VisibleText(FirstCharacters(line.Text, 20)).c_str());
    } else {
        ConLine("No form keyword at line %d: end of file", NetFile.LineEnds + 1);
    }
    FatalError(6);
}

// The next token of the matrix values, read on across lines past empty and
// comment lines. Empty when the values have ended: at the end of the file,
// or at a keyword line, which line then holds.
static std::string_view NextMatrixToken(NetLine& line, bool& ended) {
    while (!ended) {
        std::string_view token = NextToken(line);
        if (!token.empty()) return token;
        if (!ReadNetLine(line)) {
            line.Text.clear();
            ended = true;
        }
        LineKind kind = KindOfLine(line);
        if (kind == LineKind::Keyword) ended = true;
        if (kind == LineKind::Comment) line.Pos = line.Text.size();
    }
    return "";
}

// Matrix form: rows x columns values, row by row. Values missing at the
// end are 0. Nothing after them is taken, but a later relation is worth a word.
static void ReadMatrixValues() {
    NetLine& line = Line;
    line.Pos = line.Text.size();  // the keyword line is taken whole
    bool ended = false;
    for (int i = 1; i <= SideUnits[RowSide] && !ended; ++i) {
        for (int j = 1; j <= SideUnits[ColSide]; ++j) {
            std::string_view token = NextMatrixToken(line, ended);
            if (ended) break;
            bool rounded = false;
            double real = 0.0;
            int32_t value = NetValue(line, token, rounded, real);
            RoundedValues += rounded ? 1 : 0;
            if (value != 0 || real != 0.0) SetCell(i, j, value, real);
        }
    }
    ReportRounding();
    if (!ended) {
        line.Pos = line.Text.size();
        NextMatrixToken(line, ended);
    }
    if (KindOfLine(line) == LineKind::Keyword) {
        NetKeyword keyword = ReadKeyword(line);
        if (keyword.Form <= ArcsForm && keyword.Relation != FirstRelation.Relation) ReportLaterRelation();
    }
    ConEndLine();
}

[[noreturn]] static void StopOutOfRange(int64_t i, int64_t j, int32_t lineNumber) {
    ListEndLine();
    ListLine("vertex data %3lld %3lld in network out of range", static_cast<long long>(i),
             static_cast<long long>(j));
    ConLine("vertex data %3lld %3lld in network out of range", static_cast<long long>(i),
            static_cast<long long>(j));
    if (TwoMode) {
        StopOnBadInput("The tie on line %d names a unit outside rows 1..%d, columns %d..%d", lineNumber,
                       SideUnits[RowSide], SideUnits[RowSide] + 1, NumUnits);
    }
    StopOnBadInput("The tie on line %d names a unit outside 1..%d", lineNumber, NumUnits);
}

// Sets the tie from row unit i to column j (its number in the file), and the
// reverse tie for an edge of a one-mode network.
static void SetTie(int64_t i, int64_t j, int32_t value, double real, int32_t lineNumber) {
    if (TwoMode) j -= SideUnits[RowSide];
    if (i < 1 || i > SideUnits[RowSide] || j < 1 || j > SideUnits[ColSide]) StopOutOfRange(i, j, lineNumber);
    SetCell(static_cast<int32_t>(i), static_cast<int32_t>(j), value, real);
    if (NetForm == EdgesForm && !TwoMode) SetCell(static_cast<int32_t>(j), static_cast<int32_t>(i), value, real);
}

// An edges or arcs line: i, j and the value, 1 when it is missing.
static void ReadTieLine(NetLine& line) {
    int64_t i = NetInt(line, NextToken(line));
    std::string_view token = NextToken(line);
    int64_t j = token.empty() ? 0 : NetInt(line, token);
    token = NextToken(line);
    bool rounded = false;
    double real = 1.0;
    int32_t value = token.empty() ? 1 : NetValue(line, token, rounded, real);
    RoundedValues += rounded ? 1 : 0;
    SetTie(i, j, value, real, line.Number);
}

// A list line: unit i, then the units it is tied to, each with value 1. A
// negative number stands for the same unit.
static void ReadListLine(NetLine& line) {
    int64_t i = NetInt(line, NextToken(line));
    if (i < 0) i = -i;
    for (std::string_view token = NextToken(line); !token.empty(); token = NextToken(line)) {
        int64_t j = NetInt(line, token);
        SetTie(i, j < 0 ? -j : j, 1, 1.0, line.Number);
    }
}

// Value lines until the end of the file, a line that is not one, or a keyword
// line other than a change between the edges and arcs forms of this relation.
static void ReadValueLines() {
    ListLine("Network %4d = %3d + %3d form = %d", NumUnits, SideUnits[RowSide], SideUnits[ColSide], NetForm);
    NetLine& line = Line;
    bool laterRelation = false;
    while (ReadNetLine(line)) {
        LineKind kind = KindOfLine(line);
        if (kind == LineKind::Blank || kind == LineKind::Comment) continue;
        if (kind == LineKind::Keyword) {
            NetKeyword keyword = ReadKeyword(line);
            if (keyword.Form <= ArcsForm && keyword.Relation != FirstRelation.Relation) {
                laterRelation = true;
                break;
            }
            if (keyword.Form != EdgesForm && keyword.Form != ArcsForm) break;
            NetForm = keyword.Form;
            ListForm = keyword.List;
        } else if (kind == LineKind::Data) {
            if (ListForm) {
                ReadListLine(line);
            } else {
                ReadTieLine(line);
            }
        } else {
            // A line led by a control character (a page break, say) is no
            // other section of the file: ending the values there would drop
            // the ties after it without a word.
            unsigned char first = static_cast<unsigned char>(line.Text[0]);
            if (first < ' ' || first == 127) StopOnBadNetNumber(line.Number, NextToken(line));
            break;
        }
    }
    ReportRounding();
    if (laterRelation) ReportLaterRelation();
}

void ReadNetwork() {
    // A file that begins with a Ctrl-Z holds nothing before its end mark:
    // it is empty, whatever follows the mark.
    if (AtEnd(NetFile)) {
        StopOnBadInput("Empty NET file");
    }
    RoundedValues = 0;
    ListForm = false;
    ScanToCounts();
    ConEndLine();
    ReadCounts();
    Title = DefaultTitle;
    ConLine("%s", Title.c_str());
    SetDefaultNames();
    NetLine& line = Line;
    char mark;
    bool found = ReadNames(line, mark);
    PadNames();
    LayOutLabels();
    ConLine("ch = %s", VisibleText(std::string_view(&mark, 1)).c_str());
    NetForm = NoForm;
    if (found && mark == '*') {
        FirstRelation = ReadKeyword(line);
        NetForm = FirstRelation.Form;
        ListForm = FirstRelation.List;
    }
    ConLine("form = %2d", NetForm);
    ConLine("*** reading network%4d = %3d + %3d form = %d", NumUnits, SideUnits[RowSide], SideUnits[ColSide], NetForm);
    if (NetForm < MatrixForm || NetForm > ArcsForm) StopWithoutForm(found, line);
    StartCells();
    if (NetForm == MatrixForm) {
        ReadMatrixValues();
    } else {
        ReadValueLines();
    }
    ListEndLine();
    FinishCells();
    ReleaseCells();
    for (int k = 1; k <= SideUnits[RowSide]; ++k) ListingOrder[RowSide][k] = k;
    for (int k = 1; k <= SideUnits[ColSide]; ++k) ListingOrder[ColSide][k] = k;
}

// Negative values are counted in the matrix as read: a cell set again by a
// later line counts by its last value, and an edge of a one-mode network,
// which sets two cells, counts twice.
void ReportNegativeValues() {
    if (ValuedCriterion()) return;  // kept (ss, ad) or refused (val) as read
    int32_t negative = 0;
    for (int32_t value : CellValue) negative += value < 0 ? 1 : 0;
    if (negative > 0) ConLine("%d negative tie values read as no tie", negative);
}
