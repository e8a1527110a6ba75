// The chart-of-accounts record: 250 bytes per account version in the chart
// file (".PFX"), an append-only log in which the latest record of a symbol
// wins and a record with an empty name deletes the symbol. Also the records
// of the two older formats converted on first use: the old chart ".TFK"
// (97 bytes) and the contractor lists ".trz" (121 bytes).
//
// Decoding clamps length bytes and never fails; encoding writes zeros after
// every text and in the reserved bytes. Texts are kept as they stand: DOS
// Mazovia in the file, Windows-1250 in the in-memory table (the table's
// loader converts them, see chart.hpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"
#include "store/journal_entry.hpp"

namespace zel {

inline constexpr std::size_t kAccountRecordSize = 250;
inline constexpr std::size_t kOldChartRecordSize = 97;
inline constexpr std::size_t kContractorRecordSize = 121;

// When and by whom a record was written.
struct Stamp {
  DayNo day = 0;               // +0, 2, u16
  std::uint16_t minutes = 0;   // +2, 2, u16, minutes since midnight
  std::array<char, 3> user{};  // +4, 3, first three characters of the user's code
};

struct AccountRecord {
  AccountSymbol symbol;     // 0, 26, string[25], ASCII; the key
  std::uint8_t status = 0;  // 26, 1, written as 1, not read
  FixedText<50> name;       // 27, 51, string[50]; empty = deleted
  FixedText<50> address;    // 78, 51, string[50]
  FixedText<50> extra;      // 129, 51, string[50]
  FixedText<15> nip;        // 180, 16, string[15]
  char attribute = 0;       // 196, 1, one character
  FixedText<15> shortName;  // 197, 16, string[15]; "!X" defines, "^X" uses structure X
                            // 213, 1, reserved
  FixedText<15> spare;      // 214, 16, string[15]
                            // 230, 5, reserved
  Stamp written;            // 235, 7, stamp
  Stamp changed;            // 242, 7, stamp, written as zero
                            // 249, 1, reserved
};

AccountRecord DecodeAccountRecord(const std::uint8_t* p);
// The same into an existing record (no temporary; the loader's fast path).
void DecodeAccountRecord(const std::uint8_t* p, AccountRecord* out);
void EncodeAccountRecord(const AccountRecord& r, std::uint8_t* p);
std::array<std::uint8_t, kAccountRecordSize> EncodeAccountRecord(const AccountRecord& r);

// Converts the six texts (name, address, extra, NIP, short name, spare)
// between the file's DOS Mazovia and Windows-1250.
void AccountTextsToWin(AccountRecord& r);
// The byte-for-byte table behind AccountTextsToWin (DosToWin of each byte).
const std::array<char, 256>& DosToWinTable();
void AccountTextsToDos(AccountRecord& r);

// "name, address, NIP" as the lists show it: ", " + address when it is not
// empty, ", " + NIP when it is not empty (capacity 250).
std::string FullName(const AccountRecord& r);

// The old chart record (".TFK", 97 bytes).
struct OldChartRecord {
  FixedText<12> symbol;     // 0, 13, string[12]
  FixedText<12> shortName;  // 13, 13, string[12]
  FixedText<70> name;       // 26, 71, string[70]
};
OldChartRecord DecodeOldChartRecord(const std::uint8_t* p);
void EncodeOldChartRecord(const OldChartRecord& r, std::uint8_t* p);

// The contractor list record (".trz", 121 bytes).
struct ContractorRecord {
  FixedText<18> symbol;     // 0, 19, string[18]
  FixedText<15> nip;        // 19, 16, string[15]
  FixedText<12> shortName;  // 35, 13, string[12]
  FixedText<70> name;       // 48, 71, string[70]
                            // 119, 2, not read
};
ContractorRecord DecodeContractorRecord(const std::uint8_t* p);
void EncodeContractorRecord(const ContractorRecord& r, std::uint8_t* p);

// Splits an old 70-character name into a name of at most 50 characters and
// an address: at the first comma that leaves fewer than 50 characters after
// it, else after the last space within 50, else at 50; the address is the
// next 50 characters without leading spaces.
void SplitOldName(std::string_view text, FixedText<50>* name, FixedText<50>* address);

}  // namespace zel
