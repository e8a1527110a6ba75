// The current option: which option the menu made current last, read by the
// parameter window, the dispatch and the report headers.
//
// OpenOption is the only writer apart from the parameter window's fallback
// for an option without fields (".." / "opcja niedostępna"). The texts are
// Windows-1250 and cut to their capacities.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/fixed_text.hpp"

namespace zel {

extern std::uint8_t OptionIndex;   // also the window kind passed to ShowKind
extern FixedText<6> OptionCode;    // names the option in the settings ("...LT")
extern FixedText<2> OptionKey;     // group letter + item letter, e.g. "EA"
extern FixedText<40> OptionCaption;  // the menu caption without letter and dash

// The run mode in which the program waits for the login file's user: every
// choice then opens the login option 1.
inline constexpr std::uint8_t kRunModeLoggingIn = 221;

// Sets the current option and posts ShowKind(index, 1) to the desktop. In run
// mode 221 the arguments are ignored and the login option 1 opens instead.
void OpenOption(std::string_view key, std::uint8_t index, std::string_view code,
                std::string_view caption);

}  // namespace zel
