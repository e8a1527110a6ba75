#include "output/viewer_document.hpp"

#include <utility>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "output/print_targets.hpp"
#include "output/viewer_layout.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {
ViewerDocument g_document;
std::function<PrintTargets*()> g_targets;

// The job title: "Zel-" and the document key.
std::string JobTitle(const ViewerDocument& doc, std::string_view action_code) {
  return Concat({"Zel-", doc.key, "-", action_code});
}

// Lays the document out and prints it on the canvas `open` makes for the
// document's orientation.
template <typename Open>
bool PrintOn(const ViewerDocument& doc, std::string_view action_code, std::string* message,
             Open&& open) {
  std::string sink;
  std::string& msg = message ? *message : sink;
  msg.clear();
  PrintTargets* targets = g_targets ? g_targets() : nullptr;
  if (!targets) {
    msg = "Ten program nie drukuje ani nie zapisuje PDF";
    return false;
  }
  // Colours left open in the script are the same on every copy and every run.
  const ViewerLayout layout(doc.lines, 1);
  if (!layout.PageExtent().Valid()) {
    msg = "Dokument jest pusty - nie ma czego drukować"_w;
    return false;
  }
  std::string err;
  std::unique_ptr<PageCanvas> canvas = open(*targets, ViewerPrintsLandscape(layout), &err);
  if (!canvas) {
    msg = err;
    return false;
  }
  const ViewerPrintOutcome out =
      PrintViewerPages(layout, action_code, JobTitle(doc, action_code), *canvas);
  if (!out.ok) {
    msg = out.message;
    return false;
  }
  msg = layout.Notice();
  return true;
}

}  // namespace

bool SetViewerDocument(ViewerDocument document, std::string* message) {
  std::string text;
  for (const std::string& line : document.lines) {
    text += line;
    text += "\r\n";
  }
  g_document = std::move(document);
  const std::string path = TempName("Viewer");
  if (!WriteFileAtomically(path, text, ".$$$")) {
    if (message != nullptr) *message = Concat({"Błąd zapisu do pliku "_w, path});
    return false;
  }
  return true;
}

const ViewerDocument& CurrentViewerDocument() { return g_document; }

void SetViewerTargets(std::function<PrintTargets*()> targets) { g_targets = std::move(targets); }

bool WriteViewerPdf(const ViewerDocument& doc, std::string_view action_code,
                    const std::string& pdf_path, std::string* message) {
  return PrintOn(doc, action_code, message,
                 [&pdf_path](PrintTargets& t, bool landscape, std::string* err) {
                   return t.PdfFile(pdf_path, landscape, err);
                 });
}

bool PrintViewerDocument(const ViewerDocument& doc, std::string_view action_code,
                         std::string_view printer, std::string* message) {
  return PrintOn(doc, action_code, message,
                 [printer](PrintTargets& t, bool landscape, std::string* err) {
                   return t.Printer(printer, landscape, err);
                 });
}

std::string ViewerScriptText(const ViewerDocument& doc, std::string_view action_code) {
  std::string notice;
  const std::vector<std::string> lines = LimitViewerLines(doc.lines, &notice);
  const std::string_view copies = action_code.empty() ? std::string_view(" ") : action_code;
  std::string text;
  for (char copy : copies) {
    for (const std::string& line : lines) {
      std::string l = WithCopyName(line, copy);
      for (char& c : l) {
        if (c == '?') c = '$';
      }
      text += l;
      text += "\r\n";
    }
  }
  return text;
}

}  // namespace zel
