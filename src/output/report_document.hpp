// The report document: the one table of text cells that every tabular output
// of the program builds, and that the preview shows, prints and exports.
//
// A producer calls RapStart, RapKol/RapKol1 (up to 17 columns), RapNag, then
// RapWiersz/RapTekst/RapLinia row by row; RapKoniec finishes it. Building a
// new report replaces the previous one; the document lives until then.
// Producers format numbers and dates themselves: the document only keeps
// texts. Rows are numbered from 1; a row is a one-character kind ("0" data,
// "1"/"2" text, "3" rule, anything else: counted and searchable, never drawn)
// and its cells. Data cells are stripped of surrounding spaces and cut to 100
// characters; text rows keep their text (cut to 255).
//
// Storage: rows live in blocks of 1 MB plus one offset per row, so a report
// of a million rows costs about its text, not a string per cell, and never
// twice its text while a single buffer would grow.
// The document owns its bytes; the string_views it hands out stay valid until
// the next row is added or the next report starts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"

namespace zel {

inline constexpr int kMaxReportColumns = 17;
inline constexpr std::size_t kReportCellCapacity = 100;
inline constexpr std::size_t kReportTextCapacity = 255;

// One column: kind 'l' left, 'c' centred, 'p' right, 'b' right and first of
// a pair whose heading 1 spans it and the next column, 'd' second of a pair.
struct ReportColumn {
  char kind = 'l';
  std::uint16_t width = 0;  // in characters
  FixedText<100> heading1;
  FixedText<100> heading2;
};

// Who draws the document (the preview window). All calls are optional hints;
// a document without a view works the same.
class ReportView {
 public:
  virtual ~ReportView() = default;
  // RapNag closed a new column set: lay the window out for it.
  virtual void ColumnsChanged() = 0;
  // RapKoniec finished the report: show, raise and draw the preview.
  virtual void ReportFinished() = 0;
};

class ReportDocument;

// Rows per printed page, as the print layout computes them for a finished
// report (portrait and landscape). The print engine installs its own; until
// then DefaultRowsPerPage is used.
class PageRowsSource {
 public:
  virtual ~PageRowsSource() = default;
  virtual std::int32_t RowsPerPage(const ReportDocument& doc, bool landscape) = 0;
};

class ReportDocument {
 public:
  ReportDocument();

  // --- building (the Rap* calls below forward here) ---
  void Start(std::string_view name, std::string_view title, int stretch_column);
  // False (and nothing added) for an 18th column: a producer's mistake.
  bool AddColumn(char kind, int width, std::string_view heading1, std::string_view heading2);
  void CloseHeader(std::string_view subtitle);
  // A data row: missing trailing cells are empty, cells past the column
  // count are dropped.
  void AddRow(std::span<const std::string_view> cells);
  // The same row put before row `before` (1..RowCount; any other number
  // appends it): for a producer that knows a row only after the rows that
  // follow it. Costs a move of the rows after it, so it suits rows near the end.
  void InsertRow(std::int32_t before, std::span<const std::string_view> cells);
  void AddText(char kind, std::string_view text);
  void AddRule(char c);
  // Appends every row of `other` as it is stored there, with the widest
  // cells it saw: for a producer that builds rows before it may start the
  // report. `other` must have been given the same columns.
  void AppendRowsOf(const ReportDocument& other);
  // Marks a column whose width grows to its widest cell when the report is
  // finished (labels that must never be cut).
  void FitToCells(int column);
  // Widens every `b`, `d`, `p` column to its widest number and every marked
  // column to its widest cell, so that no output cuts them. Called by
  // RapKoniec before the layout is computed.
  void WidenColumns();

  // --- header ---
  std::string_view Name() const { return name_.view(); }
  std::string_view Title() const { return title_.view(); }
  std::string_view Subtitle() const { return subtitle_.view(); }
  int StretchColumn() const { return stretch_; }
  int ColumnCount() const { return column_count_; }
  const ReportColumn& Column(int i) const;  // 1..ColumnCount

