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
#include "fields/b_okna_f3.hpp"
#include "fields/okna_f3.hpp"
#include "fields/okna_f3_records.hpp"
#include "fields/option_values.hpp"
#include "fields/text_metrics.hpp"
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

namespace {

// The F3 window without a desktop: returning to a parameter window and
// opening lists have nowhere to go.
class BatchF3Host final : public OknaF3Host {
 public:
  void Closed(std::uint8_t) override {}
  void OpenList(std::uint8_t, std::uint8_t, std::string_view, bool) override {}
  bool FieldDeveloperMarker() override { return false; }
};

// The slot a FIELD=VALUE goes to: the field's first editable slot, or for a
// list of lines (the masks) its first empty line; 0 when the window has no
// such field, -1 when every line is taken.
int SlotFor(const FOknaF3& form, std::string_view code) {
  const std::string want = UpperPl(code);
  int first = 0;
  int count = 0;
  for (int s = 1; s <= form.SlotCount(); ++s) {
    const FieldSlot& fs = form.Fields().Slot(s);
    if (fs.code.empty() || UpperPl(fs.code.view()) != want || !fs.Editable()) continue;
    if (first == 0) first = s;
    ++count;
    if (count > 1 || fs.number == 82 || fs.number == 83) {
      // Lines of a list: the first one still empty.
      for (int t = first; t <= form.SlotCount(); ++t) {
        const FieldSlot& line = form.Fields().Slot(t);
        if (UpperPl(line.code.view()) == want && line.value.empty()) return t;
      }
      return -1;
    }
  }
  return first;
}

}  // namespace

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
  if (code >= 128 && code <= 130) {
    // The declaration windows work on the VAT-7 window's month: vRok and vMie
    // name it here.
    for (const auto& [field, value] : r.values) {
      const std::string upper = UpperPl(field);
      if (upper == "VROK") SetOptionText(220, value);
      if (upper == "VMIE") SetOptionText(221, value);
    }
  }
  if (F3Record probe; !probe.Open(code)) {
    return fail(
        "Okno F3 "_w + std::to_string(code) + " (" + F3Title(code) + ") nie zapisuje danych"_w,
        kBatchRefused);
  }
  // The values go through the F3 window itself, as the user types them.
  const FixedWidthMetrics metrics(8, 16);
  bOknaF3 module;
  BatchF3Host host;
  FOknaF3 form(module, metrics, &host);
  form.Bo();
  form.Open(code);
  for (const auto& [field, value] : r.values) {
    const std::string wfield = Utf8ToWin(field);
    if (code == 122 && UpperPl(wfield) == "KONE") continue;
    if (code >= 128 && code <= 130 && (UpperPl(wfield) == "VROK" || UpperPl(wfield) == "VMIE"))
      continue;
    const int slot = SlotFor(form, wfield);
    if (slot == 0) {
      return fail("Nie ma pola "_w + wfield + " w oknie "_w + std::to_string(code), kBatchRefused);
    }
    if (slot < 0) {
      return fail("pole "_w + wfield + ": " +
                      (code == 125 ? "Lista wybranych kont jest pełna"_w
                                   : "Lista wybranych dowodów jest pełna"_w),
                  kBatchRefused);
    }
    // The cursor goes to the field first, so that the messages of the field
    // it leaves are not taken for this one's.
    form.ClickSlot(slot);
    form.Clear();
    const EnterResult result = form.EnterSlot(slot, Utf8ToWin(value));
    const std::string warning = form.StatusText();
    if (result == EnterResult::kRefused || result == EnterResult::kNotEditable) {
      return fail("pole "_w + wfield + ": " + warning, kBatchRefused);
    }
    if (!warning.empty()) fail("pole "_w + wfield + ": " + warning, 0);
  }
  std::string out;
  for (int s = 1; s <= form.SlotCount(); ++s) {
    const FieldSlot& fs = form.Fields().Slot(s);
    if (fs.code.empty() || fs.panel_width == 0) continue;
    out += fs.code.str() + " = " + WinToUtf8(form.SlotValue(s)) + "\n";
  }
  io.out(out);
  if (!r.go) return kBatchDone;
  form.Clear();
  form.ClickGo();
  const std::string message = form.StatusText();
  if (form.Shown()) {
    // The save failed: the window stays on the field in error.
    const int at = form.CurrentSlot();
    if (at > 0) return fail("pole "_w + form.Fields().Slot(at).code.str() + ": " + message, kBatchFailed);
    return fail(message, kBatchFailed);
  }
  if (!message.empty()) fail(message, 0);
  return kBatchDone;
}

}  // namespace zel
