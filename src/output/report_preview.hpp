// The state of the report preview `FRaport` without its drawing: top row,
// marked row, the row range `WP`..`WK`, rows per page, the search index and
// the searches, the page-marking menu `PM`, the scroll keys and the wheel.
//
// The preview reads CurrentReport() and never changes it. A view draws from
// this state and forwards the user's actions to it; every decision is made
// here. Rows are 1-based; 0 means "no row". The range boxes hold texts as the
// user typed them; an invalid number reads as 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/report_document.hpp"

namespace zel {

// Items of the page-marking menu `PM`.
enum class PageMark {
  MeBeg, MeEnd, MePa1, MeLa1, MePa2, MeLa2, MePa3, MeLa3, MePa4, MeLa4, MeRap, MeLan, MePag
};
std::string_view PageMarkCaption(PageMark item);

enum class ScrollKey { PgUp, PgDn, Home, End, Up, Down };

class ReportPreview {
 public:
  explicit ReportPreview(const ReportDocument& doc);

  // Called by RapKoniec: rows per page, mark cleared, range 1..row count,
  // top row 1, caption built; status "Wierszy na str: P / L" (level 2).
  void Finish(std::int32_t portrait_rows, std::int32_t landscape_rows);
  // Called by RapStart/RapNag: the search index of the old report is gone.
  void Reset();

  std::int32_t RowCount() const { return doc_.RowCount(); }
  std::int32_t TopRow() const { return top_; }
  void SetTopRow(std::int32_t top);
  std::int32_t MarkedRow() const { return marked_; }
  void SetMarkedRow(std::int32_t row) { marked_ = row; }
  // Rows that fit in the drawing panel, minus 2 (set by the view's layout).
  std::int32_t VisibleRows() const { return visible_; }
  void SetVisibleRows(std::int32_t rows) { visible_ = rows; }
  // Scroll bar page size: (surface height - heading height) / row height.
  std::int32_t PageSize() const { return page_size_; }
  void SetPageSize(std::int32_t rows) { page_size_ = rows < 1 ? 1 : rows; }

  std::int32_t PortraitRows() const { return portrait_rows_; }
  std::int32_t LandscapeRows() const { return landscape_rows_; }
  const std::string& Caption() const { return caption_; }

  // The range boxes WP and WK.
  const std::string& FirstText() const { return wp_; }
  const std::string& LastText() const { return wk_; }
  void SetFirstText(std::string_view text) { wp_ = std::string(text); }
  void SetLastText(std::string_view text) { wk_ = std::string(text); }
  std::int32_t RangeFirst() const;  // ParseInt of WP
  std::int32_t RangeLast() const;   // ParseInt of WK
  // Sets both ends (put in order, limited to 1..row count) and clears the mark.
  void SetRange(std::int64_t first, std::int64_t last);
  bool InRange(std::int32_t row) const;  // rows outside are drawn grey

  // The search field FI and the two searches. The text is folded (Polish
  // letters to ASCII, upper case) and written back to the field. Returns
  // true when a row was found; otherwise "Nie ma " + text (level 0). Either
  // way the reached row is marked and the view centres on it.
  const std::string& SearchText() const { return fi_; }
  void SetSearchText(std::string_view text) { fi_ = text; }
  void EnterSearchField();  // clears the placeholder texts "..." / " ..."
  bool SearchForward();
  bool SearchBackward();
  bool SearchIndexBuilt() const { return index_built_; }

  // The page-marking menu, acting on the row m under the mouse.
  void ApplyPageMark(PageMark item, std::int32_t m);

  // A left click on row r (0 above the rows): enters the mouse-range mode
  // when not in it; in the mode, marks r or, with a marked row, sets the
  // range from the two rows.
  void ClickRow(std::int32_t r);

  // While a drawing is in progress scrolling, searching and key commands are
  // ignored (they answer the unchanged state).
  bool Drawing() const { return drawing_; }
  void SetDrawing(bool on) { drawing_ = on; }

  // The spreadsheet export: while it runs, closing only requests an abort,
  // and editing WP redraws only at multiples of 100000.
  bool Exporting() const { return exporting_; }
  void SetExporting(bool on) {
    exporting_ = on;
    if (on) abort_requested_ = false;
  }
  bool AbortRequested() const { return abort_requested_; }
  // "Zamknij": true when the window is to be hidden now; during an export it
  // sets the abort request instead and answers false.
  bool RequestClose();
  // Whether an edit of WP or WK redraws the preview.
  bool RangeEditRedraws() const;

  // The scroll bar moved to `position`: top row, at most row count - page
  // size + 1 and at least 1.
  std::int32_t ScrollTo(std::int32_t position);
  // Keys in FI, WP and WK, and the mouse wheel; each returns the new top row.
  std::int32_t ScrollByKey(ScrollKey key);
  std::int32_t Wheel(bool down);

 private:
  bool Search(bool forward);
  void BuildIndex();
  bool RowMatches(std::int32_t row, std::string_view key) const;
  void CentreOnMarked();
  std::int32_t ScrollMax() const { return RowCount(); }

  const ReportDocument& doc_;
  std::int32_t top_ = 1;
  std::int32_t marked_ = 0;
  std::int32_t visible_ = 30;
  std::int32_t page_size_ = 30;
  std::int32_t portrait_rows_ = 0;
  std::int32_t landscape_rows_ = 0;
  std::string caption_;
  std::string wp_;
  std::string wk_;
  std::string fi_ = "...szukaj...";
  bool drawing_ = false;
  bool exporting_ = false;
  bool abort_requested_ = false;
  // Search index: the texts of all rows in one buffer; entry r (1-based)
  // spans index_offsets_[r-1] .. index_offsets_[r].
  bool index_built_ = false;
  std::uint32_t index_generation_ = 0;
  std::string index_;
  std::vector<std::uint64_t> index_offsets_;
};

// The JPK button is enabled only for the two JPK options: menu positions
// "DD" (VAT registers) and "EA" (trial balance).
bool JpkButtonEnabled(std::string_view menu_position);

// The program's one preview, over CurrentReport().
ReportPreview& CurrentPreview();

}  // namespace zel
