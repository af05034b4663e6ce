// Fuzzes the model definition reader: the input is the whole model file. A
// read that returns must leave a model matrix within the block matrices and no
// more constraints than the state holds.
#include "fuzz_driver.h"
#include "network/model_file.h"

static void CheckModel() {
    Require(ModelRows >= 2 && ModelRows <= MaxModelSize, "model rows outside 2..75");
    Require(ModelCols >= 2 && ModelCols <= MaxModelSize, "model columns outside 2..75");
    Require(NumConstraints >= 0 && NumConstraints <= MaxConstraints, "constraint count outside 0..100");
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzSession();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BeginInput();
    UseInputBytes(ModelFile, data, size);
    if (RunGuarded(ReadModel)) CheckModel();
    FinishInput(ModelFile);
    return 0;
}
