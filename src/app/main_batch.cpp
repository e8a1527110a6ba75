// zel-batch: runs Zel's options from a terminal, without windows.
#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "zel-batch [--db DIR] [--station N] [--today DD-MM-YYYY] OPTION [CODE=VALUE ...]\n"
    "          [--out FILE] [--jpk]\n"
    "\n"
    "Runs one Zel option without windows: each CODE=VALUE is typed into the\n"
    "option's field with that code, the option runs, and its report is printed\n"
    "as text (or written to FILE).\n"
    "\n"
    "Exit codes: 0 done, 2 a field or parameter was refused, 1 other failures.\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
  }
  std::fputs("zel-batch: żadna opcja nie jest jeszcze dostępna (--help)\n", stderr);
  return 1;
}
