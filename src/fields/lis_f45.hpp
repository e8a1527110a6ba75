// FLisF45 (window module aLisF45): the F4/F5 hint list, a child window of
// the desktop placed below the field that asked for it.
//
// The form holds the list being shown, the selection, the filter and search
// texts, the mode and the calendar of the date list; a view draws that state
// and forwards keys and clicks. The request comes from the host when the
// desktop activates the window (kind 6); the answer goes to the host and
// the desktop is told to return through RetF45 (kind 4 with a value, 5
// after Esc). The host is the caller's and must outlive the form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/hint_lists.hpp"
#include "shell/pulpit_window.hpp"

namespace zel {

// What the list hands back.
struct ListAnswer {
  std::string value;        // the entry's value part
  std::string description;  // the entry's description part
  bool none = true;         // no value chosen
  char request = 0;         // 'D' delete or 'R' rename, 0 for none
};

class ListHost {
 public:
  virtual ~ListHost() = default;
  // The request of the field that opened the list.
  virtual ListRequest Request() = 0;
  // The chosen value, before the desktop returns to the source window.
  virtual void Answer(const ListAnswer& answer) = 0;
  // Pending window messages (Esc may arrive during a long build).
  virtual void ProcessMessages() {}
  // The desktop's picture panel: a picture file to show, or "" to hide it.
  virtual void ShowPicture(std::string_view) {}
  // The list's position kept between runs of the program (under "F45");
  // false when none is kept.
  virtual bool ReadPosition(int* left, int* top) {
    (void)left;
    (void)top;
    return false;
  }
  virtual void WritePosition(int left, int top) {
    (void)left;
    (void)top;
  }
};

// Key codes the list knows (Windows virtual-key numbers).
enum ListKey : std::uint16_t {
  kListPageUp = 33,
  kListPageDown = 34,
  kListEnd = 35,
  kListHome = 36,
  kListUp = 38,
  kListDown = 40,
  kListPad1 = 97,
  kListPad2 = 98,
  kListPad3 = 99,
  kListPad4 = 100,
  kListPad6 = 102,
  kListPad7 = 103,
  kListPad8 = 104,
  kListPad9 = 105,
  kListGreyPlus = 107,
  kListGreyMinus = 109,
  kListF4 = 115,
  kListF5 = 116,
};

// Where the keyboard focus is.
enum class ListFocus : std::uint8_t { kList, kFilter, kSearch, kEsc, kCalendar };

// A calendar day (the view's month calendar works in these).
struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;
};
// Day numbers of any Gregorian date: days since 1 January 1920 (which is
// day 0, the empty date), negative before it.
long DaysSince1920(const CalendarDay& d);
CalendarDay CalendarDayOf(long days_since_1920);

class FLisF45 final : public DeskWindow {
 public:
  static constexpr int kVisibleLines = 11;

  explicit FLisF45(ListHost& host) : host_(host) {}

  WindowFrame& Frame() override { return frame_; }
  void Go(std::uint8_t mode) override;

  // Opening without the desktop (zel-batch, tests): the request as given.
  void Open(const ListRequest& request);

  // Keys in the list (ListKey); other keys are shown in the status line.
  void Key(std::uint16_t key);
  void Select(std::size_t index);  // a click on an entry
  void DoubleClick(std::size_t index);
  void ClickGo();
  void ClickEsc();
  void ClickDelete();
  void ClickRename();
  // Filter edit PreE: Enter takes its text as the filter.
  void SetFilterText(std::string_view text) { filter_text_ = std::string(text); }
  void EnterFilter();
  // Search edit PosE: entering it clears it; Enter searches.
  void FocusSearch();
  void SetSearchText(std::string_view text) { search_edit_ = std::string(text); }
  void EnterSearch();
  // Calendar mode: the day the view's calendar shows, chosen by a double
  // click or by Go.
  void CalendarDoubleClick(const CalendarDay& day);

  // State for the views and the tests.
  std::uint8_t Mode() const { return mode_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Heading() const { return list_.heading; }
  std::size_t Count() const { return list_.entries ? list_.entries->Count() : 0; }
  std::string EntryText(std::size_t i) const { return list_.entries ? list_.entries->Text(i) : ""; }
  std::size_t Selected() const { return selected_; }
  std::size_t TopLine() const { return top_; }
  bool CalendarMode() const { return calendar_; }
  CalendarDay CalendarStart() const { return calendar_day_; }
  void SetCalendarDay(const CalendarDay& day) { calendar_day_ = day; }
  bool ListEnabled() const { return list_enabled_; }
  bool FilterEnabled() const { return filter_enabled_; }
  bool SearchEnabled() const { return search_enabled_; }
  ListFocus Focus() const { return focus_; }
  const std::string& FilterText() const { return filter_text_; }
  const std::string& SearchEdit() const { return search_edit_; }
  bool Building() const { return building_; }
  bool WaitPanel() const { return building_; }
  bool IsOpen() const { return open_; }
  const ListAnswer& LastAnswer() const { return answer_; }
  const ListRequest& CurrentRequest() const { return request_; }
  // Grows whenever the entries are replaced (the view then reloads them).
  std::uint32_t Generation() const { return generation_; }

 private:
  void Build(std::string_view filter);
  void SetCaption();
  void SelectAt(long index);
  void Choose(char request);
  void Close(bool escaped);
  bool SearchFrom(std::size_t start, int step);

  ListHost& host_;
  WindowFrame frame_;
  ListRequest request_;
  HintList list_;
  ListAnswer answer_;
  std::string caption_;
  std::string filter_text_;
  std::string search_edit_;
  std::string search_text_;
  std::size_t selected_ = 0;
  std::size_t top_ = 0;
  std::uint8_t mode_ = 1;
  bool calendar_ = false;
  CalendarDay calendar_day_;
  bool list_enabled_ = false;
  bool filter_enabled_ = false;
  bool search_enabled_ = false;
  ListFocus focus_ = ListFocus::kEsc;
  bool building_ = false;
  bool stop_ = false;
  bool open_ = false;
  std::uint32_t generation_ = 0;
  bool remembered_ = false;
  int remembered_left_ = 0;
  int remembered_top_ = 0;
};

}  // namespace zel
