// Shared file access: the sharing mode of the next open, the retry countdown
// of a protected open, and the small file questions every part asks.
//
// A protected open sets AccessMode (RetryCounter becomes 111), tries the
// open, and asks RetryOpen whether to stop; while RetryOpen answers false it
// tries again. RetryOpen pauses 1..99 ms between attempts and counts down in
// the status line ("@110 name z context"); after the loop the open succeeded
// exactly when RetryCounter is not 0. ProtectedOpen wraps that loop. The
// state here is the shell's and lives for one protected open; everything
// runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/types.hpp"
#include "platform/file.hpp"

namespace zel {

// The sharing mode of the next open; back to Share::kDenyNone (the default
// read-write mode) after every protected operation.
extern Share AccessMode;
extern std::uint8_t RetryCounter;

inline constexpr std::uint8_t kRetryStart = 111;

// Sets AccessMode and RetryCounter = 111.
void SetAccessMode(Share mode);

// Judges the open just attempted (LastIoError of the platform layer): true =
// stop trying, false = try again. name is cut to 50 characters, context to
// 30; the countdown shows "@", the counter, a space and name + " z " +
// context cut together to 50.
bool RetryOpen(std::string_view name, std::string_view context);

// True when the last file operation succeeded; AccessMode back to default.
bool IoOk();

// The pause between two attempts (ms, 1..99). Tests install one that does
// not sleep; nullptr restores the real sleep. Returns nothing.
void SetRetryPause(std::function<void(int ms)> pause);

// One pause of the retry loop (random 1..99 ms, or the installed pause), for
// callers that retry something other than an open (a registry refusal).
void RetryPauseOnce();

// The whole loop: SetAccessMode(share), then open and RetryOpen until it
// stops. True when the file is open. The countdown names the Zel path. A
// missing file is retried like a locked one (another workstation may be
// replacing it): ask FileExists first where a missing file is no surprise.
bool ProtectedOpen(File& file, std::string_view zel_path, Access access, Share share,
                   Disposition disposition, std::string_view context);

// Message flags of FileExists.
inline constexpr std::uint8_t kSayMissing = 1;  // "Nie ma " + name when missing
inline constexpr std::uint8_t kSayPresent = 2;  // "0becny " + name when present (any value > 1)

// True when the file at the Zel path exists (a folder is not a file); never
// fails and leaves LastIoError alone.
bool FileExists(std::string_view name, std::uint8_t flags = 0);

struct ServerClock {
  DayNo day = 0;    // today
  int minutes = 0;  // time of day, hours * 60 + minutes
};
// Today and the time of day as the shared folder "!" sees them (a file
// created there, its modification time read); the local clock when the
// folder cannot be written.
ServerClock ServerDate();

// The first existing path of: DbDir + name, "#\" + name, "!FX!\" + name,
// "!\" + name; else the bare name. Cut to 70 characters.
std::string LocateFile(std::string_view name);

}  // namespace zel
