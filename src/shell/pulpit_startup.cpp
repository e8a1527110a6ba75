// The start-up sequence of the desktop's second tick, the placing of the
// desktop, the temporary folder, the executable-name check and the loading
// of the database.
#include <algorithm>
#include <cmath>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {

const std::string_view kNine = "         ";

std::string FirstLine(const std::string& bytes) {
  return bytes.substr(0, bytes.find_first_of("\r\n"));
}

bool ReadSmallFile(std::string_view path, std::string* bytes) {
  File f;
  if (!f.Open(path, Access::kRead, Share::kDenyWrite)) return false;
  bool ok = f.ReadAll(bytes, 64 * 1024);
  f.Close();
  return ok;
}

}  // namespace

ExeCheck CheckExeName(PulpitSystem& sys, const std::string& program_path, std::string_view name) {
  std::size_t slash = program_path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : program_path.substr(0, slash + 1);
  std::string base = program_path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (base == name) return ExeCheck::kSameName;
  std::string target = folder + std::string(name);
  if (UpperPl(Utf8ToWin(base)) != UpperPl(Utf8ToWin(name))) {
    // Running under another name, as a freshly downloaded update does: the
    // old program gives way, the new one takes its name and starts again.
    if (FileOrFolderExists(target) && !RemoveFile(target)) {
      sys.Halt();
      return ExeCheck::kHalted;
    }
    bool renamed = RenameFile(program_path, target);
    if (renamed) sys.StartProgram(target, sys.Arguments());
    sys.Halt();
    return renamed ? ExeCheck::kRestarted : ExeCheck::kHalted;
  }
  RenameFile(program_path, target);
  return ExeCheck::kCaseFixed;
}

bool FPulpit::StartupSequence() {
  // Workstation mode from the first argument.
  std::vector<std::string> args = sys_.Arguments();
  int n = args.empty() ? 0 : ParseSmall(args[0]);
  if (n >= 1 && n <= 197) {
    NetworkMode = true;
    RunMode = static_cast<std::uint8_t>(n);
    StationExt = Concat({".", std::to_string(n + 1000).substr(1)});
    UserLetter = 'A';
  } else if (RunMode != 223 && !FileExists("!\\Login.txt")) {
    NetworkMode = false;
    RunMode = 220;
    StationExt = ".xxx";
    UserLetter = 'A';
  }

  // The database folder and the chart name.
  ReadDatabaseFolder(StationSettings);
  std::string db = StationSettings.dirx_folder.str();
  ChartName = StationSettings.dirx_chart;
  if (!StationSettings.short_folder.empty()) db = StationSettings.short_folder.str() + "\\";
  if (!StationSettings.short_chart.empty()) ChartName = StationSettings.short_chart;
  // A login or the command line may name the database and chart.
  if (!given_folder_.empty()) db = given_folder_ + "\\";
  if (!given_chart_.empty()) ChartName = given_chart_;
  for (std::size_t p; (p = db.find("\\\\")) != std::string::npos;) db.erase(p, 1);
  // A folder written without its closing backslash would glue the file names
  // of the database to the folder's name.
  if (!db.empty() && db.back() != '\\') db += '\\';
  DbDir = db;
  FormChartPath(DbSettings);

  ReadForWhom();

  ReadFonts(StationSettings);
  AltColours = StationSettings.window_font.style.view() == "----" && StationSettings.window_sizes[0] < 11;
  NormalColour = AltColours ? kAltDeskColour : kDeskColour;
  status_.colour = NormalColour;
  // The window font is known from here on, so the windows built next (the
  // menu's Jo) measure their texts in it.
  WindowFont.family = ResolveFontName(StationSettings.window_font.font.view(), sys_.InstalledFonts());
  WindowFont.size = StationSettings.window_sizes[0];
  WindowFont.bold = StationSettings.window_font.style.view() == "Bold";

  if (DeskWindow* list = windows_[kLisF45]) list->Frame().height = 0;
  for (Slot s : {kLisF45, kOknaF3, kMen, kZestaw, kRaport}) {
    if (windows_[s]) windows_[s]->Bo();
  }
  PlaceDesktop();

  WindowFrame menu = windows_[kMen] ? windows_[kMen]->Frame() : WindowFrame{};
  int next_left = menu.left + static_cast<int>(std::lround(0.75 * menu.width));
  int next_top = menu.top + static_cast<int>(std::lround(0.75 * menu.height));
  NextLeft = static_cast<std::int16_t>(next_left > ClientWidth() ? 1 : next_left);
  NextTop = static_cast<std::int16_t>(next_top > ClientHeight() ? 1 : next_top);

  ReadBookYear();
  ReadFirmSettings(DbSettings);
  links_->zRejZmie();
  FormChartPath(DbSettings);

  TrashDir = "Kosz\\";
  if (!ChooseTempDir()) {
    // Without a working folder nothing can run; say so instead of vanishing.
    sys_.Fatal("Nie ma folderu na pliki robocze (Temp)"_w);
    return false;
  }

  links_->SetCurrentOption(0);
  if (view_) view_->SetApplicationTitle("  Zel " + ForWhom.str() + " ");
  return true;
}

