// The document viewer FViewer (window kind 8), without a toolkit: it shows
// the document an option handed over (CurrentViewerDocument), at a zoom the
// user changes, pages through the parts between "N" divisions, scrolls,
// offers the document's actions (copies, or originals and marked copies),
// remembers the chosen action as "Vie-" + key, and prints or writes a PDF.
//
// Screen pixels are script units x zoom / 5 + 3. The view draws the
// recorded drawing (Drawing) at the vertical position ScrollY and shows
// Caption; everything else is decided here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output/recording_canvas.hpp"
#include "output/viewer_document.hpp"
#include "output/viewer_layout.hpp"

namespace zel {

struct ViewerAction {
  std::string caption;  // Windows-1250
  std::string code;     // one letter a copy
};

// The actions a document offers: flag 1 plain copies (e, ee, eee, eeee),
// flag 2 originals and marked copies (o, ok, okl, oklm, k, kl, klm).
std::vector<ViewerAction> ViewerActions(int flags);

// What the viewer asks of the program around it.
class ViewerHost {
 public:
  virtual ~ViewerHost() = default;
  virtual int ScreenWidth() { return 1024; }
  // The printers in the system's order, then the built-in PDF target.
  virtual std::vector<std::string> Printers() = 0;
  // The PDF file's path for the default name; empty when cancelled.
  virtual std::string AskPdfPath(std::string_view default_name) = 0;
  // The name of the option that drew the document.
  virtual std::string OptionName() { return {}; }
  // The developer's message box of a document handed over incomplete.
  virtual void DeveloperMessage(std::string_view caption, std::string_view text) {
    (void)caption;
    (void)text;
  }
  // Measures texts in the screen's faces (the view's); nullptr measures
  // with fixed proportions (tests).
  virtual FontProbe* ScreenProbe() { return nullptr; }
};

class FViewer {
 public:
  explicit FViewer(ViewerHost& host) : host_(host) {}

  // Jo: takes the current document; false (with the developer's message)
  // when the option left out something the viewer needs.
  bool Open();
  bool IsOpen() const { return layout_ != nullptr; }

  // The drawing at the current zoom, in screen pixels, and its size.
  const std::vector<CanvasCall>& Drawing() const { return drawing_; }
  int DrawingWidth() const { return drawing_w_; }
  int DrawingHeight() const { return drawing_h_; }
  const std::string& Caption() const { return caption_; }
  const ViewerLayout* Layout() const { return layout_.get(); }

  int Zoom() const { return zoom_; }
  void ZoomIn();
  void ZoomOut();  // not below 4

  int Page() const { return page_; }  // 0-based part shown at the top
  int Pages() const;
  void NextPage();
  void PreviousPage();

  // Vertical position of the drawing; the view's height bounds it.
  int ScrollY() const { return scroll_y_; }
  void SetViewHeight(int h);
  void ScrollTo(int y);
  void ScrollBy(int dy) { ScrollTo(scroll_y_ + dy); }
  enum class Key { kPgUp, kPgDn, kUp, kDown, kHome, kEnd, kPlus, kMinus };
  void PressKey(Key key);
  void Wheel(int delta);  // scrolls by delta x zoom / 25 (delta < 0 scrolls down)

  const std::vector<ViewerAction>& Actions() const { return actions_; }
  int SelectedAction() const { return selected_; }
  void ChooseAction(int index);
  bool ZapEnabled() const { return zap_enabled_; }
  void Zap();  // stores the choice as "Vie-" + key, its position + 1

  const std::vector<std::string>& Printers() const { return printers_; }
  int PrinterIndex() const;
  void ChoosePrinter(int index);
  bool PdfEnabled() const;

  // bWyd: the document on the current printer (the built-in PDF target asks
  // for a file) with the chosen action; bPDF: on the last printer whose name
  // contains "PDF", the current printer coming back afterwards.
  bool Print();
  bool Pdf();

 private:
  void Relayout();
  bool PrintOn(const std::string& printer);

  ViewerHost& host_;
  ViewerDocument doc_;
  std::unique_ptr<ViewerLayout> layout_;
  std::vector<CanvasCall> drawing_;
  int drawing_w_ = 0, drawing_h_ = 0;
  std::string caption_;
  int zoom_ = kViewerStartZoom;
  int page_ = 0;
  int scroll_y_ = 0;
  int view_h_ = 600;
  std::vector<ViewerAction> actions_;
  int selected_ = 0;
  bool zap_enabled_ = false;
  std::vector<std::string> printers_;
};

}  // namespace zel
