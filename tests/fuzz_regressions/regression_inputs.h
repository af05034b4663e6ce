// The inputs of fuzz findings, kept in fuzz/regressions/<target>/, read back
// for the tests that replay them through the normal build.
#pragma once

#include <string>

// The bytes of fuzz/regressions/<target>/<name>; a missing file fails the test.
std::string RegressionInput(const std::string& target, const std::string& name);
