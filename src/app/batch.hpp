// zel-batch: one option run from a terminal, on the same road the desktop
// takes from OpenOption on, only without views.
//
// RunBatch sets up the shell state as the desktop's start-up does (the Zel
// folder, the workstation, the database folder and its settings, Today, the
// chart), makes the option current, builds its parameter window (FZestaw,
// Go(1)), types each CODE=VALUE into the field with that code through the
// window (its completion and checks), in the order of the window's fields,
// and runs the option with the window's Go. The report comes back as plain
// text; with the JPK flag the JPK file is assembled from the run's fragments.
//
// Texts: the request holds what the terminal gave (UTF-8); everything the
// sinks receive is UTF-8 too. Inside, the program's texts are Windows-1250.
// The run changes the process's global state (current folder, the shell
// state, the report document); one RunBatch per process is the normal use,
// and tests that call it several times get a fresh setup each time. Unlike
// the desktop's close, the end of a run writes no settings back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zel {

// Exit codes of zel-batch.
inline constexpr int kBatchDone = 0;
inline constexpr int kBatchFailed = 1;
inline constexpr int kBatchRefused = 2;  // a field, parameter or argument was refused

struct BatchRequest {
  std::string home;     // Zel folder (native); empty: $ZEL_HOME or the default
  std::string db;       // --db: database folder (native); empty: the settings'
  int station = 0;      // --station 1..197; 0: single workstation
  std::string login;    // --login LOGIN:PASSWORD against "!\Login.txt"; empty: none
  std::string today;    // --today DD-MM-YYYY; empty: the clock
  std::string option;   // option code ("ZOiSa") or menu key ("EA")
  std::vector<std::pair<std::string, std::string>> values;  // CODE=VALUE, as typed
  std::string out;      // --out FILE (native; .txt, .pdf, .xlsx; "-" the output sink)
  bool landscape = false;    // --landscape: PDF and printer pages across
  bool show_fields = false;  // --fields: print the filled window, do not run
  std::int64_t first = 1;    // --rows FIRST..LAST: the range of the report's rows
  std::int64_t last = 0;     // 0: to the last row
  std::string time;          // --time HH:MM for the stamps; empty: the clock
  std::string printer;       // --printer NAME: print on that queue
  bool jpk = false;     // --jpk: assemble the JPK file after the run
  bool help = false;    // --help
  bool version = false;  // --version
  std::string answers;  // --answers TNP...: the answers to the run's questions, in order
  std::string list;     // --list KIND[:PATTERN] or field code: print a hint list instead
  std::string typed;    // --typed TEXT: the list opens at this text
  std::string filter;   // --filter TEXT: the list in filter mode (F5)
  bool filter_given = false;
  int f3 = 0;           // --f3 CODE: fill the F3 window of this code with the CODE=VALUEs
  bool go = false;      // --go: save it
  std::string view;     // --view SCRIPT: draw a viewer script file (native path)
  std::string action;   // --action CODE: the copies of --view ("e" when not given)
  std::vector<std::string> rows;  // --row "KoWn;KoMa;Kwot;NrTr;ReVa;Term;Opis": Dekre's lines
  bool delete_document = false;   // --delete: Dekre deletes the document NDow
};

// Parses zel-batch's arguments (without the program name). False with a
// message (UTF-8) in *err for an argument that cannot be taken.
bool ParseBatchArgs(const std::vector<std::string>& args, BatchRequest* request, std::string* err);

// The help text (UTF-8).
std::string BatchHelp();

// Where the run's texts go (UTF-8): the report text (or, with --out, nothing)
// and the JPK file's path line on `out`; warnings of the status line and the
// batch's own messages, one line each, on `err`.
class PrintTargets;
struct BatchIo {
  std::function<void(std::string_view)> out;
  std::function<void(std::string_view)> err;
  // The machine's printers and PDF files, asked for only when a run prints
  // or writes a PDF; nullptr (or no function) when this program has none.
  std::function<PrintTargets*()> print_targets;
};

// Runs the request; answers the exit code (kBatchDone, kBatchFailed,
// kBatchRefused).
int RunBatch(const BatchRequest& request, const BatchIo& io);

}  // namespace zel
