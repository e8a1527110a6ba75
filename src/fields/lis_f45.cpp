// FLisF45: opening, building, keys, search, choosing and closing of the
// hint list, and the calendar of the date list.
#include "fields/lis_f45.hpp"

#include <algorithm>
#include <cstdio>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "menu/desktop_services.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// Days from 1-3-0000 of a Gregorian date (the usual civil-day formula).
long CivilDays(long y, long m, long d) {
  y -= m <= 2 ? 1 : 0;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

const long kDay1920 = CivilDays(1920, 1, 1);

}  // namespace

long DaysSince1920(const CalendarDay& d) {
  return CivilDays(d.year, d.month, d.day) - kDay1920;
}

CalendarDay CalendarDayOf(long n) {
  long z = n + kDay1920;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  CalendarDay out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2 ? 1 : 0));
  return out;
}

void FLisF45::Go(std::uint8_t) {
  Open(host_.Request());
}

void FLisF45::Open(const ListRequest& request) {
  request_ = request;
  answer_ = ListAnswer{};
  open_ = true;
  calendar_ = false;
  list_ = HintList{};
  ++generation_;
  filter_text_.clear();
  search_text_.clear();
  // The edits invite typing until the user does.
  search_edit_ = " wpisz i [Enter]";
  selected_ = 0;
  top_ = 0;
  if (!remembered_ && host_.ReadPosition(&remembered_left_, &remembered_top_)) remembered_ = true;
  frame_.left = remembered_ ? remembered_left_ : OpenAt.left;
  frame_.top = remembered_ ? remembered_top_ : OpenAt.top;
  if (frame_.width == 0) frame_.width = 1;
  if (frame_.height == 0) frame_.height = 1;
  frame_.raised++;
  focus_ = ListFocus::kEsc;

  if (request_.kind == 68 && !request_.f5) {
    calendar_ = true;
    mode_ = 1;
    list_enabled_ = filter_enabled_ = search_enabled_ = false;
    DayNo n = DayFromDdMmYy(request_.typed);
    if (n == 0 || DayToDdMmYy(n) != request_.typed) n = Today;
    calendar_day_ = CalendarDayOf(n == 0 ? 1 : n);
    focus_ = ListFocus::kCalendar;
    caption_ = "    Lista F4 / F5    Kalendarz";
    return;
  }
  if (request_.f5) {
    mode_ = 0;
    list_enabled_ = false;
    filter_enabled_ = true;
    search_enabled_ = false;
    filter_text_ = " wpisz i [Enter]";
    focus_ = ListFocus::kFilter;
    list_.entries = std::make_unique<TextEntries>();
    SetCaption();
    return;
  }
  mode_ = 1;
  filter_enabled_ = false;
  Build("");
  list_enabled_ = true;
  search_enabled_ = true;
  focus_ = ListFocus::kList;
}

void FLisF45::Build(std::string_view filter) {
  building_ = true;
  stop_ = false;
  list_ = BuildHintList(request_, filter, [this] {
    host_.ProcessMessages();
    return stop_;
  });
  building_ = false;
  ++generation_;
  if (!list_.status.empty()) ShowStatus(list_.status, kInfo);
  SetCaption();
  const std::size_t n = Count();
  std::size_t at = list_.entries->LowerBound(request_.typed);
  if (at >= n) at = n == 0 ? 0 : n - 1;
  selected_ = at;
  // Up to nine following entries stay visible below the selection.
  const std::size_t last_top = n > kVisibleLines ? n - kVisibleLines : 0;
  top_ = std::min(at > 0 ? at - 1 : 0, last_top);
}

void FLisF45::SetCaption() {
  char count[16];
  std::snprintf(count, sizeof count, "%10zu", Count());
  caption_ = "    Lista F4 / F5    " + list_.noun + count + " pozycji    [F4] wolne";
}

void FLisF45::SelectAt(long index) {
  const long n = static_cast<long>(Count());
  if (n == 0) return;
  selected_ = static_cast<std::size_t>(std::clamp(index, 0L, n - 1));
  if (selected_ < top_) top_ = selected_;
  if (selected_ >= top_ + kVisibleLines) top_ = selected_ - (kVisibleLines - 1);
}

void FLisF45::Select(std::size_t index) {
  if (!list_enabled_ || index >= Count()) return;
  SelectAt(static_cast<long>(index));
  if (request_.kind == 76) {
    std::string file = EntryValue(EntryText(selected_));
    if (file.empty()) return;
    if (UpperPl(file).size() < 4 || UpperPl(file).substr(UpperPl(file).size() - 4) != ".JPG")
      file += ".JPG";
    host_.ShowPicture(DbDir.str() + file);
  }
}

void FLisF45::DoubleClick(std::size_t index) {
  if (!list_enabled_ || index >= Count()) return;
  SelectAt(static_cast<long>(index));
  Choose(0);
}

