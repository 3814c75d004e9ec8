// Names parameterised test rows after their `name` field, so a failure says which row broke.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace marquill::host::test {

struct RowName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return std::string(row.param.name);
  }
};

}  // namespace marquill::host::test
