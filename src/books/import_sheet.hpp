// The cells of an imported file by row and column, as Windows-1250 texts:
// a dBase file (row 1 its field names, row 2 on its records, deleted records
// left out) read with shapelib, or the first sheet of an .xls workbook read
// with FreeXL. Rows and columns count from 1; a cell outside the data reads
// as empty. Numbers read as their shortest decimal text with a point, dates
// as YYYY-MM-DD.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "books/import_text.hpp"

namespace zel {

class ImportSheet {
 public:
  virtual ~ImportSheet() = default;
  // The last row that may hold data (the heading row included).
  virtual int Rows() const = 0;
  virtual std::string Cell(int row, int column) = 0;
  // The same without a new text per cell, for reading many rows: the view
  // points into *scratch (a text the caller keeps, one per column) or into
  // the sheet's copy of the row, and stays valid until the sheet reads
  // another row or *scratch changes.
  virtual std::string_view CellView(int row, int column, std::string* scratch) {
    *scratch = Cell(row, column);
    return *scratch;
  }
  // CellView of columns 1..n of one row at once, into views[0..n-1], each
  // with its own scratch[i]: for readers that take every cell of a row.
  virtual void RowViews(int row, int n, std::string_view* views, std::string* scratch) {
    for (int i = 0; i < n; ++i) views[i] = CellView(row, i + 1, &scratch[i]);
  }
};

// A sheet held in memory (tests, and callers that build rows themselves).
class MemorySheet : public ImportSheet {
 public:
  explicit MemorySheet(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
  int Rows() const override { return static_cast<int>(rows_.size()); }
  std::string Cell(int row, int column) override;

 private:
  std::vector<std::vector<std::string>> rows_;
};

// Opens a dBase file (native path). Its texts are read in the code page the
// file names (language byte or ".cpg"), 852 when it names none. nullptr with
// a Polish message in *err when the file cannot be read as a dBase file.
std::unique_ptr<ImportSheet> OpenDbfSheet(const std::string& native_path, std::string* err);

// Opens the first sheet of an .xls workbook (native path); nullptr with a
// Polish message in *err when it cannot be read.
std::unique_ptr<ImportSheet> OpenXlsSheet(const std::string& native_path, std::string* err);

}  // namespace zel
