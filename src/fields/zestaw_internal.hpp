// Shared between the parameter window's source files: which fields the window
// serves itself, where their values live, and their hint lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

class ZestawHost;

// Fields whose values the window keeps in the program's variables itself:
// the shell fields 1..40 and 62..68, 70, 84, 116, 119.
bool IsWindowHeld(int n);
// Fields held as day numbers (shown DD-MM-YY, edited as DDMMYY).
bool IsDayField(int n);
// The raw value of a window-held field from its variable.
std::string WindowValue(int n, ZestawHost* host);
// Stores a committed value of a window-held field into its variable.
void WindowStore(int n, std::string_view value);
// The hint list of a window-held field: its list kind and file pattern; 0
// when the window has none for it.
std::uint8_t WindowListKind(int n, std::string* pattern);
// Fields without any hint list (F4 and F5 answer that they do not work).
bool HasNoList(int n);
// Fields without an F3 window.
bool HasNoF3(int n);

}  // namespace zel
