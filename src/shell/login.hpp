// The login file "!\Login.txt": one user per line, fields separated by ","
// (workstation number, login, password, role letter, database folder,
// chart name, one unused field). Logins and passwords compare without
// regard to letter case. Reading it and changing one user's password live
// here; what a successful login does to the desktop is the desktop's.
#pragma once

#include <string>
#include <string_view>

namespace zel {

inline constexpr char kLoginFile[] = "!\\Login.txt";

struct LoginLine {
  int station = 0;       // 1..197 (0 on a line that names none)
  std::string login;     // field 2
  std::string password;  // field 3
  char role = 'W';       // field 4: 'A', 'K', 'F', 'O', any other letter 'W'
  std::string folder;    // field 5, relative, without a trailing "\"
  std::string chart;     // field 6, may be empty
};

// The role letter of a role field: its first character when it is one of
// "AKFO", else 'W'.
char RoleLetter(std::string_view role);

// One line of the file. False when field 1 is not a number 0..197 written
// with digits (such a line counts as empty).
bool ParseLoginLine(std::string_view line, LoginLine* out);

// What the login check decided; `field` is the login window's field the
// cursor returns to (1 login, 2 password).
struct LoginCheck {
  bool accepted = false;
  LoginLine line;
  std::string message;  // Windows-1250, empty when accepted
  int field = 0;
};

// Reads the login file (shared, with retries, context "aZestaw:Nadzor") and
// checks the typed login and password. The workstation 0 and a folder that
// is absolute or climbs out with ".." are refused too.
LoginCheck CheckLogin(std::string_view login, std::string_view password);

// The login of the user who logged in (empty before any login).
extern std::string LoggedInLogin;

struct PasswordChange {
  bool done = false;
  std::string message;  // Windows-1250
  int field = 0;        // 33 old, 34 new, 35 repeated
};

// Changes the password of the logged-in user: the old one must match, the
// new one be typed twice alike. The user's line is rewritten beside the file
// and renamed over it while the file is held exclusively; every other byte
// of the file stays as it was.
PasswordChange ChangePassword(std::string_view old_password, std::string_view new_password,
                              std::string_view repeated);

}  // namespace zel
