#include "menu/hooks.hpp"

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "menu/desktop_services.hpp"
#include "shell/file_access.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {
bool developer_mode = false;
}

bool BusinessModule::CheckOwner(std::string_view owner, std::string_view hook) const {
  if (owner == name_) return true;
  std::string text(hook);
  text += " ma być w "_w;
  text += name_;
  text += " a nie w ";
  text += owner;
  ShowStatus(text, kWarning);
  return false;
}

bool DeveloperMode() { return developer_mode; }
void SetDeveloperMode(bool on) { developer_mode = on; }

bool DetectDeveloperMode() {
  developer_mode = FileExists(kDeveloperMarker);
  return developer_mode;
}

bool HookMissing(std::string_view hook, std::string_view routine, int field_number) {
  if (developer_mode) {
    std::string text(routine);
    text += ", ";
    text += hook;
    text += ", ";
    text += IntTextOrZero(field_number);
    ShowStatus(text, kWarning);
    Desktop().SetClipboard(hook);
  }
  return true;
}

}  // namespace zel
