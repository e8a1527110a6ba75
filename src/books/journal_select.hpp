// Splitting a journal file in two, and changing documents of a working file.
//
// A split reads a file and writes the records that match a criterion to one
// new file and the rest to another, each in the source's order; the source
// stays as it was. A control record goes where the posting before it of the
// same document went (to the rest when it has none), so a document and its
// control total stay together.
//
// A change rewrites the working file with the selected documents changed:
// a new document number, numbers shifted by a value, a new booking date,
// due dates moved by days, or the source-file name set. Records of a selected
// document change together, its control record included; nothing else of a
// record changes, not even bytes this program does not read.
//
// Both write beside their targets and rename over them; a refusal or a
// failure leaves every file as it was and says why in colour 0.
#pragma once

#include <string>
#include <vector>

#include "common/types.hpp"
#include "fields/option_services.hpp"

namespace zel {

class ChartTable;

inline constexpr int kFieldRoczSplit = 42;
inline constexpr int kFieldRob1 = 74;
inline constexpr int kFieldRob2 = 75;
inline constexpr int kFieldZrod = 103;
inline constexpr int kFieldText = 104;
inline constexpr int kFieldKonW = 71;
inline constexpr int kFieldRoboChange = 69;
inline constexpr int kFieldDowW = 76;
inline constexpr int kFieldDoOdChange = 77;
inline constexpr int kFieldDoNo = 105;
inline constexpr int kFieldDowF = 106;
inline constexpr int kFieldDowG = 107;
inline constexpr int kFieldDatD = 70;
inline constexpr int kFieldTeWn = 108;
inline constexpr int kFieldTeMa = 109;
inline constexpr int kFieldDaOdSplit = 65;

// Which documents: masks ("?" one character, "*" any tail) and a range of
// numbers; all empty selects nothing.
struct DocumentChoice {
  std::vector<std::string> masks;  // short form, as typed
  std::string first;               // DoOd
  std::string last;                // DoDo
  bool Empty() const { return masks.empty() && first.empty() && last.empty(); }
  // Masks expanded once (call before Selects).
  void Prepare();
  bool Selects(std::string_view number) const;

 private:
  std::vector<std::string> expanded_;
};

enum class SplitBy { kSourceFile, kAccounts, kDocuments, kBookingDates, kAccountName };

struct SplitParams {
  SplitBy by = SplitBy::kSourceFile;
  std::string source_name;  // Rocz
  std::string rob1;         // matching records
  std::string rob2;         // the rest
  std::string text;         // source-file name (Zrod) or part of an account name (Text)
  std::vector<std::string> account_masks;  // KonW, short form
  DocumentChoice documents;
  DayNo from = 0, to = 0;   // booking dates
  ChartTable* chart = nullptr;  // account names; nullptr: the program's chart
};

// WWgZb, WWgSK, WWgND, WWgDK, WWgNK. Asks "Zastąpić" when an output exists.
bool SplitJournal(const SplitParams& p, OptionServices& window);

enum class ChangeKind { kNumber, kShift, kBookingDate, kDueDates, kSourceFile };

struct ChangeParams {
  ChangeKind kind = ChangeKind::kNumber;
  std::string working_name;  // Robo
  DocumentChoice documents;  // not used by kSourceFile (every record)
  std::string new_number;    // DoNo
  std::string fragment;      // DowF: the part to shift in "[ ]", e.g. "FV24/[000000]"
  std::string shift;         // DowG: signed whole number
  DayNo new_date = 0;        // DatD
  std::string debit_days;    // TeWn
  std::string credit_days;   // TeMa
};

// ZmiND, PrzND, ZmiDK, ZmiTe, ZmiZZ. Asks "Zmienić" (Tak goes on).
bool ChangeDocuments(const ChangeParams& p, OptionServices& window);

}  // namespace zel
