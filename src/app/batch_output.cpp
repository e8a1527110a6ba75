#include "app/batch_output.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "menu/current_option.hpp"
#include "output/print_run.hpp"
#include "output/print_targets.hpp"
#include "output/report_text.hpp"
#include "output/viewer_document.hpp"
#include "output/xlsx_export.hpp"
#include "platform/folders.hpp"
#include "shell/pulpit.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {

std::string Lower(std::string_view s) {
  std::string t(s);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t;
}

std::string ClockHhMm(const BatchRequest& r) {
  if (!r.time.empty()) return r.time;
  DateTime now = Now();
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d:%02d", now.hour % 100, now.minute % 100);
  return buf;
}

// Writes the text beside the file and renames it over.
bool WriteTextFile(const std::string& path, const std::string& text, std::string* err) {
  const std::string tmp = path + ".part";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) {
      *err = "Zakazany "_w + Utf8ToWin(path);
      return false;
    }
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    f.flush();
    if (!f) {
      f.close();
      std::remove(tmp.c_str());
      *err = "Nie zapisano "_w + Utf8ToWin(path);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::remove(tmp.c_str());
    *err = "Nie zapisano "_w + Utf8ToWin(path);
    return false;
  }
  return true;
}

// Text output of a run: on standard output, or into the --out file.
int PutText(const std::string& text, BatchOut kind, const BatchRequest& r, const BatchIo& io,
            const std::function<void(std::string_view)>& line) {
  if (kind == BatchOut::kStdout) {
    io.out(text);
    return kBatchDone;
  }
  std::string err;
  if (!WriteTextFile(r.out, text, &err)) {
    line(err);
    return kBatchFailed;
  }
  return kBatchDone;
}

int Print(const ReportDocument& doc, const BatchRequest& r, const BatchIo& io,
          std::string_view period_text, const std::function<void(std::string_view)>& line,
          std::int32_t first, std::int32_t last) {
  PrintTargets* targets = io.print_targets ? io.print_targets() : nullptr;
  if (!targets) {
    line("Ten program nie drukuje ani nie zapisuje PDF"_w);
    return kBatchFailed;
  }
  std::string err;
  const bool to_pdf = r.printer.empty();
  std::unique_ptr<PageCanvas> canvas =
      to_pdf ? targets->PdfFile(r.out, r.landscape, &err)
             : targets->Printer(Utf8ToWin(r.printer), r.landscape, &err);
  if (!canvas) {
    line(err);
    return kBatchFailed;
  }
  // Rows per page in both orientations, from this device's pages and font.
  const int pw = canvas->PageWidth(), ph = canvas->PageHeight();
  const PrintLayout portrait =
      ComputePrintLayout(doc, std::min(pw, ph), std::max(pw, ph), false, *canvas);
  const PrintLayout landscape =
      ComputePrintLayout(doc, std::max(pw, ph), std::min(pw, ph), true, *canvas);
  io.err("zel-batch: Wierszy na str: " + std::to_string(portrait.rows) + " / " +
         std::to_string(landscape.rows) + "\n");

  const PrintTexts texts =
      MakePrintTexts(doc, OptionKey.view(), period_text, FPulpit::kBuiltInVersion, ClockHhMm(r));
  PrintOutcome out = PrintPages(doc, texts, first, last, r.landscape, *canvas);
  if (!out.ok) {
    line(to_pdf ? "Nie zapisano "_w + Utf8ToWin(r.out) : "Raport nie został wydrukowany"_w);
    return kBatchFailed;
  }
  io.err("zel-batch: Stron: " + std::to_string(out.pages) + "\n");
  return kBatchDone;
}

}  // namespace

int WriteBatchViewScript(const BatchRequest& r, const BatchIo& io) {
  auto line = [&io](std::string_view win) { io.err("zel-batch: " + WinToUtf8(win) + "\n"); };
  std::ifstream in(r.view, std::ios::binary);
  if (!in) {
    line("Nie ma \""_w + Utf8ToWin(r.view) + "\"");
    return kBatchFailed;
  }
  ViewerDocument doc;
  doc.key = "VIEW";
  doc.actions = 3;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    doc.lines.push_back(std::move(l));
  }
  if (in.bad()) {
    line("Błąd odczytu "_w + Utf8ToWin(r.view));
    return kBatchFailed;
  }
  const std::string action = r.action.empty() ? std::string("e") : r.action;
  const BatchOut kind = BatchOutOf(r.out);
  if (kind == BatchOut::kPdf) {
    std::string message;
    const bool ok = WriteViewerPdf(doc, action, r.out, &message);
    if (!message.empty()) line(message);
    return ok ? kBatchDone : kBatchFailed;
  }
  return PutText(WinToUtf8(ViewerScriptText(doc, action)), kind, r, io, line);
}

