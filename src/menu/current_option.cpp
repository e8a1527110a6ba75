#include "menu/current_option.hpp"

#include "common/cp1250.hpp"
#include "menu/desktop_services.hpp"
#include "shell/state.hpp"

namespace zel {

std::uint8_t OptionIndex = 0;
FixedText<6> OptionCode;
FixedText<2> OptionKey;
FixedText<40> OptionCaption;

void OpenOption(std::string_view key, std::uint8_t index, std::string_view code,
                std::string_view caption) {
  if (RunMode == kRunModeLoggingIn) {
    OptionKey.clear();
    OptionIndex = 1;
    OptionCode = "LogHas";
    OptionCaption = "logowanie -";
  } else {
    OptionKey = key;
    OptionIndex = index;
    OptionCode = code;
    OptionCaption = caption;
  }
  Desktop().ShowKind(OptionIndex, 1);
}

}  // namespace zel
