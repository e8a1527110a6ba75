// The settings record files: one line per record, a space, the key, " = "
// and the value, whose fields are separated by ";".
//
// Two files share the layout: the workstation file "#\Zel.BAL" and the
// database file DbDir + "Zel.BAL". A key without a "." is per workstation:
// StationExt is appended before it is normalised (letters, digits, "." and
// "?" kept, upper-cased, at most 12), both on reading and on writing. A "?"
// in a stored key matches any character. ReadSetting keeps the fields of
// the last read for SettingField / SettingNumber / SettingYes. Files are
// never held open; a write replaces the file atomically (written beside,
// renamed over it), so a reader sees the old or the new file, never neither.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zel {

inline constexpr int kSettingFields = 9;
inline constexpr std::size_t kSettingValueSize = 70;
inline constexpr std::size_t kSettingFieldSize = 80;
inline constexpr std::size_t kSettingKeySize = 12;

// "#\Zel.BAL", or DbDir + "Zel.BAL" for the database file.
std::string SettingsPath(bool database_file);

// The normalised form of a key as it is compared (no StationExt added).
std::string NormalizeKey(std::string_view key);
// The wanted key: StationExt appended when it holds no ".", then normalised.
std::string WantedKey(std::string_view key);
// A stored normalised key matches the wanted one: same length, equal
// character by character, a "?" in the stored key matching anything.
bool KeyMatches(std::string_view stored, std::string_view wanted);

// The record's whole value (70), empty when the file or the record is missing
// or the file stays locked through the retries (context "aPulpit:zRej").
std::string ReadSetting(bool database_file, std::string_view key);
// Whether the last ReadSetting found its record.
bool SettingFound();
std::string SettingField(int n);  // field n (1..9) of the last read, 80
// Field n up to 250 characters, for the folder fields (DirxBaza).
std::string SettingFieldWide(int n);
std::int16_t SettingNumber(int n);  // field n read with ParseSmall
bool SettingYes(int n);             // field n is exactly "T"

// Replaces or adds the record (value up to 250 characters, so long folders
// survive). Nothing happens while StationExt is empty (before login) or when
// the record already holds the value. A lost change (file locked through the
// retries, a write error) leaves the old file whole.
void WriteSetting(bool database_file, std::string_view key, std::string_view value);

// The wait for a settings file that is briefly missing (7 waits of 333 ms).
// Tests install one that does not sleep; nullptr restores the real sleep.
void SetSettingsWait(std::function<void(int ms)> wait);

}  // namespace zel
