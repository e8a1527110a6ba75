// zel-demo: writes a sample firm year (or a large year for benchmarks) as a
// database folder.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "app/demo_imports.hpp"
#include "app/demo_stations.hpp"
#include "app/version.hpp"
#include "common/cp1250.hpp"
#include "platform/paths.hpp"
#include "shell/settings.hpp"
#include "shell/status.hpp"

namespace {

const char kHelp[] =
    "zel-demo DIR [--year 2024] [--postings N] [--seed S] [--station-settings]\n"
    "         [--audit-faults] [--settlement-cases] [--stations] [--import-files]\n"
    "\n"
    "Writes into the folder DIR a complete book year of a fictitious firm: the\n"
    "database settings, the chart of accounts, the annual and the working\n"
    "journal, VAT registers and the taxpayer files. The same seed always gives\n"
    "the same files. --postings N writes a year of about N postings instead of\n"
    "the sample year; --station-settings also points this workstation's\n"
    "settings (in the Zel folder) at DIR. --audit-faults writes the sample year\n"
    "for the annual-file audit: cost centres the audit reads and a few deliberate\n"
    "faults for it to find. --settlement-cases adds three December customers\n"
    "whose invoices and payments test the settlement reports. --stations (DIR\n"
    "inside the Zel folder) prepares several workstations: the login file\n"
    "!\\Login.txt (ADMIN/admin role A, KSIEGOWA/ksiegowa role K, GOSC/gosc an\n"
    "unknown role on a second database DIR-2), settings for every workstation\n"
    "and a second chart PlanDrug. --import-files writes, into DIR/Import, the\n"
    "dBase files Konta.dbf and Ksiega.dbf (code page 852) that option SzDbf\n"
    "imports (SzDbf Scie=C:\\ with drive C mapped above DIR/Import).\n";

// Status messages go to the terminal.
class TerminalStatus : public zel::StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t colour) override {
    if (colour == zel::kWarning)
      std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(text).c_str());
  }
  void Clear() override {}
};

bool ParseNumber(const char* text, long long lo, long long hi, long long* out) {
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

int Usage(const char* message) {
  std::fprintf(stderr, "zel-demo: %s\n\n%s", message, kHelp);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  zel::DemoOptions options;
  std::string dir;
  bool stations = false;
  bool import_files = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    long long v = 0;
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("zel-demo %s\n", zel::kZelVersion);
      return 0;
    } else if (a == "--station-settings") {
      options.station_settings = true;
    } else if (a == "--audit-faults") {
      options.audit_faults = true;
    } else if (a == "--settlement-cases") {
      options.settlement_cases = true;
    } else if (a == "--stations") {
      stations = true;
    } else if (a == "--import-files") {
      import_files = true;
    } else if (a == "--year" || a == "--postings" || a == "--seed") {
      if (i + 1 >= argc) return Usage("brak wartości po opcji");
      const char* value = argv[++i];
      if (a == "--year") {
        if (!ParseNumber(value, 1990, 2038, &v)) return Usage("rok musi leżeć w latach 1990..2038");
        options.year = static_cast<int>(v);
      } else if (a == "--postings") {
        if (!ParseNumber(value, 0, 20000000, &v)) return Usage("liczba dekretów: 0..20000000");
        options.postings = v;
      } else {
        if (!ParseNumber(value, 0, 0x7FFFFFFFFFFFFFFFll, &v))
          return Usage("ziarno: liczba nieujemna");
        options.seed = static_cast<std::uint64_t>(v);
      }
    } else if (!a.empty() && a[0] == '-') {
      return Usage("nieznana opcja");
    } else if (dir.empty()) {
      dir = std::string(a);
    } else {
      return Usage("podano więcej niż jeden folder");
    }
  }
  if (dir.empty()) return Usage("nie podano folderu");
  if (options.audit_faults && options.postings > 0)
    return Usage("--audit-faults tylko w przykładowym roku (bez --postings)");

  TerminalStatus status;
  zel::SetStatusSink(&status);
  // Nobody else is writing these files: no waiting for missing ones.
  zel::SetSettingsWait([](int) {});

  std::error_code ec;
  const std::string native = std::filesystem::absolute(dir, ec).lexically_normal().string();
  std::string err;
  if (ec || !zel::SetZelFolder(zel::DefaultZelFolder(), &err)) {
    std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(err).c_str());
    return 1;
  }
  std::string db_dir = zel::Utf8ToWin(native);
  while (db_dir.size() > 1 && db_dir.back() == '/') db_dir.pop_back();
  db_dir += "\\";

  const auto start = std::chrono::steady_clock::now();
  const zel::DemoYear year = zel::BuildDemoYear(options);
  const auto built = std::chrono::steady_clock::now();
  if (!zel::WriteDemoYear(year, db_dir, &err)) {
    std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(err).c_str());
    return 1;
  }
  if (stations && !zel::WriteStationsDemo(db_dir, options, &err)) {
    std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(err).c_str());
    return 1;
  }
  if (import_files) {
    std::filesystem::create_directories(native + "/Import", ec);
    if (ec || !zel::WriteDemoImportDbfs(native + "/Import", 40, &err)) {
      std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(err).c_str());
      return 1;
    }
  }
  if (options.station_settings && !zel::WriteStationSettings(db_dir, &err)) {
    std::fprintf(stderr, "zel-demo: %s\n", zel::WinToUtf8(err).c_str());
    return 1;
  }
  const auto done = std::chrono::steady_clock::now();
  auto ms = [](auto a, auto b) {
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count());
  };

  std::printf("%s: %lld dekretów, %zu kont, dokumenty:", native.c_str(),
              static_cast<long long>(zel::PostingCount(year)), year.accounts.size());
  for (const auto& [kind, n] : year.documents_by_kind) std::printf(" %s %d", kind.c_str(), n);
  std::printf("; rejestry VAT:");
  for (const zel::DemoRegister& r : year.registers) {
    std::printf(" %s(%c) %zu", zel::WinToUtf8(r.code).c_str(), r.kind, r.entries.size());
  }
  std::printf("\n");
  if (!year.unbalanced_document.empty()) {
    std::printf("celowo niezbilansowany dokument: %s; niezgodna suma kontrolna: %s\n",
                year.unbalanced_document.c_str(), year.wrong_control_document.c_str());
  }
  std::printf("czas: budowa %lld ms, zapis %lld ms\n", ms(start, built), ms(built, done));
  return 0;
}
