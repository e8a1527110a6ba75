// The document the viewer shows: a page-description script drawn by an
// option (a declaration, a printed form), with what the option says about it
// before the viewer opens. The option builds it in run mode 1 and hands it
// over with SetViewerDocument; the viewer reads it back, and printing (run
// mode 8) runs the option again, which draws the same script anew.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct ViewerDocument {
  std::string key;    // up to 7 characters; the stored choice is "Vie-" + key
  int actions = 0;    // 1 plain copies, 2 marked copies, 3 both
  int x_max = 0;      // page width in script units
  int y_max = 0;      // page height in script units
  std::string name;   // the document's own name, shown in the caption (Windows-1250)
  std::vector<std::string> lines;  // the script, one command a line (Windows-1250)
};

// The document of this workstation's viewer. Setting it also writes the
// script's lines to the viewer's work file, TempName("Viewer"); false (with
// the reason in *message) when that file cannot be written.
bool SetViewerDocument(ViewerDocument document, std::string* message);
const ViewerDocument& CurrentViewerDocument();

// Where the viewer's pages go: the program (the desktop, zel-batch) hands in
// the machine's printers and PDF files; until then printing says that this
// program does not print.
class PrintTargets;
void SetViewerTargets(std::function<PrintTargets*()> targets);

// Writes the document as a PDF file: each letter of the action code a copy
// (".orykop." naming it), each part between "N" divisions a page of its own.
// The file is written beside and renamed over, so a failure leaves an old
// file whole. False with the Polish reason in *message (an empty document, no
// PDF writer, the file refused); on success *message may still tell what of
// an over-long script was left out (empty otherwise).
bool WriteViewerPdf(const ViewerDocument& doc, std::string_view action_code,
                    const std::string& pdf_path, std::string* message);

// The same on the printer queue `printer` (Windows-1250 name).
bool PrintViewerDocument(const ViewerDocument& doc, std::string_view action_code,
                         std::string_view printer, std::string* message);

// The substituted script as text, the lines of each copy of the action code
// one after another (Windows-1250, CR LF line ends).
std::string ViewerScriptText(const ViewerDocument& doc, std::string_view action_code);

}  // namespace zel
