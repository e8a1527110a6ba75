// zel-batch: the hint lists and the scripted answers.
#include "app/batch_extras.hpp"

#include <cctype>
#include <cstdio>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "fields/field_catalogue.hpp"
#include "fields/hint_lists.hpp"
#include "fields/lis_f45.hpp"
#include "fields/okna_f3_records.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"

namespace zel {

bool ValidAnswers(std::string_view answers) {
  for (char c : answers) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u != 'T' && u != 'N' && u != 'P') return false;
  }
  return true;
}

int ScriptedAsker::Ask(char, std::string_view first_line, std::string_view second_line,
                       DeskWindow*) {
  const std::string question = WinToUtf8(first_line) + " " + WinToUtf8(second_line);
  if (next_ >= answers_.size()) {
    io_.err("zel-batch: pytanie bez odpowiedzi, Powrót: " + question + "\n");
    return 2;
  }
  const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(answers_[next_++])));
  return u == 'T' ? 0 : u == 'N' ? 1 : 2;
}

bool ParseListKind(std::string_view text, std::uint8_t* kind, std::string* pattern) {
  const std::size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  pattern->clear();
  bool digits = !name.empty() && name.size() <= 3;
  for (char c : name) digits = digits && c >= '0' && c <= '9';
  if (digits) {
    const int n = std::stoi(std::string(name));
    if (n < 1 || n > 255 || !IsListKind(static_cast<std::uint8_t>(n))) return false;
    *kind = static_cast<std::uint8_t>(n);
  } else {
    const FieldInfo* f = FindFieldByCode(Utf8ToWin(name));
    if (f == nullptr || f->f4_list == 0) return false;
    *kind = f->f4_list;
    *pattern = f->f4_extension;
  }
  if (colon != std::string_view::npos) *pattern = Utf8ToWin(text.substr(colon + 1));
  return true;
}

namespace {

class BatchListHost final : public ListHost {
 public:
  explicit BatchListHost(ListRequest r) : request_(std::move(r)) {}
  ListRequest Request() override { return request_; }
  void Answer(const ListAnswer&) override {}

 private:
  ListRequest request_;
};

}  // namespace

int RunList(const BatchRequest& r, const BatchIo& io) {
  ListRequest request;
  if (!ParseListKind(r.list, &request.kind, &request.pattern)) {
    io.err("zel-batch: nie ma listy " + r.list + "\n");
    return kBatchRefused;
  }
  request.typed = Utf8ToWin(r.typed);
  request.f5 = r.filter_given;
  BatchListHost host(request);
  FLisF45 form(host);
  form.Open(request);
  if (form.CalendarMode()) {
    const CalendarDay d = form.CalendarStart();
    char line[64];
    std::snprintf(line, sizeof line, "%02d-%02d-%04d\n", d.day, d.month, d.year);
    io.out(WinToUtf8(form.Caption()) + "\n" + "> " + line);
    return kBatchDone;
  }
  if (r.filter_given) {
    form.SetFilterText(Utf8ToWin(r.filter));
    form.EnterFilter();
  }
  std::string out = WinToUtf8(form.Caption()) + "\n";
  for (std::size_t i = 0; i < form.Count(); ++i) {
    out += i == form.Selected() ? "> " : "  ";
    out += WinToUtf8(form.EntryText(i));
    out += '\n';
    if (out.size() > (1u << 20)) {
      io.out(out);
      out.clear();
    }
  }
  io.out(out);
  return kBatchDone;
}

int RunF3(const BatchRequest& r, const BatchIo& io) {
  auto fail = [&io](std::string_view win_text, int code) {
    io.err("zel-batch: " + WinToUtf8(win_text) + "\n");
    return code;
  };
  const auto code = static_cast<std::uint8_t>(r.f3);
  if (code == 122) {
    std::string symbol;
    for (const auto& [field, value] : r.values) {
      if (UpperPl(field) == "KONE") symbol = Utf8ToWin(value);
    }
    if (symbol.empty())
      return fail("Okno 122 potrzebuje symbolu konta: KonE=SYMBOL"_w, kBatchRefused);
    LoadAccount(symbol);
  }
  F3Record record;
  if (!record.Open(code)) {
    return fail(
        "Okno F3 "_w + std::to_string(code) + " (" + F3Title(code) + ") nie zapisuje danych"_w,
        kBatchRefused);
  }
  for (const auto& [field, value] : r.values) {
    const std::string wfield = Utf8ToWin(field);
    if (code == 122 && UpperPl(wfield) == "KONE") continue;
    const std::uint8_t number = record.FieldNumber(wfield);
    if (number == 0) {
      return fail("Nie ma pola "_w + wfield + " w oknie "_w + std::to_string(code), kBatchRefused);
    }
    std::string warning;
    if (!record.Enter(number, Utf8ToWin(value), &warning)) {
      return fail("pole "_w + wfield + ": " + warning, kBatchRefused);
    }
    if (!warning.empty()) fail("pole "_w + wfield + ": " + warning, 0);
  }
  std::string out;
  std::uint8_t last = 0;
  for (const F3FieldInfo& f : F3Fields(code)) {
    if (*f.code == 0) continue;
    if (f.number == 83 || f.number == 82) {
      if (last == f.number) continue;
      for (int i = 0; i < 11; ++i) {
        out += std::string(f.code) + " = " +
               WinToUtf8(record.Value(static_cast<std::uint8_t>(100 + i))) + "\n";
      }
    } else {
      out += std::string(f.code) + " = " + WinToUtf8(record.Value(f.number)) + "\n";
    }
    last = f.number;
  }
  io.out(out);
  if (!r.go) return kBatchDone;
  std::string message;
  const int in_error = record.Save(&message);
  if (in_error != 0) {
    for (const F3FieldInfo& f : F3Fields(code)) {
      if (f.number == in_error) return fail("pole "_w + f.code + ": " + message, kBatchFailed);
    }
    return fail(message, kBatchFailed);
  }
  if (!message.empty()) fail(message, 0);
  return kBatchDone;
}

}  // namespace zel
