// The workstation registry "!\!.!": 200 records of 250 bytes, record n
// belonging to workstation n, in which numbered workstations note the user
// or chart they use and the objects they work on, so that the others are
// warned before they touch the same object.
//
// Every command holds the file exclusively (with the retries of the shared
// file access) from its read through the check to its write, and writes only
// the records that changed, so two workstations never overwrite each other
// and never both take one '#' object. A conflict with a workstation that no
// longer runs (its lock can be taken) clears that workstation's record
// instead of refusing. Texts are kept whole where they fit; a longer text
// (an absolute path) is stored as its readable tail and a hash of the whole,
// so two paths never share a key. Texts compare without regard to case.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

inline constexpr int kRegistryRecords = 200;
inline constexpr std::size_t kRegistryRecordSize = 250;
inline constexpr std::size_t kRegistrySize = kRegistryRecords * kRegistryRecordSize;
inline constexpr char kRegistryPath[] = "!\\!.!";
inline constexpr char kTakenMark = '\xFE';

// One record, decoded.
struct RegistryRecord {
  std::string user;                    //   0: length byte + 30, user or chart; "\xFE" = taken
  std::string text25;                  //  31: length byte + 25
  std::array<std::string, 6> recent;   //  57: six of length byte + 15, most recent first
  std::array<char, 3> kinds{};         // 153: three of kind + length byte + 30,
  std::array<std::string, 3> objects;  //      the objects in use, most recent first

  bool Empty() const;
  void Encode(char* out) const;                  // 250 bytes
  static RegistryRecord Decode(const char* in);  // 250 bytes; long lengths clamped
};

// The key a text is stored under in a field of `width` characters: the text
// itself when it fits, else its tail, "~" and a hash of the whole text.
std::string RegistryKey(std::string_view text, std::size_t width);

enum class RegisterOutcome {
  kWritten,    // this workstation's record changed
  kUnchanged,  // accepted, nothing to change
  kRefused,    // another running workstation uses the text, or a bad command
  kFailed,     // the registry could not be opened or written
  kNotUsed,    // not a numbered workstation: the registry is not used
};

// The command on this workstation's record (RunMode, when NetworkMode):
// '!' user or chart, '#' '+' '@' an object, '-' release an object, '$' the
// 25-character text, 'D' / 'd' the six-text list, '?' mark the record taken.
RegisterOutcome RegisterCommand(char command, std::string_view text);

// The short answer callers rely on: false when the record was written, else the NetworkMode
// of entry (true for a refused or unchanged command of a numbered
// workstation, false where the registry is not used).
bool RegisterUse(char command, std::string_view text);

// Clears this workstation's whole record (the program ends).
void ReleaseStationRecord();

// Makes sure "!\!.!" exists as 50000 bytes (created new, else opened; never
// emptied) and clears, under its exclusive lock, every non-empty record of
// a workstation that does not run at that moment. False when the file can
// neither be found nor created.
bool ClearStoppedRecords();

// The record of workstation n as the file holds it now (tests, display);
// empty when the file cannot be read.
RegistryRecord ReadRegistryRecord(int n);
// This workstation's entries after its last command, joined for display.
const std::string& RegistrySummary();

// Called with "Powtórzony Użytkownik" when '?' finds the record already
// used; the desktop installs its Fatal. nullptr: only the status line.
using RegistryFatal = void (*)(std::string_view message);
void SetRegistryFatal(RegistryFatal fatal);

}  // namespace zel
