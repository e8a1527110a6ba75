// Questions an option asks while it runs ("Tak", "Nie", "Powrót"), put to
// whichever asker the program installed: the desktop's answer dialog, or
// the answers zel-batch was given. With none installed the question gets
// "Powrót" (2), as a question that cannot be shown does in the dialog.
#pragma once

#include <string_view>

#include "shell/pulpit_ports.hpp"

namespace zel {

// Installs the asker (nullptr: none); returns the previous one. The caller
// keeps ownership.
Asker* SetQuestionAsker(Asker* asker);

// Asks with the two lines of the answer dialog: LastMessage() + "." and
// question + " ?". Returns 0 "Tak", 1 "Nie", 2 "Powrót".
int AskQuestion(char default_answer, std::string_view question);

}  // namespace zel
