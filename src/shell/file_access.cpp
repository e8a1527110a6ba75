#include "shell/file_access.hpp"

#include <chrono>
#include <random>
#include <thread>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

Share AccessMode = Share::kDenyNone;
std::uint8_t RetryCounter = kRetryStart;

namespace {

std::function<void(int)> retry_pause;

void Pause(int ms) {
  if (retry_pause) {
    retry_pause(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

int RandomPause() {
  static std::minstd_rand rng(std::random_device{}());
  return std::uniform_int_distribution<int>(1, 99)(rng);
}

}  // namespace

void SetAccessMode(Share mode) {
  AccessMode = mode;
  RetryCounter = kRetryStart;
}

void SetRetryPause(std::function<void(int ms)> pause) {
  retry_pause = std::move(pause);
}

void RetryPauseOnce() {
  Pause(RandomPause());
}

bool RetryOpen(std::string_view name, std::string_view context) {
  if (LastIoOk()) {
    if (RetryCounter < kRetryStart) ShowStatus("", kInfo);
    AccessMode = Share::kDenyNone;
    return true;
  }
  if (RetryCounter > 0) --RetryCounter;
  if (RetryCounter > 0) {
    Pause(RandomPause());
    std::string what(name.substr(0, 50));
    what += " z ";
    what += context.substr(0, 30);
    if (what.size() > 50) what.resize(50);
    ShowStatus(Concat({"@", IntTextOrEmpty(RetryCounter), " ", what}), kWarning);
    return false;
  }
  ShowStatus("", kInfo);
  AccessMode = Share::kDenyNone;
  return true;
}

bool IoOk() {
  AccessMode = Share::kDenyNone;
  return LastIoOk();
}

bool ProtectedOpen(File& file, std::string_view zel_path, Access access, Share share,
                   Disposition disposition, std::string_view context) {
  SetAccessMode(share);
  for (;;) {
    file.Open(zel_path, access, share, disposition);
    if (RetryOpen(zel_path, context)) break;
  }
  return RetryCounter != 0 && file.IsOpen();
}

bool FileExists(std::string_view name, std::uint8_t flags) {
  const std::string_view cut = name.substr(0, 80);
  const bool there = IsFile(cut);
  if (!there && flags == kSayMissing) ShowStatus("Nie ma " + std::string(cut), kWarning);
  if (there && flags > kSayMissing) ShowStatus("0becny " + std::string(cut), kWarning);
  return there;
}

ServerClock ServerDate() {
  DateTime when = Now();
  const std::string probe = "!\\Tmp" + std::string(StationExt.view());
  File f;
  if (f.Open(probe, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways) &&
      f.WriteAt(0, "x", 1)) {
    FileInfo info;
    if (GetFileInfo(probe, &info)) when = info.modified;
    f.Close();
    RemoveFile(probe);
  } else if (f.IsOpen()) {
    f.Close();
    RemoveFile(probe);
  }
  SetLastIoError(IoError::kNone);
  const std::string ddmmyy = TwoDigits(static_cast<std::uint8_t>(when.day)) +
                             TwoDigits(static_cast<std::uint8_t>(when.month)) +
                             TwoDigits(static_cast<std::uint8_t>(when.year % 100));
  return ServerClock{DayFromDdMmYy(ddmmyy), when.hour * 60 + when.minute};
}

std::string LocateFile(std::string_view name) {
  const std::string n(name.substr(0, 70));
  const std::string candidates[] = {std::string(DbDir.view()) + n, "#\\" + n, "!FX!\\" + n,
                                    "!\\" + n};
  for (const std::string& c : candidates) {
    if (IsFile(c)) return c.substr(0, 70);
  }
  return n;
}

}  // namespace zel
