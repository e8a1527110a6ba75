// What the desktop needs from around it, as interfaces, so that the desktop
// form never blocks, never touches a toolkit and can be driven by tests:
//   - PulpitSystem: the screen, the installed fonts, the command line, the
//     program's own file and version, starting a program and ending the
//     process (files go through the platform layer, the clock is Now());
//   - PulpitView: whoever draws the desktop (the Qt main window, or a test);
//   - Asker: the answer dialog (the Qt side runs a nested event loop, tests
//     answer from a script);
//   - PulpitLinks: the layers above the shell (menu tree, parameter window,
//     chart store, the bPulpit hooks), which the shell cannot call directly.
// The desktop keeps plain pointers to all of them; their owners outlive it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/pulpit_window.hpp"

namespace zel {

class PulpitSystem {
 public:
  virtual ~PulpitSystem() = default;

  virtual double Seconds() = 0;   // a monotonic clock, for load times
  virtual int Random(int n) = 0;  // 0..n-1
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // Installed font families (Windows-1250), in the order the system lists them.
  virtual std::vector<std::string> InstalledFonts() = 0;
  // Command-line arguments after the program's name (Windows-1250).
  virtual std::vector<std::string> Arguments() = 0;
  // The running program's file, as an absolute native path.
  virtual std::string ProgramPath() = 0;
  // The program's file version as major and minor number.
  virtual void FileVersion(int* major, int* minor) = 0;
  // Starts a program (absolute native path) with arguments.
  virtual bool StartProgram(const std::string& path, const std::vector<std::string>& args) = 0;
  // A plain message box, then the process ends.
  virtual void Fatal(std::string_view message) = 0;
  // Ends the process at once.
  virtual void Halt() = 0;
};

// Whoever draws the desktop. Every call comes from the form after it changed
// its state; the view reads the state back and redraws.
class PulpitView {
 public:
  virtual ~PulpitView() = default;
  // Redraw from the form's state; re-arm the timer at the form's interval.
  virtual void Refresh() = 0;
  // Process pending window messages (the status line does so after each text).
  virtual void ProcessMessages() = 0;
  // Close the desktop window (later, from the event loop); the close query
  // of the form still decides.
  virtual void CloseDesktop() = 0;
  virtual void SetApplicationTitle(std::string_view title) = 0;
};

class Asker {
 public:
  virtual ~Asker() = default;
  // Shows the answer dialog with these two lines over the owner window, waits
  // (processing messages) and returns 0 for "Tak", 1 for "Nie", 2 for "Powrót".
  virtual int Ask(char default_answer, std::string_view first_line, std::string_view second_line,
                  DeskWindow* owner) = 0;
  // Answers an open dialog with "Tak".
  virtual void PressYes() = 0;
  // Answers an open dialog with "Powrót" (the administrator's "Logout":
  // leaving a question unanswered is safer than agreeing to it).
  virtual void PressBack() {}
};

// The layers above the shell, as the desktop needs them. Every method has a
// harmless default, so that a desktop without them still starts.
class PulpitLinks {
 public:
  virtual ~PulpitLinks() = default;
  virtual std::uint8_t CurrentOption() { return 0; }
  virtual void SetCurrentOption(std::uint8_t) {}
  // The menu list takes input (it is disabled while the database loads).
  virtual bool MenuAcceptsInput() { return true; }
  virtual void EnableMenu(bool) {}
  // The parameter window's status panel goes back to the resting colour.
  virtual void RestStatusPanel(std::uint32_t) {}
  // Loads the chart of accounts of ChartPath; false with the reason on the
  // status line.
  virtual bool LoadChart() { return true; }
  // The bPulpit hooks: read and write the business settings, an unfinished
  // parameter-window entry, and saving a position by option index (false:
  // the kind has nothing to save under). The defaults read and write the
  // option settings of the shell and refuse positions.
  virtual void zRejZmie();
  virtual void wRejZmie();
  virtual bool WrkZestaw() { return false; }
  virtual bool niLeTopWr(std::uint8_t, std::int16_t, std::int16_t) { return false; }
};

}  // namespace zel
