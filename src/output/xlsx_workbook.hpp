// A libxlsxwriter workbook in constant memory (each row goes to a temporary
// file as it is finished, none is kept; large files as zip64), owned until
// it is closed: a workbook left open when its owner goes is closed then.
#pragma once

#include <xlsxwriter.h>

#include <string>

namespace zel {

class XlsxWorkbook {
 public:
  explicit XlsxWorkbook(const std::string& native_path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    wb_ = workbook_new_opt(native_path.c_str(), &options);
  }
  ~XlsxWorkbook() {
    if (wb_) workbook_close(wb_);
  }
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;
  lxw_workbook* get() const { return wb_; }
  lxw_error Close() {
    const lxw_error e = workbook_close(wb_);
    wb_ = nullptr;
    return e;
  }

 private:
  lxw_workbook* wb_ = nullptr;
};

}  // namespace zel