void FPulpit::PlaceDesktop() {
  DeskWindow* menu = windows_[kMen];
  if (menu) menu->Jo();
  int sw = sys_.ScreenWidth(), sh = sys_.ScreenHeight();
  window_text_.clear();
  if (RunMode == 222) {
    frame_.left = sw / 5;
    frame_.width = 3 * (sw / 5);
    frame_.top = sh / 5;
    frame_.height = 3 * (sh / 5);
  } else if (RunMode == 223) {
    frame_.left = -222;
    frame_.width = 222;
    frame_.top = 0;
    frame_.height = 0;
  } else {
    if (menu) {
      menu->Frame().left = 8;
      menu->Frame().top = 1;
    }
    if (AltColours) desk_colour_ = kAltDeskColour;
    LoadPosition("Pulpit", 5, 5);
    frame_.left = NextLeft;
    frame_.top = NextTop;
    frame_.width = sw - 10;
    frame_.height = sh - 30;
    ReadSetting(false, "PulpitWH");
    if (SettingNumber(1) > 0 && SettingNumber(2) > 0) {
      frame_.width = SettingNumber(1);
      frame_.height = SettingNumber(2);
    }
    window_text_ = "Okno: " + IntTextOrEmpty(frame_.left) + "-" +
                   IntTextOrEmpty(frame_.left + frame_.width - 1) + " " +
                   IntTextOrEmpty(frame_.top) + "-" +
                   IntTextOrEmpty(frame_.top + frame_.height - 1);
  }
  LayoutCorner();
}

void FPulpit::LayoutCorner() {
  std::string_view sample = "31-12 12:00";
  int h = metrics_ ? metrics_->TextHeight(sample) : 16;
  int w = metrics_ ? metrics_->TextWidth(sample) : static_cast<int>(sample.size()) * 8;
  corner_height_ = std::max(h + 5, 25);
  corner_width_ = w + 9;
  Refresh();
}

bool FPulpit::ProbeTempDir(std::string_view candidate) {
  std::string dir = std::string(candidate) + "\\";
  std::string first = dir + "{-!-}" + StationExt.str();
  std::string second = dir + "{-!!-}" + StationExt.str();
  bool ok = false;
  {
    File f;
    ok = f.Open(first, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew) &&
         f.WriteAt(0, "!", 1);
    ok = f.Close() && ok;
  }
  ok = ok && RenameFile(first, second);
  if (ok) {
    File f;
    std::string back;
    ok = f.Open(second, Access::kRead, Share::kDenyWrite) && f.ReadAll(&back, 16) && back == "!";
    f.Close();
  }
  // Whatever step failed, no probe file stays behind.
  if (IsFile(second)) ok = RemoveFile(second) && ok;
  if (IsFile(first)) RemoveFile(first);
  return ok;
}

bool FPulpit::ChooseTempDir() {
  for (std::string pointer : {"#\\Temp" + StationExt.str(), std::string("#\\Temp")}) {
    std::string bytes;
    if (!IsFile(pointer) || !ReadSmallFile(pointer, &bytes)) continue;
    std::string candidate = FirstLine(bytes);
    if (!candidate.empty() && candidate.back() == '\\') candidate.pop_back();
    if (!candidate.empty() && ProbeTempDir(candidate)) {
      TempDir = candidate + "\\";
      return true;
    }
    break;
  }
  for (const char* fixed : {"E:\\Temp", "D:\\Temp", "C:\\Temp"}) {
    MakeFolder(fixed);
    if (ProbeTempDir(fixed)) {
      TempDir = std::string(fixed) + "\\";
      return true;
    }
  }
  for (char drive : ExistingDrives()) {
    char d = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
    if (d < 'C' || d > 'Z') continue;
    std::string root = std::string(1, d) + ":\\";
    for (const FoundFile& entry : FindFiles(root + "*")) {
      if (!entry.is_folder) continue;
      std::string candidate = root + entry.name + "\\Kosz";
      MakeFolder(candidate);
      if (ProbeTempDir(candidate)) {
        TempDir = candidate + "\\";
        return true;
      }
    }
  }
  return false;
}

void FPulpit::LoadDatabase() {
  if (RunMode == 223) {
    caption_ = " Zel - test bazy danych";
  } else {
    caption_ = std::string(kNine) + "Zel" + std::string(kNine) + "Kelto - Finansowo-Księgowy"_w +
               std::string(kNine) + ChartPath.str() + std::string(kNine) + FirmName.str() +
               std::string(kNine) + "ID" + StationExt.str() + std::string(kNine) + window_text_;
    if (!DbSettings.chart_dir.empty() && DbSettings.chart_dir.view() != DbDir.view()) {
      caption_ += "       " + DbDir.str();
    }
  }
  wait_panel_text_ = "Proszę czekać, wczytuję bazę danych"_w;
  wait_panel_shown_ = true;
  links_->EnableMenu(false);
  Refresh();
  ProcessMessages();
  double start = sys_.Seconds();
  links_->LoadChart();
  double took = sys_.Seconds() - start;
  wait_panel_shown_ = false;
  links_->EnableMenu(true);
  if (took > 0.01) {
    ShowStatus(LastMessage() + "  " + Amount13x4(static_cast<Amount>(took)) + " s", kInfo);
  }
  Refresh();
}

}  // namespace zel
