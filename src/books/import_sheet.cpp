#include "books/import_sheet.hpp"

#include <freexl.h>
#include <shapefil.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/cp1250.hpp"

namespace zel {
namespace {

// shapelib reports problems through its hooks on standard error; a damaged
// file is already answered by a failed open, so its messages are dropped.
void QuietError(const char*) {}

// shapelib reads a dBase file record by record, each with a seek and a read.
// Its file hooks are served here from a window of 1 MiB of the file, so a
// file read in order costs one system read per window, in constant memory.
// Only reading is offered: the imports never change the file they read.
struct WindowFile {
  std::FILE* file = nullptr;
  std::uint64_t pos = 0;
  std::uint64_t window_at = 0;
  std::vector<char> window;  // bytes of the file from window_at
};

constexpr std::size_t kWindow = 1u << 20;

WindowFile* AsWindow(SAFile f) { return reinterpret_cast<WindowFile*>(f); }

// Reads up to `size` bytes of the file from `at` into the window; the number
// read (0 at the end of the file or on a failed seek, the window then empty).
std::size_t FillWindow(WindowFile* w, std::uint64_t at, std::size_t size) {
  w->window.resize(size);
  w->window_at = at;
  if (std::fseek(w->file, static_cast<long>(at), SEEK_SET) != 0) {
    w->window.clear();
    return 0;
  }
  const std::size_t got = std::fread(w->window.data(), 1, size, w->file);
  w->window.resize(got);
  return got;
}

SAFile WindowOpen(const char* name, const char* access) {
  if (access == nullptr || access[0] != 'r' || std::strchr(access, '+') != nullptr) return nullptr;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return nullptr;
  auto* w = new WindowFile;
  w->file = file;
  return reinterpret_cast<SAFile>(w);
}

SAOffset WindowRead(void* p, SAOffset size, SAOffset nmemb, SAFile f) {
  WindowFile* w = AsWindow(f);
  if (size == 0 || nmemb == 0) return 0;
  const std::uint64_t want = static_cast<std::uint64_t>(size) * nmemb;
  char* out = static_cast<char*>(p);
  std::uint64_t done = 0;
  while (done < want) {
    const std::uint64_t at = w->pos + done;
    if (at < w->window_at || at >= w->window_at + w->window.size()) {
      if (FillWindow(w, at, kWindow) == 0) break;
    }
    const std::uint64_t in_window = w->window_at + w->window.size() - at;
    const std::uint64_t n = std::min(want - done, in_window);
    std::memcpy(out + done, w->window.data() + (at - w->window_at), static_cast<std::size_t>(n));
    done += n;
  }
  w->pos += done;
  return static_cast<SAOffset>(done / size);
}

SAOffset WindowWrite(void*, SAOffset, SAOffset, SAFile) { return 0; }

SAOffset WindowSeek(SAFile f, SAOffset offset, int whence) {
  WindowFile* w = AsWindow(f);
  if (whence == SEEK_SET) {
    w->pos = offset;
  } else if (whence == SEEK_CUR) {
    w->pos += offset;
  } else {
    if (std::fseek(w->file, 0, SEEK_END) != 0) return static_cast<SAOffset>(-1);
    const long end = std::ftell(w->file);
    if (end < 0) return static_cast<SAOffset>(-1);
    w->pos = static_cast<std::uint64_t>(end) + offset;
  }
  return 0;
}

SAOffset WindowTell(SAFile f) { return static_cast<SAOffset>(AsWindow(f)->pos); }
int WindowFlush(SAFile) { return 0; }

int WindowClose(SAFile f) {
  WindowFile* w = AsWindow(f);
  const int rc = std::fclose(w->file);
  delete w;
  return rc;
}

int NoRemove(const char*) { return -1; }

class DbfSheet final : public ImportSheet {
 public:
  DbfSheet(DBFHandle dbf, SourceText text, std::uint64_t file_size)
      : dbf_(dbf), text_(std::move(text)) {
    header_ = static_cast<std::uint64_t>(std::max(0, dbf_->nHeaderLength));
    length_ = static_cast<std::size_t>(std::max(0, dbf_->nRecordLength));
    // The header's record count is believed only as far as the file holds
    // the records: a damaged header must not make rows out of nothing.
    std::uint64_t n = static_cast<std::uint64_t>(std::max(0, DBFGetRecordCount(dbf_)));
    const std::uint64_t header = header_;
    const std::uint64_t length = length_;
    const std::uint64_t present =
        length == 0 || file_size <= header ? 0 : (file_size - header) / length;
    n = std::min(n, present);
    records_.reserve(static_cast<std::size_t>(n));
    // Deleted records are left out. Only each record's first byte (the
    // deletion mark) is read here, through the same window shapelib reads.
    for (std::uint64_t i = 0; i < n; ++i) {
      char mark = 0;
      WindowSeek(dbf_->fp, static_cast<SAOffset>(header + i * length), SEEK_SET);
      if (WindowRead(&mark, 1, 1, dbf_->fp) != 1) break;
      if (mark != '*') records_.push_back(static_cast<int>(i));
    }
    fields_ = DBFGetFieldCount(dbf_);
    // Where each field lies in a record, kept within the record's length,
    // worked out once rather than for every cell.
    layout_.resize(static_cast<std::size_t>(fields_ > 0 ? fields_ : 0));
    const int record_length = static_cast<int>(length_);
    for (int f = 0; f < fields_; ++f) {
      FieldAt& at = layout_[static_cast<std::size_t>(f)];
      at.type = DBFGetNativeFieldType(dbf_, f);
      at.offset = std::clamp(dbf_->panFieldOffset[f], 0, record_length);
      at.size = std::clamp(dbf_->panFieldSize[f], 0, record_length - at.offset);
    }
  }
  ~DbfSheet() override { DBFClose(dbf_); }
  DbfSheet(const DbfSheet&) = delete;
  DbfSheet& operator=(const DbfSheet&) = delete;

