#include "books/import_sheet.hpp"

#include <freexl.h>
#include <shapefil.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "common/cp1250.hpp"

namespace zel {
namespace {

// shapelib reports problems through its hooks on standard error; a damaged
// file is already answered by a failed open, so its messages are dropped.
void QuietError(const char*) {}

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
    if (column < 1 || column > fields_ || row < 1 || row > Rows()) return {};
    const int field = column - 1;
    if (row == 1) {
      char name[XBASE_FLDNAME_LEN_READ + 1] = {};
      DBFGetFieldInfo(dbf_, field, name, nullptr, nullptr);
      return text_.ToWin(name);
    }
    const int record = records_[static_cast<std::size_t>(row - 2)];
    const char* raw = DBFReadStringAttribute(dbf_, record, field);
    if (raw == nullptr) return {};
    const std::string_view v(raw);
    switch (types_[static_cast<std::size_t>(field)]) {
      case 'C':
      case 'M':
        return text_.ToWin(v);
      case 'D':
        // Stored as YYYYMMDD; shown the way a spreadsheet shows a date.
        if (v.size() == 8) {
          std::string d;
          d.reserve(10);
          d.append(v.substr(0, 4)).append(1, '-').append(v.substr(4, 2)).append(1, '-').append(v.substr(6, 2));
          return d;
        }
        return std::string(v);
      default:
        return std::string(v);
    }
  }

 private:
  DBFHandle dbf_;
  SourceText text_;
  std::vector<int> records_;
  std::vector<char> types_;
  int fields_ = 0;
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
