// The hook convention of the business modules.
//
// A window module never decides anything option-specific itself: it calls a
// named hook of its business module (bZestaw, bOknaF3, baaMenu, bPulpit),
// passing the name of the module where it expects the hook to live. Every hook
// starts with CheckOwner: a wrong owner name is reported in the status line
// and the hook carries on all the same. HookMissing is what a window calls
// when a hook has no rule for the case; only developers see it.
#pragma once

#include <string>
#include <string_view>

namespace zel {

class BusinessModule {
 public:
  explicit BusinessModule(std::string_view name) : name_(name) {}
  const std::string& Name() const { return name_; }

  // Shows hook + " ma być w " + module + " a nie w " + owner (colour 0) when
  // the owner differs from this module's name. Answers whether it matched;
  // callers go on either way.
  bool CheckOwner(std::string_view owner, std::string_view hook) const;

 private:
  std::string name_;
};

// True when the developer marker existed at start.
bool DeveloperMode();
// Tests set it freely; the start-up calls DetectDeveloperMode once.
void SetDeveloperMode(bool on);
// The developer marker's name in the Zel folder.
inline constexpr std::string_view kDeveloperMarker = "#\\Zel.DEV";
// Looks for the marker (no message either way) and sets DeveloperMode.
bool DetectDeveloperMode();

// In developer mode shows routine + ", " + hook + ", " + field number
// (colour 0) and puts the hook name on the clipboard; otherwise silent.
// Always answers true.
bool HookMissing(std::string_view hook, std::string_view routine, int field_number);

}  // namespace zel
