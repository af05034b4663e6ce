// Fuzzes the network file reader: the input is the whole network file. After
// a read that returns, the network must fit the state's limits and the derived
// arrays must agree with the tie values.
#include <string>
#include <string_view>

#include "fuzz_driver.h"
#include "console/visible_text.h"
#include "network/network_reader.h"
#include "network/tie_storage.h"

static void CheckNetwork() {
    Require(SideUnits[RowSide] >= 1 && SideUnits[RowSide] <= MaxSideUnits, "row count out of range");
    Require(SideUnits[ColSide] >= 1 && SideUnits[ColSide] <= MaxSideUnits, "column count out of range");
    Require(NetForm >= 1 && NetForm <= 3, "form not recognised but read");
    Require(ColOffset == (TwoMode ? SideUnits[RowSide] : 0), "column offset does not match the mode");
    Require(NumUnits == (TwoMode ? SideUnits[RowSide] + SideUnits[ColSide] : SideUnits[RowSide]), "unit count does not add up");
    for (int k = 1; k <= NumUnits; ++k) {
        Require(CharacterCount(UnitName[k]) == NameLength, "a unit name is not 10 characters");
        // The name is the label's first characters, padded.
        std::string name = UnitName[k];
        name.resize(name.find_last_not_of(' ') + 1);
        std::string_view label = UnitLabel(k);
        Require(label.size() <= MaxLabelBytes && label.substr(0, name.size()) == name &&
                    (label.empty() || label.back() != ' '),
                "a whole label does not begin with the unit's name, ends with a blank or is too long");
    }
    // The ties of both sides are the positive cells, each once.
    int64_t positive = 0;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n)
            if (CellValue[n] > 0) {
                ++positive;
                Require(IsTie(i, ValuedCells.Units[n]), "a positive cell is no tie");
            }
        Require(ListingOrder[RowSide][i] == i, "row order is not the identity");
    }
    Require(positive == static_cast<int64_t>(Ties[RowSide].Units.size()), "row ties differ from the positive cells");
    Require(positive == static_cast<int64_t>(Ties[ColSide].Units.size()), "column ties differ from the row ties");
    for (int j = 1; j <= SideUnits[ColSide]; ++j) Require(ListingOrder[ColSide][j] == j, "column order is not the identity");
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzSession();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BeginInput();
    UseInputBytes(NetFile, data, size);
    if (RunGuarded(ReadNetwork)) CheckNetwork();
    FinishInput(NetFile);
    return 0;
}