void FLisF45::Key(std::uint16_t key) {
  if (calendar_) return;
  const long s = static_cast<long>(selected_);
  switch (key) {
    case kListUp:
    case kListPad8:
      SelectAt(s - 1);
      break;
    case kListDown:
    case kListPad2:
      SelectAt(s + 1);
      break;
    case kListPageUp:
    case kListPad9:
      SelectAt(s - 10);
      break;
    case kListPageDown:
    case kListPad3:
      SelectAt(s + 10);
      break;
    case kListHome:
    case kListPad7:
      SelectAt(0);
      break;
    case kListEnd:
    case kListPad1:
      SelectAt(static_cast<long>(Count()) - 1);
      break;
    case kListPad4:
      SelectAt(s - 100);
      break;
    case kListPad6:
      SelectAt(s + 100);
      break;
    case kListGreyPlus:
      SearchFrom(selected_ + 1, +1);
      break;
    case kListGreyMinus:
      SearchFrom(selected_ + Count() - 1, -1);
      break;
    case kListF4:
      search_text_ = "WOLNE";
      SearchFrom(selected_ + 1, +1);
      break;
    case kListF5:
      FocusSearch();
      break;
    default:
      ShowStatus(std::to_string(key), kInfo);
      break;
  }
}

bool FLisF45::SearchFrom(std::size_t start, int step) {
  const std::size_t n = Count();
  if (n == 0 || search_text_.empty()) return false;
  const std::string want = ListFold(search_text_);
  std::size_t i = start % n;
  for (std::size_t k = 0; k < n; ++k) {
    if (ListFold(EntryText(i)).find(want) != std::string::npos) {
      SelectAt(static_cast<long>(i));
      return true;
    }
    i = step > 0 ? (i + 1) % n : (i + n - 1) % n;
  }
  ShowStatus("Nie ma \""_w + search_text_ + "\"", kInfo);
  return false;
}

void FLisF45::FocusSearch() {
  if (!search_enabled_) return;
  search_edit_.clear();
  focus_ = ListFocus::kSearch;
}

void FLisF45::EnterSearch() {
  if (!search_enabled_) return;
  if (search_edit_.empty() || search_edit_ == " wpisz i [Enter]") return;
  search_text_ = search_edit_;
  mode_ = 2;
  SearchFrom(selected_ + 1, +1);
  search_edit_ = " - w tył   w przód + "_w;
  focus_ = ListFocus::kList;
}

void FLisF45::EnterFilter() {
  if (!filter_enabled_) return;
  std::string filter = filter_text_ == " wpisz i [Enter]" ? std::string() : filter_text_;
  Build(filter);
  mode_ = 1;
  list_enabled_ = true;
  search_enabled_ = true;
  focus_ = ListFocus::kList;
}

void FLisF45::ClickGo() {
  if (building_) return;
  if (calendar_) {
    // Go returns only a day the day numbers can hold.
    const long n = DaysSince1920(calendar_day_);
    answer_ = ListAnswer{};
    answer_.none = false;
    if (n >= 1 && n <= kLastDay) answer_.value = DayToDdMmYy(static_cast<DayNo>(n));
    host_.Answer(answer_);
    Close(false);
    return;
  }
  if (focus_ == ListFocus::kFilter && mode_ == 0) {
    EnterFilter();
    return;
  }
  if (focus_ == ListFocus::kSearch) {
    EnterSearch();
    return;
  }
  Choose(0);
}

void FLisF45::CalendarDoubleClick(const CalendarDay& day) {
  if (!calendar_) return;
  calendar_day_ = day;
  const long n = DaysSince1920(day);
  answer_ = ListAnswer{};
  answer_.none = false;
  if (n > kLastDay)
    answer_.value = DayToDdMmYy(kLastDay);
  else if (n >= 1)
    answer_.value = DayToDdMmYy(static_cast<DayNo>(n));
  host_.Answer(answer_);
  Close(false);
}

void FLisF45::ClickDelete() {
  if (calendar_ || building_) return;
  Choose('D');
}

void FLisF45::ClickRename() {
  if (calendar_ || building_) return;
  Choose('R');
}

void FLisF45::Choose(char request) {
  if (!list_enabled_ || Count() == 0) return;
  const std::string text = EntryText(selected_);
  answer_ = ListAnswer{};
  answer_.value = EntryValue(text);
  answer_.description = EntryDescription(text);
  answer_.none = false;
  answer_.request = request;
  if (request_.kind == 32) answer_.value = answer_.value.substr(0, answer_.value.find(' '));
  if (request_.kind == 68 && !answer_.value.empty()) {
    const std::int32_t n = ParseInt(answer_.value);
    answer_.value = n >= 1 && n <= kLastDay ? DayToDdMmYy(static_cast<DayNo>(n)) : std::string();
  }
  if (request == 'D') mode_ = 3;
  if (request == 'R') mode_ = 4;
  host_.Answer(answer_);
  Close(false);
}

void FLisF45::ClickEsc() {
  if (building_) {
    stop_ = true;
    return;
  }
  if (!open_) return;
  Close(answer_.none);
}

void FLisF45::Close(bool escaped) {
  remembered_ = true;
  remembered_left_ = frame_.left;
  remembered_top_ = frame_.top;
  host_.WritePosition(frame_.left, frame_.top);
  frame_.height = 0;
  open_ = false;
  host_.ShowPicture("");
  Desktop().RetF45(escaped);
}

}  // namespace zel
