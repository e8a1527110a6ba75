#include "output/report_document.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/report_preview.hpp"

namespace zel {

namespace {

// Never a view without data: an empty default view would hand memcpy a null
// pointer when it is assigned to a FixedText.
std::string_view Cut(std::string_view s, std::size_t n) {
  if (s.data() == nullptr) return std::string_view("", 0);
  return s.substr(0, std::min(s.size(), n));
}

std::string_view StripSpaces(std::string_view s) {
  if (s.empty()) return s;
  if (s.front() == ' ') {
    // Amount cells come padded to their column with leading spaces: eight
    // of them are passed at a time.
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020ull;
    while (s.size() >= 8) {
      std::uint64_t w;
      std::memcpy(&w, s.data(), sizeof w);
      if (w != kEightSpaces) break;
      s.remove_prefix(8);
    }
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  }
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Columns that widen to their widest number.
bool NumberColumn(char kind) {
  return kind == 'b' || kind == 'd' || kind == 'p';
}

// Above any cell's length: the widest number of a column of texts, which is
// never looked for.
constexpr std::uint8_t kNoNumbers = 255;

// A number as the producers format it: digits with '.', ',' and a sign.
bool LooksNumeric(std::string_view s) {
  bool digit = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '.' && c != ',' && c != '-' && c != '+' && c != ' ') {
      return false;
    }
  }
  return digit;
}

// Copies n bytes: most cells are short, and two overlapping word copies (never
// reading or writing outside the n bytes) cost less than a call to memcpy.
void CopyCell(char* out, const char* in, std::size_t n) {
  if (n >= 16) {
    std::memcpy(out, in, n);
  } else if (n >= 8) {
    std::uint64_t a, b;
    std::memcpy(&a, in, 8);
    std::memcpy(&b, in + n - 8, 8);
    std::memcpy(out, &a, 8);
    std::memcpy(out + n - 8, &b, 8);
  } else if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, in, 4);
    std::memcpy(&b, in + n - 4, 4);
    std::memcpy(out, &a, 4);
    std::memcpy(out + n - 4, &b, 4);
  } else if (n > 0) {
    // One to three bytes: the first, the middle and the last cover them.
    out[0] = in[0];
    out[n / 2] = in[n / 2];
    out[n - 1] = in[n - 1];
  }
}

constexpr int kBlockBits = 20;
constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;

ReportView* g_view = nullptr;
PageRowsSource* g_rows_source = nullptr;

}  // namespace

ReportDocument::ReportDocument() = default;

void ReportDocument::Start(std::string_view name, std::string_view title, int stretch_column) {
  name_ = Cut(name, 100);
  title_ = Cut(title, 100);
  subtitle_.clear();
  stretch_ = std::clamp(stretch_column, 1, kMaxReportColumns);
  column_count_ = 0;
  columns_.fill(ReportColumn{});
  fit_.fill(false);
  widest_cell_.fill(0);
  widest_number_.fill(0);
  ClearRows();
  ++generation_;
}

void ReportDocument::ClearRows() {
  blocks_.clear();
  block_used_ = 0;
  stored_ = 0;
  offsets_.clear();
}

bool ReportDocument::AddColumn(char kind, int width, std::string_view heading1,
                               std::string_view heading2) {
  if (column_count_ >= kMaxReportColumns) return false;
  ReportColumn& c = columns_[static_cast<std::size_t>(column_count_)];
  c.kind = kind;
  c.width = static_cast<std::uint16_t>(std::clamp(width, 0, 255));
  c.heading1 = Cut(heading1, 100);
  c.heading2 = Cut(heading2, 100);
  ++column_count_;
  return true;
}

void ReportDocument::CloseHeader(std::string_view subtitle) {
  subtitle_ = Cut(subtitle, 250);
  widest_cell_.fill(0);
  widest_number_.fill(0);
  for (std::size_t i = 0; i < static_cast<std::size_t>(column_count_); ++i) {
    if (!NumberColumn(columns_[i].kind)) widest_number_[i] = kNoNumbers;
  }
  ClearRows();
  ++generation_;
}

