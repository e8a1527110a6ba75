#include "books/import_sheet.hpp"

#include <freexl.h>
#include <shapefil.h>

#include <sys/stat.h>

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
      w->window.resize(kWindow);
      if (std::fseek(w->file, static_cast<long>(at), SEEK_SET) != 0) break;
      const std::size_t got = std::fread(w->window.data(), 1, kWindow, w->file);
      w->window.resize(got);
      w->window_at = at;
      if (got == 0) break;
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
    // The header's record count is believed only as far as the file holds
    // the records: a damaged header must not make rows out of nothing.
    std::uint64_t n = static_cast<std::uint64_t>(std::max(0, DBFGetRecordCount(dbf_)));
    const std::uint64_t header = static_cast<std::uint64_t>(std::max(0, dbf_->nHeaderLength));
    const std::uint64_t length = static_cast<std::uint64_t>(std::max(0, dbf_->nRecordLength));
    const std::uint64_t present =
        length == 0 || file_size <= header ? 0 : (file_size - header) / length;
    n = std::min(n, present);
    records_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < static_cast<int>(n); ++i)
      if (!DBFIsRecordDeleted(dbf_, i)) records_.push_back(i);
    fields_ = DBFGetFieldCount(dbf_);
    types_.resize(static_cast<std::size_t>(fields_ > 0 ? fields_ : 0));
    for (int f = 0; f < fields_; ++f) types_[static_cast<std::size_t>(f)] = DBFGetNativeFieldType(dbf_, f);
  }
  ~DbfSheet() override { DBFClose(dbf_); }
  DbfSheet(const DbfSheet&) = delete;
  DbfSheet& operator=(const DbfSheet&) = delete;

  int Rows() const override { return static_cast<int>(records_.size()) + 1; }

  std::string Cell(int row, int column) override {
    std::string out;
    CellInto(row, column, &out);
    return out;
  }

  void CellInto(int row, int column, std::string* out) override {
    out->clear();
    if (column < 1 || column > fields_ || row < 1 || row > Rows()) return;
    const int field = column - 1;
    if (row == 1) {
      char name[XBASE_FLDNAME_LEN_READ + 1] = {};
      DBFGetFieldInfo(dbf_, field, name, nullptr, nullptr);
      text_.AppendWin(name, *out);
      return;
    }
    const int record = records_[static_cast<std::size_t>(row - 2)];
    // The record's bytes as shapelib holds them; the field is cut out here
    // and stripped of the blanks that pad it, up to a NUL byte if any.
    // shapelib copies the record for every call; one copy serves a row.
    if (record != tuple_record_) {
      tuple_ = DBFReadTuple(dbf_, record);
      tuple_record_ = record;
    }
    const char* raw_record = tuple_;
    if (raw_record == nullptr) return;
    const int length = std::max(0, dbf_->nRecordLength);
    const int at = std::clamp(dbf_->panFieldOffset[field], 0, length);
    const int size = std::clamp(dbf_->panFieldSize[field], 0, length - at);
    std::string_view v(raw_record + at, static_cast<std::size_t>(size));
    if (const std::size_t nul = v.find('\0'); nul != std::string_view::npos) v = v.substr(0, nul);
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    switch (types_[static_cast<std::size_t>(field)]) {
      case 'C':
      case 'M':
        text_.AppendWin(v, *out);
        return;
      case 'D':
        // Stored as YYYYMMDD; shown the way a spreadsheet shows a date.
        if (v.size() == 8) {
          out->append(v.substr(0, 4)).append(1, '-').append(v.substr(4, 2)).append(1, '-').append(v.substr(6, 2));
          return;
        }
        out->append(v);
        return;
      default:
        out->append(v);
        return;
    }
  }

 private:
  DBFHandle dbf_;
  SourceText text_;
  std::vector<int> records_;
  std::vector<char> types_;
  int fields_ = 0;
  int tuple_record_ = -1;
  const char* tuple_ = nullptr;
};

class XlsSheet final : public ImportSheet {
 public:
  XlsSheet(const void* handle, unsigned rows, unsigned short columns)
      : handle_(handle), rows_(rows), columns_(columns) {}
  ~XlsSheet() override { freexl_close(handle_); }
  XlsSheet(const XlsSheet&) = delete;
  XlsSheet& operator=(const XlsSheet&) = delete;

  int Rows() const override { return rows_ > 1000000000u ? 1000000000 : static_cast<int>(rows_); }

  std::string Cell(int row, int column) override {
    if (row < 1 || column < 1 || static_cast<unsigned>(row) > rows_ || column > columns_) return {};
    FreeXL_CellValue v{};
    if (freexl_get_cell_value(handle_, static_cast<unsigned>(row - 1),
                              static_cast<unsigned short>(column - 1), &v) != FREEXL_OK) {
      return {};
    }
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

 private:
  const void* handle_;
  unsigned rows_;
  unsigned short columns_;
};

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
  const void* handle = nullptr;
  if (freexl_open(native_path.c_str(), &handle) != FREEXL_OK) {
    if (handle != nullptr) freexl_close(handle);
    *err = "Nie mogę odczytać arkusza "_w + Utf8ToWin(native_path);
    return nullptr;
  }
  unsigned rows = 0;
  unsigned short columns = 0;
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    freexl_close(handle);
    *err = "Nie mogę odczytać arkusza "_w + Utf8ToWin(native_path);
    return nullptr;
  }
  return std::make_unique<XlsSheet>(handle, rows, columns);
}

}  // namespace zel
