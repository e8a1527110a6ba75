#include "shell/questions.hpp"

#include <string>

#include "shell/status.hpp"

namespace zel {
namespace {
Asker* g_asker = nullptr;
}  // namespace

Asker* SetQuestionAsker(Asker* asker) {
  Asker* old = g_asker;
  g_asker = asker;
  return old;
}

int AskQuestion(char default_answer, std::string_view question) {
  if (g_asker == nullptr) return 2;
  return g_asker->Ask(default_answer, LastMessage() + ".", std::string(question) + " ?", nullptr);
}

}  // namespace zel