BatchOut BatchOutOf(std::string_view path) {
  if (path == "-" || path == "/dev/stdout") return BatchOut::kStdout;
  if (path == "/dev/null") return BatchOut::kNull;
  const std::string low = Lower(path);
  if (low.ends_with(".txt")) return BatchOut::kText;
  if (low.ends_with(".pdf")) return BatchOut::kPdf;
  if (low.ends_with(".xlsx")) return BatchOut::kXlsx;
  return BatchOut::kUnknown;
}

bool ParseBatchTime(std::string_view t) {
  if (t.size() != 5 || t[2] != ':') return false;
  for (std::size_t i : {0u, 1u, 3u, 4u}) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  return (t[0] - '0') * 10 + (t[1] - '0') < 24 && (t[3] - '0') * 10 + (t[4] - '0') < 60;
}

int WriteBatchReport(const ReportDocument& doc, const BatchRequest& r, const BatchIo& io,
                     std::string_view period_text,
                     const std::function<void(std::string_view)>& line) {
  std::int32_t first = 0, last = 0;
  const bool any =
      ClampPrintRange(r.first, r.last > 0 ? r.last : doc.RowCount(), doc.RowCount(), &first, &last);
  const BatchOut kind = r.out.empty() ? BatchOut::kStdout : BatchOutOf(r.out);
  if (!r.printer.empty() || kind == BatchOut::kPdf) {
    if (!any) {
      line("Brak wierszy do wydruku");
      return kBatchFailed;
    }
    return Print(doc, r, io, period_text, line, first, last);
  }
  if (kind == BatchOut::kXlsx) {
    XlsxTitles titles;
    titles.row1 = "Zel ver " + std::string(FPulpit::kBuiltInVersion) + "   Opcja " +
                  OptionKey.str() + " " + OptionCaption.str() + "   " + DayToText10(Today) + " " +
                  ClockHhMm(r);
    titles.row2 = FirmName.str();
    if (!ForWhom.empty()) titles.row2 += " dla " + ForWhom.str();
    XlsxOutcome out = ExportXlsx(doc, r.first, r.last > 0 ? r.last : doc.RowCount(), r.out, titles);
    if (!out.ok) {
      line(out.error);
      return out.error.starts_with("Więcej"_w) ? kBatchRefused : kBatchFailed;
    }
    return kBatchDone;
  }
  if (kind == BatchOut::kNull) return kBatchDone;
  // A report without rows (a heading only) still shows its heading.
  return PutText(WinToUtf8(any ? ReportAsText(doc, first, last) : ReportAsText(doc, 1, 0)), kind,
                 r, io, line);
}

int WriteBatchViewerDocument(const ViewerDocument& doc, const BatchRequest& r, const BatchIo& io,
                             const std::function<void(std::string_view)>& line) {
  const BatchOut kind = r.out.empty() ? BatchOut::kStdout : BatchOutOf(r.out);
  const std::string action = r.action.empty() ? std::string("e") : r.action;
  if (!r.printer.empty() || kind == BatchOut::kPdf) {
    std::string message;
    const bool ok = r.printer.empty()
                        ? WriteViewerPdf(doc, action, r.out, &message)
                        : PrintViewerDocument(doc, action, Utf8ToWin(r.printer), &message);
    if (!message.empty()) line(message);
    return ok ? kBatchDone : kBatchFailed;
  }
  if (kind == BatchOut::kXlsx || kind == BatchOut::kUnknown) {
    line("Dokument przeglądarki zapisuje się tylko jako .txt"_w);
    return kBatchRefused;
  }
  if (kind == BatchOut::kNull) return kBatchDone;
  std::string text;
  for (const std::string& l : doc.lines) {
    text += WinToUtf8(l);
    text += '\n';
  }
  return PutText(text, kind, r, io, line);
}

}  // namespace zel
