#include "output/viewer_document.hpp"

#include <utility>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {
ViewerDocument g_document;
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

}  // namespace zel
