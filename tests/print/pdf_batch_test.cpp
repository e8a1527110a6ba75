// PDF pages of whole reports of the sample year, written through zel-batch's
// run with Qt's printing and read back with poppler's pdftotext: the body of
// every page is the text report's rows of that page, word for word.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "output/qt/qt_page_canvas.hpp"
#include "platform/paths.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

std::string Command(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) {
    // Rules are lines on the page, not text.
    if (w.find_first_not_of("-.=") == std::string::npos) continue;
    words.push_back(w);
  }
  return words;
}

// The words of one PDF page in reading order, from pdftotext's word boxes:
// by line (top edge) and then from left to right. pdftotext's own layout
// mode glues a right-aligned amount to the next column's text now and then.
std::string PageWords(const std::string& pdf, int page) {
  const std::string html = Command("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                   std::to_string(page) + " '" + pdf + "' -");
  struct Word {
    double y, x;
    std::string text;
  };
  std::vector<Word> words;
  for (std::size_t at = 0; (at = html.find("<word ", at)) != std::string::npos;) {
    double x = 0, y = 0;
    std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\"", &x, &y);
    const std::size_t from = html.find('>', at) + 1;
    const std::size_t to = html.find("</word>", from);
    std::string t = html.substr(from, to - from);
    for (auto [code, ch] :
         {std::pair{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}}) {
      for (std::size_t p; (p = t.find(code)) != std::string::npos;)
        t.replace(p, std::strlen(code), ch);
    }
    words.push_back({std::round(y * 2) / 2, x, t});
    at = to;
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const Word& a, const Word& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  std::string out;
  for (const Word& w : words) out += w.text + " ";
  return out;
}

class PdfBatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_print";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QGuiApplication::instance()) app_ = new QGuiApplication(argc, argv);
    home_ = MakeTempFolder("zel_pdf_home");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DB\\", &err)) << err;
  }

  int Run(std::vector<std::string> args) {
    out_.clear();
    err_.clear();
    args.insert(args.begin(), {"--db", home_ + "/DB", "--today", "15-01-2025", "--time", "08:05"});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    io.print_targets = [this]() -> PrintTargets* { return &targets_; };
    return RunBatch(r, io);
  }

  // "Wierszy na str: P / L" of the last run.
  std::int32_t RowsPerPage(bool landscape) const {
    int p = 0, l = 0;
    std::size_t at = err_.find("Wierszy na str: ");
    if (at == std::string::npos ||
        std::sscanf(err_.c_str() + at, "Wierszy na str: %d / %d", &p, &l) != 2) {
      return 0;
    }
    return landscape ? l : p;
  }

  static QGuiApplication* app_;
  static std::string home_;
  QtPrintTargets targets_;
  std::string out_, err_;
};
QGuiApplication* PdfBatch::app_ = nullptr;
std::string PdfBatch::home_;

TEST_F(PdfBatch, PagesHoldTheTextReportRowByRow) {
  struct Case {
    const char* name;
    std::vector<std::string> option;
    bool landscape;
    std::string rows;  // --rows, or empty for all
  };
  const Case cases[] = {
      // Without the descriptions: the column that takes the spare width of
      // the page would show more of them than the text report does.
      {"trial balance", {"ZOiSa", "OpKo=B"}, false, ""},
      {"customers' ledger across", {"Anali", "KonW=201*"}, true, ""},
      {"ledger, a range from mid-page", {"Anali", "KonW=201*"}, false, "40..160"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.option;
    if (!c.rows.empty()) args.insert(args.end(), {"--rows", c.rows});
    ASSERT_EQ(Run(args), kBatchDone) << err_;
    const std::string text = out_;
    const std::string pdf = home_ + "/r.pdf";
    args.insert(args.end(), {"--out", pdf});
    if (c.landscape) args.push_back("--landscape");
    ASSERT_EQ(Run(args), kBatchDone) << err_;
    const std::int32_t n = RowsPerPage(c.landscape);
    ASSERT_GT(n, 0) << err_;

    // The text report's rows, after its five heading lines.
    std::vector<std::string> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    rows.erase(rows.begin(), rows.begin() + 5);
    const auto pages = static_cast<std::int32_t>((rows.size() + n - 1) / n);
    EXPECT_NE(err_.find("Stron: " + std::to_string(pages) + "\n"), std::string::npos) << err_;
    const std::string info = Command("pdfinfo '" + pdf + "'");
    int pdf_pages = 0;
    std::sscanf(info.c_str() + std::min(info.find("Pages:"), info.size()), "Pages: %d", &pdf_pages);
    EXPECT_EQ(pdf_pages, pages);
    EXPECT_NE(Command("pdffonts '" + pdf + "'").find(" yes "), std::string::npos);

    for (std::int32_t p = 1; p <= pages; ++p) {
      SCOPED_TRACE("page " + std::to_string(p));
      const std::string page = Command("pdftotext -layout -f " + std::to_string(p) + " -l " +
                                       std::to_string(p) + " '" + pdf + "' -");
      EXPECT_NE(page.find("Strona " + std::to_string(p) + " z " + std::to_string(pages)),
                std::string::npos);
      std::string body;
      for (std::size_t i = static_cast<std::size_t>((p - 1) * n);
           i < std::min(rows.size(), static_cast<std::size_t>(p * n)); ++i) {
        body += rows[i] + "\n";
      }
      const std::vector<std::string> want = Words(body);
      const std::vector<std::string> got = Words(PageWords(pdf, p));
      ASSERT_FALSE(want.empty());
      // The page's words hold the body's words as one unbroken run.
      auto at = std::search(got.begin(), got.end(), want.begin(), want.end());
      EXPECT_NE(at, got.end()) << "body of the page not found; page text:\n" << page;
    }
  }
}

TEST_F(PdfBatch, AFailedPdfLeavesTheOldFileWhole) {
  const std::string pdf = home_ + "/old.pdf";
  {
    FILE* f = std::fopen(pdf.c_str(), "wb");
    std::fputs("old", f);
    std::fclose(f);
  }
  // A folder where the part file would go cannot be written.
  std::filesystem::create_directory(pdf + ".part");
  EXPECT_EQ(Run({"SyBBO", "--out", pdf}), kBatchFailed);
  EXPECT_NE(err_.find("zel-batch: "), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(pdf), 3u);
  std::filesystem::remove(pdf + ".part");
  EXPECT_EQ(Run({"SyBBO", "--out", pdf}), kBatchDone) << err_;
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
}

}  // namespace
}  // namespace zel
