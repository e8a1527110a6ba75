// The document the viewer shows: a page-description script drawn by an
// option (a declaration, a printed form), with what the option says about it
// before the viewer opens. The option builds it in run mode 1 and hands it
// over with SetViewerDocument; the viewer reads it back, and printing (run
// mode 8) runs the option again, which draws the same script anew.
#pragma once

#include <string>
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

}  // namespace zel
