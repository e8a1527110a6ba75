#include "output/viewer_form.hpp"

#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "output/print_targets.hpp"
#include "output/report_outputs.hpp"
#include "shell/settings.hpp"
#include "shell/status.hpp"

namespace zel {

std::vector<ViewerAction> ViewerActions(int flags) {
  std::vector<ViewerAction> out;
  if (flags & 1) {
    out.push_back({"1 egzemplarz", "e"});
    out.push_back({"2 egzemplarze", "ee"});
    out.push_back({"3 egzemplarze", "eee"});
    out.push_back({"4 egzemplarze", "eeee"});
  }
  if (flags & 2) {
    out.push_back({"Oryginał"_w, "o"});
    out.push_back({"Oryginał + kopia"_w, "ok"});
    out.push_back({"Oryginał + 2 kopie"_w, "okl"});
    out.push_back({"Oryginał + 3 kopie"_w, "oklm"});
    out.push_back({"Kopia", "k"});
    out.push_back({"2 kopie", "kl"});
    out.push_back({"3 kopie", "klm"});
  }
  return out;
}

bool FViewer::Open() {
  const ViewerDocument& doc = CurrentViewerDocument();
  const char* missing = nullptr;
  if (doc.key.empty()) {
    missing = "vDok";
  } else if (doc.actions < 1 || doc.actions > 3) {
    missing = "vCzyn";
  } else if (doc.x_max <= 0) {
    missing = "vXmax";
  } else if (doc.y_max <= 0) {
    missing = "vYmax";
  }
  if (missing) {
    host_.DeveloperMessage(
        Concat({"Wykonaj Shift-Ins w ", host_.OptionName()}),
        Concat({"aViewer wymaga ustawienia ", missing, " przed FViewer.Jo (...);"}));
    return false;
  }
  doc_ = doc;
  doc_.key = doc_.key.substr(0, 7);
  // The colours a script leaves open stay the same while the document is shown.
  std::uint32_t seed = 0x5EED;
  for (char c : doc_.key) seed = seed * 31 + static_cast<unsigned char>(c);
  layout_ = std::make_unique<ViewerLayout>(doc_.lines, seed);
  if (!layout_->Notice().empty()) ShowStatus(layout_->Notice(), kWarning);

  actions_ = ViewerActions(doc_.actions);
  ReadSetting(false, Concat({"Vie-", doc_.key}));
  const int stored = SettingFound() ? SettingNumber(1) : 0;
  selected_ = (stored >= 1 && stored <= static_cast<int>(actions_.size())) ? stored - 1 : 0;
  zap_enabled_ = false;
  printers_ = host_.Printers();

  // The zoom drops until the drawing fits the screen's width, not below 4.
  const ViewerExtent& e = layout_->Extent();
  const std::int64_t units = e.Valid() ? e.Width() : doc_.x_max;
  zoom_ = kViewerStartZoom;
  while (zoom_ > kViewerMinZoom && units * zoom_ / 5 + 7 > host_.ScreenWidth() - 10) --zoom_;
  page_ = 0;
  scroll_y_ = 0;
  Relayout();
  return true;
}

void FViewer::Relayout() {
  if (!layout_) return;
  RecordingCanvas rec(0, 0);
  rec.MeasureWith(host_.ScreenProbe());
  ViewerPlacement at;
  at.zoom = zoom_;
  // On the screen the copies read as the preview's: "oryginał/kopia".
  layout_->Draw(rec, at, 'p');
  drawing_ = rec.Calls();
  const ViewerExtent& e = layout_->Extent();
  drawing_w_ = e.Valid() ? at.X(e.x_max) + 4 : at.X(doc_.x_max) + 4;
  drawing_h_ = e.Valid() ? at.Y(e.y_max) + 4 : at.Y(doc_.y_max) + 4;
  caption_ = layout_->Caption(doc_.name, zoom_);
  ScrollTo(scroll_y_);
}

void FViewer::ZoomIn() {
  ++zoom_;
  Relayout();
}

void FViewer::ZoomOut() {
  if (zoom_ <= kViewerMinZoom) return;
  --zoom_;
  Relayout();
}

int FViewer::Pages() const {
  return layout_ ? layout_->Parts() : 0;
}

void FViewer::NextPage() {
  if (page_ + 1 >= Pages()) return;
  ++page_;
  ViewerPlacement at;
  at.zoom = zoom_;
  ScrollTo(at.Y(layout_->PartTop(page_) - 10));
}

void FViewer::PreviousPage() {
  if (page_ == 0) return;
  --page_;
  ViewerPlacement at;
  at.zoom = zoom_;
  ScrollTo(page_ == 0 ? 0 : at.Y(layout_->PartTop(page_) - 10));
}

void FViewer::SetViewHeight(int h) {
  view_h_ = std::max(1, h);
  ScrollTo(scroll_y_);
}

void FViewer::ScrollTo(int y) {
  const int bottom = std::max(0, drawing_h_ - view_h_);
  scroll_y_ = std::clamp(y, 0, bottom);
}

void FViewer::PressKey(Key key) {
  switch (key) {
    case Key::kPgUp:
      ScrollBy(-300);
      break;
    case Key::kPgDn:
      ScrollBy(300);
      break;
    case Key::kUp:
      ScrollBy(-30);
      break;
    case Key::kDown:
      ScrollBy(30);
      break;
    case Key::kHome:
      ScrollTo(0);
      break;
    case Key::kEnd:
      ScrollTo(drawing_h_);
      break;
    case Key::kPlus:
      ZoomIn();
      break;
    case Key::kMinus:
      ZoomOut();
      break;
  }
}

void FViewer::Wheel(int delta) {
  ScrollBy(-delta * zoom_ / 25);
}

void FViewer::ChooseAction(int index) {
  if (index < 0 || index >= static_cast<int>(actions_.size()) || index == selected_) return;
  selected_ = index;
  zap_enabled_ = true;
}

void FViewer::Zap() {
  if (!layout_) return;
  WriteSetting(false, Concat({"Vie-", doc_.key}), IntTextOrEmpty(selected_ + 1));
  zap_enabled_ = false;
}

int FViewer::PrinterIndex() const {
  auto it = std::find(printers_.begin(), printers_.end(), CurrentPrinterName());
  return it == printers_.end() ? 0 : static_cast<int>(it - printers_.begin());
}

void FViewer::ChoosePrinter(int index) {
  if (index < 0 || index >= static_cast<int>(printers_.size())) return;
  CurrentPrinterName() = printers_[static_cast<std::size_t>(index)];
  ShowStatus(Concat({"Zm.na \"", CurrentPrinterName(), "\""}), kInfo);
}

bool FViewer::PdfEnabled() const {
  return std::any_of(printers_.begin(), printers_.end(),
                     [](const std::string& p) { return p.find("PDF") != std::string::npos; });
}

bool FViewer::PrintOn(const std::string& printer) {
  if (!layout_ || actions_.empty()) return false;
  const std::string& code = actions_[static_cast<std::size_t>(selected_)].code;
  ShowStatus("idzie...", kInfo);
  std::string message;
  bool ok = false;
  if (printer == kBuiltInPdfPrinter) {
    const std::string path = host_.AskPdfPath(Concat({"Zel-", doc_.key, ".pdf"}));
    if (path.empty()) {
      ShowStatus("Nie zapisano PDF", kWarning);
      return false;
    }
    ok = WriteViewerPdf(doc_, code, path, &message);
  } else {
    ok = PrintViewerDocument(doc_, code, printer, &message);
  }
  if (!ok) {
    ShowStatus(message, kWarning);
    return false;
  }
  ShowStatus(message.empty() ? Concat({"Wydruk ", doc_.key, " zakończony."_w}) : message,
             message.empty() ? kSuccess : kWarning);
  return true;
}

bool FViewer::Print() {
  if (printers_.empty()) return false;
  return PrintOn(printers_[static_cast<std::size_t>(PrinterIndex())]);
}

bool FViewer::Pdf() {
  std::string pdf;
  for (const std::string& p : printers_) {
    if (p.find("PDF") != std::string::npos) pdf = p;
  }
  if (pdf.empty()) return false;
  const std::string before = CurrentPrinterName();
  const bool ok = PrintOn(pdf);
  CurrentPrinterName() = before;
  return ok;
}

}  // namespace zel