  int Rows() const override { return static_cast<int>(records_.size()) + 1; }

  std::string Cell(int row, int column) override {
    std::string scratch;
    return std::string(CellView(row, column, &scratch));
  }

  std::string_view CellView(int row, int column, std::string* scratch) override {
    if (column < 1 || column > fields_ || row < 1 || row > Rows()) return {};
    const int field = column - 1;
    if (row == 1) {
      char name[XBASE_FLDNAME_LEN_READ + 1] = {};
      DBFGetFieldInfo(dbf_, field, name, nullptr, nullptr);
      scratch->clear();
      text_.AppendWin(name, *scratch);
      return *scratch;
    }
    const char* raw_record = Record(row);
    if (raw_record == nullptr) return {};
    return FieldView(raw_record, field, scratch);
  }

  void RowViews(int row, int n, std::string_view* views, std::string* scratch) override {
    if (row < 2 || row > Rows()) {
      ImportSheet::RowViews(row, n, views, scratch);
      return;
    }
    const char* raw_record = Record(row);
    // A field ends at a NUL byte; records seldom hold one, so the record is
    // searched once and its fields only when it does.
    const bool nul = raw_record != nullptr && std::memchr(raw_record, '\0', length_) != nullptr;
    for (int i = 0; i < n; ++i) {
      views[i] = raw_record == nullptr || i >= fields_
                     ? std::string_view()
                     : FieldView(raw_record, i, &scratch[i], nul);
    }
  }

 private:
  // The bytes of the record of a data row (from 2), as they lie in the
  // file's read window; nullptr when the file does not hold them.
  const char* Record(int row) {
    const int record = records_[static_cast<std::size_t>(row - 2)];
    const std::uint64_t at = header_ + static_cast<std::uint64_t>(record) * length_;
    WindowFile* w = AsWindow(dbf_->fp);
    if (at < w->window_at || at + length_ > w->window_at + w->window.size()) {
      if (FillWindow(w, at, std::max(kWindow, length_)) < length_) return nullptr;
    }
    return w->window.data() + (at - w->window_at);
  }

