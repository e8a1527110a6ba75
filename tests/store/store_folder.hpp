// A scratch Zel folder with a database folder "DB\" for the store tests:
// made current on construction, removed with everything in it afterwards,
// and the shell globals the store reads set to point into it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.hpp"
#include "shell/state.hpp"

namespace zel::test {

class StoreFolder {
 public:
  StoreFolder() {
    char pattern[] = "/tmp/zel-store-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/DB");
    std::string err;
    SetZelFolder(root_, &err);
    DbDir = "DB\\";
    ChartName = "Plan";
    ChartPath = "DB\\Plan.PFX";
  }
  ~StoreFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  // Native path of a file in the database folder.
  std::string Db(const std::string& name) const { return root_ + "/DB/" + name; }
  bool Exists(const std::string& name) const { return std::filesystem::exists(Db(name)); }
  std::uintmax_t Size(const std::string& name) const {
    std::error_code ec;
    return std::filesystem::file_size(Db(name), ec);
  }

 private:
  std::string root_;
};

}  // namespace zel::test
