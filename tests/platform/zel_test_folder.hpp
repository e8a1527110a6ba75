// A fresh Zel folder for one test: a temporary folder made current through
// SetZelFolder and removed with everything in it afterwards. Faults, the fixed
// clock and the drive table are reset on both ends.
#pragma once

#include <ftw.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/faults.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"

namespace zel::testing {

class ZelTestFolder {
 public:
  ZelTestFolder() {
    char tmpl[] = "/tmp/zel-test-XXXXXX";
    const char* made = mkdtemp(tmpl);
    EXPECT_NE(made, nullptr);
    root_ = made ? made : "/tmp";
    std::string err;
    EXPECT_TRUE(SetZelFolder(root_, &err)) << err;
    Reset();
  }
  ~ZelTestFolder() {
    Reset();
    nftw(
        root_.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
  ZelTestFolder(const ZelTestFolder&) = delete;
  ZelTestFolder& operator=(const ZelTestFolder&) = delete;

  const std::string& root() const { return root_; }
  std::string Native(const std::string& rel) const { return root_ + "/" + rel; }

  // Writes a native file below the folder (its folders must exist).
  void Put(const std::string& rel, const std::string& bytes) const {
    std::ofstream out(Native(rel), std::ios::binary);
    out << bytes;
  }
  std::string Get(const std::string& rel) const {
    std::ifstream in(Native(rel), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  static void Reset() {
    ClearFaults();
    SetClockForTests(nullptr);
    for (char c = 'A'; c <= 'Z'; ++c) SetDriveRoot(c, "");
  }
  std::string root_;
};

// Runs `body` in a child process and returns its exit status (0 = passed).
template <typename Body>
int RunChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int rc = body();
    _exit(rc);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

}  // namespace zel::testing