void ReportDocument::AppendRow(char kind, std::span<const std::string_view> cells, bool strip) {
  std::array<std::string_view, kMaxReportColumns + 1> views;
  const std::size_t n = std::min(cells.size(), views.size());
  std::size_t size = 2;
  for (std::size_t i = 0; i < n; ++i) {
    views[i] = strip ? StripSpaces(Cut(cells[i], kReportCellCapacity))
                     : Cut(cells[i], kReportTextCapacity);
    size += 1 + views[i].size();
  }
  char* p = RowSpace(size);
  *p++ = kind;
  *p++ = static_cast<char>(n);
  for (std::size_t i = 0; i < n; ++i) {
    *p++ = static_cast<char>(static_cast<unsigned char>(views[i].size()));
    std::memcpy(p, views[i].data(), views[i].size());
    p += views[i].size();
  }
  KeepRow(size);
}

char* ReportDocument::RowSpace(std::size_t room) {
  if (blocks_.empty() || block_used_ + room > kBlockSize) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    block_used_ = 0;
  }
  offsets_.push_back((static_cast<std::uint64_t>(blocks_.size() - 1) << kBlockBits) | block_used_);
  return blocks_.back().get() + block_used_;
}

void ReportDocument::KeepRow(std::size_t size) {
  block_used_ += size;
  stored_ += size;
}

void ReportDocument::AppendRowsOf(const ReportDocument& other) {
  for (std::int32_t r = 1; r <= other.RowCount(); ++r) {
    const char* row = other.RowBytes(r);
    const std::size_t cells = static_cast<unsigned char>(row[1]);
    std::size_t size = 2;
    for (std::size_t i = 0; i < cells; ++i) size += 1 + static_cast<unsigned char>(row[size]);
    std::memcpy(RowSpace(size), row, size);
    KeepRow(size);
  }
  for (std::size_t i = 0; i < widest_cell_.size(); ++i) {
    widest_cell_[i] = std::max(widest_cell_[i], other.widest_cell_[i]);
    widest_number_[i] = std::max(widest_number_[i], other.widest_number_[i]);
  }
}

const char* ReportDocument::RowBytes(std::int32_t row) const {
  const std::uint64_t at = offsets_[static_cast<std::size_t>(row - 1)];
  return blocks_[static_cast<std::size_t>(at >> kBlockBits)].get() +
         static_cast<std::size_t>(at & (kBlockSize - 1));
}

void ReportDocument::AddRow(std::span<const std::string_view> cells) {
  // Each cell is cut, stripped and written straight into the block in one
  // pass; the block is chosen for the largest row the cells can make.
  const std::size_t n =
      std::min<std::size_t>(cells.size(), static_cast<std::size_t>(column_count_));
  char* const start = RowSpace(2 + n * (1 + kReportCellCapacity));
  char* p = start + 2;
  // Trailing empty cells need no bytes: a missing cell reads as empty. The
  // row ends after its last cell that is not.
  char* end = p;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view v = StripSpaces(Cut(cells[i], kReportCellCapacity));
    const auto len = static_cast<std::uint8_t>(v.size());
    *p++ = static_cast<char>(len);
    if (len == 0) continue;
    CopyCell(p, v.data(), v.size());
    p += v.size();
    end = p;
    kept = i + 1;
    widest_cell_[i] = std::max(widest_cell_[i], len);
    if (len > widest_number_[i] && LooksNumeric(v)) widest_number_[i] = len;
  }
  start[0] = '0';
  start[1] = static_cast<char>(kept);
  KeepRow(static_cast<std::size_t>(end - start));
}

void ReportDocument::FitToCells(int column) {
  if (column >= 1 && column <= column_count_) fit_[static_cast<std::size_t>(column - 1)] = true;
}

void ReportDocument::WidenColumns() {
  for (std::size_t i = 0; i < static_cast<std::size_t>(column_count_); ++i) {
    std::uint16_t want = NumberColumn(columns_[i].kind) ? widest_number_[i] : 0;
    if (fit_[i]) want = std::max<std::uint16_t>(want, widest_cell_[i]);
    columns_[i].width = std::max(columns_[i].width, want);
  }
}

void ReportDocument::InsertRow(std::int32_t before, std::span<const std::string_view> cells) {
  if (before < 1 || before > RowCount()) {
    AddRow(cells);
    return;
  }
  // Rows are found through their offsets, so the new row's bytes stay where
  // they were appended and only its offset moves in front of row `before`.
  const std::size_t index = static_cast<std::size_t>(before - 1);
  AddRow(cells);
  const std::uint64_t at = offsets_.back();
  offsets_.pop_back();
  offsets_.insert(offsets_.begin() + static_cast<std::ptrdiff_t>(index), at);
}