  // --- rows (1..RowCount) ---
  std::int32_t RowCount() const { return static_cast<std::int32_t>(offsets_.size()); }
  char RowKind(std::int32_t row) const;  // '\0' outside 1..RowCount
  // Cell `col` of a row: 1..ColumnCount for data rows; column 1 holds the
  // text of text rows, the character of rule rows and the text of other
  // kinds. Empty outside the stored cells.
  std::string_view Cell(std::int32_t row, int col) const;
  std::size_t StoredBytes() const { return stored_; }

  // Bumped by every Start, so that a preview knows its search index is stale.
  std::uint32_t Generation() const { return generation_; }

 private:
  void AppendRow(char kind, std::span<const std::string_view> cells, bool strip);
  // Where the next row goes, with room for `room` bytes (a new block when the
  // last one lacks it); the row's place is recorded. KeepRow then takes the
  // `size` bytes the row really used.
  char* RowSpace(std::size_t room);
  void KeepRow(std::size_t size);

  FixedText<250> name_;
  FixedText<250> title_;
  FixedText<250> subtitle_;
  int stretch_ = 1;
  int column_count_ = 0;
  std::array<ReportColumn, kMaxReportColumns> columns_{};
  // Per column: the longest stored cell, the longest number cell, and
  // whether the column is to fit its cells.
  std::array<std::uint8_t, kMaxReportColumns> widest_cell_{};
  std::array<std::uint8_t, kMaxReportColumns> widest_number_{};
  std::array<bool, kMaxReportColumns> fit_{};
  void ClearRows();
  const char* RowBytes(std::int32_t row) const;

  // Row r starts at offsets_[r-1] (block number << 20 | place in the block):
  // the kind, then the cell count, then each cell as one length byte and its
  // characters. A row never spans two blocks.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t block_used_ = 0;
  std::size_t stored_ = 0;
  std::vector<std::uint64_t> offsets_;
  std::uint32_t generation_ = 0;
};

// The program's one report document and its view hooks.
ReportDocument& CurrentReport();
// The view and page-rows source stay owned by the caller; nullptr removes them.
void SetReportView(ReportView* view);
void SetPageRowsSource(PageRowsSource* source);
// The rows per page of a default A4 page at 600 dpi with a fixed-pitch font
// whose character is 0.6 of its size wide and 1.2 of it high, laid out by the
// print rules: the largest size (29 down) at which the report's characters
// (each column's width + 2, at least 100 in all) fit the usable width.
std::int32_t DefaultRowsPerPage(const ReportDocument& doc, bool landscape);

// --- the producers' calls, on CurrentReport() ---
void RapStart(std::string_view name, std::string_view title, int stretch_column);
void RapKol(char kind, int width, std::string_view heading1, std::string_view heading2);
void RapKol1(char kind, int width, std::string_view heading1);
void RapNag(std::string_view subtitle);
void RapWierszN(std::span<const std::string_view> cells);
// RapWiersz(a, b, ...) with 2 to 17 cells.
template <class... Cells>
void RapWiersz(const Cells&... cells) {
  static_assert(sizeof...(Cells) >= 2 && sizeof...(Cells) <= kMaxReportColumns,
                "a data row has 2 to 17 cells");
  const std::string_view list[] = {std::string_view(cells)...};
  RapWierszN(std::span<const std::string_view>(list, sizeof...(Cells)));
}
void RapTekst(char kind, std::string_view text);
void RapLinia(char c);
// The last column added grows to its widest cell when the report is finished.
void RapKolFit();
// Widens the columns whose cells do not fit, appends the closing "=" rule, computes the rows per page, shows
// "Wierszy na str: P / L", resets the preview to the whole report and tells
// the view to show it.
void RapKoniec();

}  // namespace zel
