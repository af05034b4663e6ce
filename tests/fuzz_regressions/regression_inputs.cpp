// Reads a finding's input exactly as the fuzzer gave it to the reader.
#include "fuzz_regressions/regression_inputs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

std::string RegressionInput(const std::string& target, const std::string& name) {
    std::string path = std::string(KORVEL_SOURCE_DIR) + "/fuzz/regressions/" + target + "/" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "no input " << path;
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