void ReportDocument::AddText(char kind, std::string_view text) {
  const std::string_view one[] = {text};
  AppendRow(kind, one, false);
}

void ReportDocument::AddRule(char c) {
  const char buf[1] = {c};
  const std::string_view one[] = {std::string_view(buf, 1)};
  AppendRow('3', one, false);
}

const ReportColumn& ReportDocument::Column(int i) const {
  static const ReportColumn kNone{};
  if (i < 1 || i > column_count_) return kNone;
  return columns_[static_cast<std::size_t>(i - 1)];
}

char ReportDocument::RowKind(std::int32_t row) const {
  if (row < 1 || row > RowCount()) return '\0';
  return RowBytes(row)[0];
}

std::string_view ReportDocument::Cell(std::int32_t row, int col) const {
  if (row < 1 || row > RowCount() || col < 1) return {};
  const char* p = RowBytes(row) + 1;
  int count = static_cast<unsigned char>(*p++);
  if (col > count) return {};
  for (int i = 1; i < col; ++i) p += 1 + static_cast<unsigned char>(*p);
  const std::size_t len = static_cast<unsigned char>(*p);
  return std::string_view(p + 1, len);
}

ReportDocument& CurrentReport() {
  static ReportDocument doc;
  return doc;
}

void SetReportView(ReportView* view) { g_view = view; }
void SetPageRowsSource(PageRowsSource* source) { g_rows_source = source; }

std::int32_t DefaultRowsPerPage(const ReportDocument& doc, bool landscape) {
  // A4 at 600 dpi.
  const std::int64_t page_w = landscape ? 7016 : 4961;
  const std::int64_t page_h = landscape ? 4961 : 7016;
  const std::int64_t r = page_w - 2;
  const std::int64_t b = page_h - 2;
  const std::int64_t left = landscape ? 1 : r / 15;
  const std::int64_t top = landscape ? b / 15 : 1;
  const std::int64_t usable_w = r - left;
  const std::int64_t usable_h = b - top;
  std::int64_t chars = 0;
  for (int i = 1; i <= doc.ColumnCount(); ++i) chars += doc.Column(i).width + 2;
  chars = std::max<std::int64_t>(chars, 100);
  const double pixels_per_point = 600.0 / 72.0;
  int size = 29;
  for (; size > 1; --size) {
    std::int64_t char_w = std::llround(0.6 * size * pixels_per_point);
    if (char_w * 50 * chars / 50 < usable_w) break;
  }
  std::int64_t h0 = std::llround(1.2 * size * pixels_per_point);
  std::int64_t h = std::llround(static_cast<double>(h0) * 1.1);
  if (h < 1 || usable_h <= 300) return 50;
  return static_cast<std::int32_t>(usable_h / h - 7);
}

void RapStart(std::string_view name, std::string_view title, int stretch_column) {
  CurrentReport().Start(name, title, stretch_column);
  CurrentPreview().Reset();
}

void RapKol(char kind, int width, std::string_view heading1, std::string_view heading2) {
  CurrentReport().AddColumn(kind, width, heading1, heading2);
}

void RapKol1(char kind, int width, std::string_view heading1) {
  CurrentReport().AddColumn(kind, width, heading1, {});
}

void RapNag(std::string_view subtitle) {
  CurrentReport().CloseHeader(subtitle);
  CurrentPreview().Reset();
  if (g_view) g_view->ColumnsChanged();
}

void RapWierszN(std::span<const std::string_view> cells) { CurrentReport().AddRow(cells); }

void RapTekst(char kind, std::string_view text) { CurrentReport().AddText(kind, text); }

void RapLinia(char c) { CurrentReport().AddRule(c); }

void RapKolFit() {
  ReportDocument& doc = CurrentReport();
  doc.FitToCells(doc.ColumnCount());
}

void RapKoniec() {
  ReportDocument& doc = CurrentReport();
  doc.WidenColumns();
  doc.AddRule('=');
  // Landscape first, portrait last: the printer is left in portrait.
  std::int32_t landscape = g_rows_source ? g_rows_source->RowsPerPage(doc, true)
                                         : DefaultRowsPerPage(doc, true);
  std::int32_t portrait = g_rows_source ? g_rows_source->RowsPerPage(doc, false)
                                        : DefaultRowsPerPage(doc, false);
  CurrentPreview().Finish(portrait, landscape);
  if (g_view) g_view->ReportFinished();
}

}  // namespace zel
