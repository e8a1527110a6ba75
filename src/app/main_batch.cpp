// zel-batch: runs Zel's options from a terminal, without windows. The work is
// in app/batch.cpp; this only hands it the arguments and the terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/version.hpp"
#include "platform/program_files.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  zel::BatchRequest request;
  std::string err;
  if (!zel::ParseBatchArgs(args, &request, &err)) {
    std::fprintf(stderr, "zel-batch: %s\n\n%s", err.c_str(), zel::BatchHelp().c_str());
    return zel::kBatchRefused;
  }
  if (request.help) {
    std::fputs(zel::BatchHelp().c_str(), stdout);
    return zel::kBatchDone;
  }
  if (request.version) {
    const std::string data = zel::DataFolder();
    std::printf("zel-batch %s\ndane programu: %s\n", zel::kZelVersion,
                data.empty() ? "brak" : data.c_str());
    return zel::kBatchDone;
  }
  zel::BatchIo io;
  io.out = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); };
  io.err = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  };
  int code = zel::RunBatch(request, io);
  if (std::fflush(stdout) != 0 && code == zel::kBatchDone) code = zel::kBatchFailed;
  return code;
}