  // One field of a record, as the cell reads it.
  // `may_hold_nul` false: the caller knows the record has no NUL byte.
  std::string_view FieldView(const char* raw_record, int field, std::string* scratch,
                             bool may_hold_nul = true) {
    const FieldAt& at = layout_[static_cast<std::size_t>(field)];
    const char* begin = raw_record + at.offset;
    const char* end = begin + at.size;
    if (may_hold_nul) {
      if (const void* nul = std::memchr(begin, '\0', static_cast<std::size_t>(at.size)))
        end = static_cast<const char*>(nul);
    }
    // Fields are padded with blanks (text on the right, numbers on the
    // left): whole words of eight blanks are passed over first.
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    std::uint64_t word = 0;
    while (end - begin >= 8 && (std::memcpy(&word, begin, 8), word == kBlanks)) begin += 8;
    while (begin < end && *begin == ' ') ++begin;
    while (end - begin >= 8 && (std::memcpy(&word, end - 8, 8), word == kBlanks)) end -= 8;
    while (end > begin && end[-1] == ' ') --end;
    const std::string_view v(begin, static_cast<std::size_t>(end - begin));
    switch (at.type) {
      case 'C':
      case 'M':
        // Plain ASCII reads the same in every code page: the row's own
        // bytes serve as the cell.
        if (text_.SameAsWin(v)) return v;
        scratch->clear();
        text_.AppendWin(v, *scratch);
        return *scratch;
      case 'D':
        // Stored as YYYYMMDD; shown the way a spreadsheet shows a date.
        if (v.size() == 8) {
          const char iso[10] = {v[0], v[1], v[2], v[3], '-', v[4], v[5], '-', v[6], v[7]};
          scratch->assign(iso, sizeof iso);
          return *scratch;
        }
        return v;
      default:
        return v;
    }
  }

  DBFHandle dbf_;
  SourceText text_;
  std::uint64_t header_ = 0;
  std::size_t length_ = 0;
  std::vector<int> records_;
  struct FieldAt {
    int offset = 0;
    int size = 0;
    char type = 'C';
  };
  std::vector<FieldAt> layout_;
  int fields_ = 0;
};

// The text of one cell of a workbook opened with FreeXL (row and column
// from 0), as the sheet hands it out.
std::string XlsCellText(const void* handle, unsigned row, unsigned short column) {
  FreeXL_CellValue v{};
  if (freexl_get_cell_value(handle, row, column, &v) != FREEXL_OK) return {};
  switch (v.type) {
    case FREEXL_CELL_INT:
      return std::to_string(v.value.int_value);
    case FREEXL_CELL_DOUBLE: {
      const double d = v.value.double_value;
      if (!std::isfinite(d)) return {};
      char buf[40];
      if (d == std::floor(d) && std::fabs(d) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", d);
      else
        std::snprintf(buf, sizeof buf, "%.15g", d);
      return buf;
    }
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return v.value.text_value != nullptr ? Utf8ToWin(v.value.text_value) : std::string();
    default:
      return {};
  }
}

// Workbook columns read: the chart import looks for its headings in the
// first 50 columns and never reads beyond them.
constexpr unsigned short kXlsColumns = 50;

bool WriteAll(int fd, const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t got = ::write(fd, p, n);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

// In the child process: opens the workbook and writes the cells of its first
// sheet to fd as (row u32, column u16, length u32, text) records, ended by a
// row of 0xFFFFFFFF. Answers the child's exit status.
int ReadWorkbookInto(const std::string& native_path, int fd) {
  const void* handle = nullptr;
  if (freexl_open(native_path.c_str(), &handle) != FREEXL_OK) return 2;
  unsigned rows = 0;
  unsigned short columns = 0;
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    return 2;
  }
  columns = std::min(columns, kXlsColumns);
  std::string out;
  for (unsigned r = 0; r < rows; ++r) {
    for (unsigned short c = 0; c < columns; ++c) {
      const std::string text = XlsCellText(handle, r, c);
      if (text.empty()) continue;
      const std::uint32_t row32 = r;
      const std::uint16_t col16 = c;
      const std::uint32_t len = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), 255));
      out.append(reinterpret_cast<const char*>(&row32), 4);
      out.append(reinterpret_cast<const char*>(&col16), 2);
      out.append(reinterpret_cast<const char*>(&len), 4);
      out.append(text, 0, len);
    }
    if (out.size() > (1u << 16) && !WriteAll(fd, out.data(), out.size())) return 3;
    if (out.size() > (1u << 16)) out.clear();
  }
  const std::uint32_t end = 0xFFFFFFFFu;
  out.append(reinterpret_cast<const char*>(&end), 4);
  freexl_close(handle);
  return WriteAll(fd, out.data(), out.size()) ? 0 : 3;
}

}  // namespace

