// Test names for tables of cases that carry a `name`.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace merravine {

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& param) {
  return param.param.name;
}

}  // namespace merravine
