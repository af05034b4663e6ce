// The model definition file. Block lines are read as the family always read
// them: codes go on to the end of the line, and a line ending in a blank takes
// the codes of the next line too. Lines naming blocks outside the model matrix
// are echoed and have no effect. The model that blocks= gives is echoed as
// its file would be.
#include "network/model_file.h"

#include <cstdio>
#include <string>

#include "console/bad_input.h"
#include "console/output.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "state.h"

static int32_t ReadModelInt() {
    char token[TokenSize];
    int32_t value;
    if (!ReadInt(ModelFile, value, token)) {
        char shown[2 * TokenSize];
        CopyVisibleText(token, shown, sizeof shown);
        StopOnBadInput("Bad number in MDL file, line %d: %s", ModelFile.LineEnds + 1, shown);
    }
    return value;
}

static void SetBlock(int r, int c, uint16_t set, int32_t penalty) {
    ModelMatrix[r][c] = set;
    PenaltyMatrix[r][c] = penalty;
}

// Applies a block line's set and penalty to the blocks its i and j name. The
// groups run along the model's rows, so the diagonal and the blocks below it
// may reach past the model's columns: a partition file may bring more column
// clusters than the model has, and those blocks then still have their types.
static void ApplyBlockLine(int32_t i, int32_t j, uint16_t set, int32_t penalty) {
    if (i != 0) {
        if (i >= 1 && i <= MaxModelSize && j >= 1 && j <= MaxModelSize) SetBlock(i, j, set, penalty);
        return;
    }
    if (j == 0) {
        for (int k = 1; k <= ModelRows; ++k) SetBlock(k, k, set, penalty);
    } else if (j == 1) {
        for (int r = 1; r < ModelRows; ++r)
            for (int c = r + 1; c <= ModelCols; ++c) SetBlock(r, c, set, penalty);
    } else if (j == 2) {
        for (int r = 2; r <= ModelRows; ++r)
            for (int c = 1; c < r; ++c) SetBlock(r, c, set, penalty);
    } else if (j == 3) {
        for (int r = 1; r <= ModelRows; ++r)
            for (int c = 1; c <= ModelCols; ++c) SetBlock(r, c, set, penalty);
    }
}

static void ReadBlockLine() {
    int32_t i = ReadModelInt();
    int32_t j = ReadModelInt();
    int32_t p = ReadModelInt();
    ListPrint("%5d%5d%7d", i, j, p);
    FlushListing();
    uint16_t set = 0;
    for (;;) {
        int next = PeekChar(ModelFile);
        if (next < 0 || next == '\r') break;
        int32_t code = ReadModelInt();
        ListPrint("%3d", code);
        uint8_t reduced = static_cast<uint8_t>(code);
        if (reduced <= 15) set = static_cast<uint16_t>(set | (1u << reduced));
    }
    SkipLine(ModelFile);
    ListEndLine();
    ApplyBlockLine(i, j, set, p);
}

static void ReadConstraints() {
    SkipLine(ModelFile);
    char ch = ' ';
    ListEndLine();
    ListLine("Constraints");
    while (!AtEnd(ModelFile) && ch == ' ') {
        ch = static_cast<char>(ReadChar(ModelFile));
        if (ch != ' ') continue;
        if (NumConstraints == MaxConstraints) {
            ch = '*';
            ListLine("To many constraints (>%d)", MaxConstraints);
        } else {
            int k = ++NumConstraints;
            ConstraintKind[k] = static_cast<uint8_t>(ReadModelInt());
            ConstraintWeight[k] = ReadModelInt();
            ConstraintFirst[k] = static_cast<uint8_t>(ReadModelInt());
            ConstraintSecond[k] = static_cast<uint8_t>(ReadModelInt());
            SkipLine(ModelFile);
            ListLine("%5d%5d%5d%5d%3d", k, ConstraintKind[k], ConstraintWeight[k], ConstraintFirst[k],
                     ConstraintSecond[k]);
        }
        FlushListing();
    }
}

static void EchoModel() {
    ListEndLine();
    ListLine("Block model matrix");
    ListEndLine();
    for (int r = 1; r <= ModelRows; ++r) {
        for (int c = 1; c <= ModelCols; ++c) {
            // Bit 0 is the highest binary digit, so null reads 16384.
            int32_t shown = 0;
            for (int t = 0; t <= 14; ++t) {
                if (ModelMatrix[r][c] & (1u << t)) shown += 1 << (14 - t);
            }
            ListPrint("%6d", shown);
        }
        ListEndLine();
    }
    ListEndLine();
    ListEndLine();
    ListEndLine();
    ListLine("Block penalty matrix");
    ListEndLine();
    for (int r = 1; r <= ModelRows; ++r) {
        for (int c = 1; c <= ModelCols; ++c) ListPrint("%5d", PenaltyMatrix[r][c]);
        ListEndLine();
    }
    ListEndLine();
    ListEndLine();
}

std::string GivenBlocksText() {
    std::string text;
    for (int t = 0; t <= MaxTypeCode; ++t) {
        if (!(GivenBlockTypes & (1u << t))) continue;
        if (!text.empty()) text += ',';
        for (const char* c = TypeName[t]; *c != '\0'; ++c) text += *c == ' ' ? '-' : *c;
    }
    return text;
}

void UseGivenBlocks() {
    ModelRows = ModelCols = MaxModelSize;
    for (int r = 1; r <= MaxModelSize; ++r)
        for (int c = 1; c <= MaxModelSize; ++c) SetBlock(r, c, GivenBlockTypes, 1);
    // The listing shows the model as the file of this one block line would.
    ListEndLine();
    ListLine("Model matrix definition");
    ListPrint("%5d%5d%7d", 0, 3, 1);
    for (int t = 0; t <= MaxTypeCode; ++t)
        if (GivenBlockTypes & (1u << t)) ListPrint("%3d", t);
    ListEndLine();
    ListEndLine();
    ListLine("MaxModel rows =%4d cols =%4d", ModelRows, ModelCols);
    ListEndLine();
    EchoModel();
}

void ReadModel() {
    if (AtEnd(ModelFile)) {
        ModelRows = ModelCols = MaxModelSize;
        const uint16_t nullCompleteRegular = (1u << NullType) | (1u << CompleteType) | (1u << RegularType);
        for (int r = 1; r <= MaxModelSize; ++r) {
            for (int c = 1; c <= MaxModelSize; ++c) SetBlock(r, c, nullCompleteRegular, 1);
        }
        EchoModel();
        return;
    }
    SkipLine(ModelFile);
    ModelRows = ReadModelInt();
    ModelCols = ReadModelInt();
    SkipLine(ModelFile);
    char ch = ' ';
    if (ModelRows < 2 || ModelRows > MaxModelSize) ModelRows = MaxModelSize;
    if (ModelCols < 2 || ModelCols > MaxModelSize) ModelCols = MaxModelSize;
    for (int r = 1; r <= ModelRows; ++r) {
        for (int c = 1; c <= ModelCols; ++c) SetBlock(r, c, 1u << NullType, 1);
    }
    ListEndLine();
    ListLine("Model matrix definition");
    while (!AtEnd(ModelFile) && ch == ' ') {
        ch = static_cast<char>(ReadChar(ModelFile));
        if (ch == ' ') ReadBlockLine();
    }
    ListEndLine();
    ListLine("MaxModel rows =%4d cols =%4d", ModelRows, ModelCols);
    ListEndLine();
    if (!AtEnd(ModelFile)) {
        ch = static_cast<char>(ReadChar(ModelFile));
        if (ch == 'c' || ch == 'C') ReadConstraints();
    }
    EchoModel();
}