std::string MemorySheet::Cell(int row, int column) {
  if (row < 1 || row > Rows() || column < 1) return {};
  const auto& r = rows_[static_cast<std::size_t>(row - 1)];
  if (static_cast<std::size_t>(column) > r.size()) return {};
  return r[static_cast<std::size_t>(column - 1)];
}

std::unique_ptr<ImportSheet> OpenDbfSheet(const std::string& native_path, std::string* err) {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.FOpen = WindowOpen;
  hooks.FRead = WindowRead;
  hooks.FWrite = WindowWrite;
  hooks.FSeek = WindowSeek;
  hooks.FTell = WindowTell;
  hooks.FFlush = WindowFlush;
  hooks.FClose = WindowClose;
  hooks.Remove = NoRemove;
  hooks.Error = QuietError;
  DBFHandle dbf = DBFOpenLL(native_path.c_str(), "rb", &hooks);
  if (dbf == nullptr) {
    *err = "To nie jest plik dBase: "_w + Utf8ToWin(native_path);
    return nullptr;
  }
  struct stat st {};
  const std::uint64_t size =
      stat(native_path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  return std::make_unique<DbfSheet>(dbf, SourceText::FromShapelib(DBFGetCodePage(dbf)), size);
}

std::unique_ptr<ImportSheet> OpenXlsSheet(const std::string& native_path, std::string* err) {
  // FreeXL is not safe against every damaged workbook (it can write past its
  // own buffers), so it runs in a child process of its own: whatever the
  // file holds, this process only ever parses the cell texts the child
  // sends, and a child that fails or dies means an unreadable workbook.
  const std::string failed = "Nie mogę odczytać arkusza "_w + Utf8ToWin(native_path);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    *err = failed;
    return nullptr;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    *err = failed;
    return nullptr;
  }
  if (child == 0) {
    ::close(fds[0]);
    // Whatever the library says while it fails is not for the user: the
    // parent reports the workbook as unreadable.
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    ::_exit(ReadWorkbookInto(native_path, fds[1]));
  }
  ::close(fds[1]);
  std::string bytes;
  char buf[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fds[0], buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buf, static_cast<std::size_t>(got));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *err = failed;
    return nullptr;
  }
  // The child's records, checked as any input is.
  std::vector<std::vector<std::string>> rows;
  std::size_t at = 0;
  for (;;) {
    std::uint32_t row = 0, len = 0;
    std::uint16_t col = 0;
    if (at + 4 > bytes.size()) break;
    std::memcpy(&row, bytes.data() + at, 4);
    if (row == 0xFFFFFFFFu) {
      return std::make_unique<MemorySheet>(std::move(rows));
    }
    if (at + 10 > bytes.size()) break;
    std::memcpy(&col, bytes.data() + at + 4, 2);
    std::memcpy(&len, bytes.data() + at + 6, 4);
    at += 10;
    if (len > 255 || at + len > bytes.size() || col >= kXlsColumns || row >= (1u << 20)) break;
    if (rows.size() <= row) rows.resize(row + 1);
    auto& cells = rows[row];
    if (cells.size() <= col) cells.resize(col + 1u);
    cells[col].assign(bytes.data() + at, len);
    at += len;
  }
  *err = failed;
  return nullptr;
}

}  // namespace zel
