// A fresh folder under the test temporary directory for one test. Test
// processes run side by side (ctest -j), so a fixed folder name would let two
// tests write over each other's files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <string_view>

namespace zel {

inline std::string MakeTempFolder(std::string_view prefix) {
  std::string pattern = ::testing::TempDir() + std::string(prefix) + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a folder from " << pattern;
  }
  return pattern;
}

}  // namespace zel
