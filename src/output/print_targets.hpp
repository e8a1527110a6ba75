// Where printed pages can go on this machine: its printer queues and PDF
// files. The desktop and zel-batch hand the output side one implementation
// (over Qt's printing); the output side itself stays toolkit-free.
//
// Names are Windows-1250; file paths are native. A canvas for a PDF file
// writes beside the file and renames over it only when its End succeeds, so
// a failed or abandoned job leaves any old file whole.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output/page_canvas.hpp"

namespace zel {

class PrintTargets {
 public:
  virtual ~PrintTargets() = default;
  // The installed printers in the system's order; the built-in PDF target is
  // not among them.
  virtual std::vector<std::string> PrinterNames() = 0;
  // nullptr with a Polish message in *err when the target cannot be opened.
  virtual std::unique_ptr<PageCanvas> Printer(std::string_view name, bool landscape,
                                              std::string* err) = 0;
  virtual std::unique_ptr<PageCanvas> PdfFile(const std::string& native_path, bool landscape,
                                              std::string* err) = 0;
  // A canvas of a printer's pages and font for measuring only: it is never
  // begun and prints nothing. nullptr when the printer is not there.
  virtual std::unique_ptr<PageCanvas> Measure(std::string_view printer, bool landscape) = 0;
};

// The name under which the built-in PDF target stands last in the printer
// list; it contains "PDF", so the rule "the last printer whose name contains
// PDF" always finds it.
inline constexpr std::string_view kBuiltInPdfPrinter = "Zel PDF";

}  // namespace zel
