// Print targets made up for tests: a given printer list, and canvases that
// record instead of printing. Each job opened is kept with its target.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "output/print_targets.hpp"
#include "output/recording_canvas.hpp"

namespace zel {

class FakePrintTargets final : public PrintTargets {
 public:
  struct Job {
    std::string target;  // printer name, or the PDF file's path
    bool landscape = false;
    bool file = false;
  };

  std::vector<std::string> names;
  std::vector<Job> jobs;
  std::vector<std::string> measured;

  std::vector<std::string> PrinterNames() override { return names; }
  std::unique_ptr<PageCanvas> Printer(std::string_view name, bool landscape,
                                      std::string* err) override {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      *err = "Nie ma drukarki " + std::string(name);
      return nullptr;
    }
    jobs.push_back({std::string(name), landscape, false});
    return Canvas(landscape);
  }
  std::unique_ptr<PageCanvas> PdfFile(const std::string& path, bool landscape,
                                      std::string*) override {
    jobs.push_back({path, landscape, true});
    return Canvas(landscape);
  }
  std::unique_ptr<PageCanvas> Measure(std::string_view printer, bool landscape) override {
    measured.emplace_back(printer);
    return Canvas(landscape);
  }

 private:
  static std::unique_ptr<PageCanvas> Canvas(bool landscape) {
    return std::make_unique<RecordingCanvas>(landscape ? 7016 : 4961, landscape ? 4961 : 7016);
  }
};

}  // namespace zel
