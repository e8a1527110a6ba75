// zel-batch's doors to the forms besides running an option: the hint lists
// (--list) and the scripted answers to questions (--answers).
#pragma once

#include <string>
#include <string_view>

#include "app/batch.hpp"
#include "shell/pulpit_ports.hpp"

namespace zel {

// Answers the questions of a run in the order given: 'T' Tak, 'N' Nie,
// 'P' Powrót. A question with no answer left gets "Powrót" and is reported
// on the error sink.
class ScriptedAsker final : public Asker {
 public:
  ScriptedAsker(std::string answers, const BatchIo& io) : answers_(std::move(answers)), io_(io) {}
  int Ask(char default_answer, std::string_view first_line, std::string_view second_line,
          DeskWindow* owner) override;
  void PressYes() override {}
  std::size_t Used() const { return next_; }

 private:
  std::string answers_;
  const BatchIo& io_;
  std::size_t next_ = 0;
};

// True when every letter is T, N or P (either case).
bool ValidAnswers(std::string_view answers);

// A list kind by number (1..255) or by a field code whose F4 opens a list
// (its file pattern too); an explicit ":PATTERN" after either overrides
// the pattern. False when the text names no list.
bool ParseListKind(std::string_view text, std::uint8_t* kind, std::string* pattern);

// Prints the hint list of the request (after the start-up): the caption,
// then one entry a line, the entry the list opens at marked with "> " and
// the others indented by two spaces. Returns the exit code.
int RunList(const BatchRequest& request, const BatchIo& io);

// Fills the F3 window request.f3 with the request's FIELD=VALUEs (each
// completed as the window completes it; 122 takes the account from KonE),
// prints "CODE = value" for each of its fields and, with --go, saves it.
// Returns the exit code.
int RunF3(const BatchRequest& request, const BatchIo& io);

}  // namespace zel
