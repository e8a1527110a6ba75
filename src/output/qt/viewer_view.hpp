// The document viewer FViewer as a Qt window: the tool row (zoom + and -,
// previous and next page, the Czyn actions with ZAP, the Druk printers,
// Wydrukuj, PDF, Zamknij), the drawing surface and its scroll bar. The
// FViewer form decides everything; the surface replays the form's recorded
// drawing with QPainter. To the desktop it is the window of kind 8.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "output/qt/qt_page_canvas.hpp"
#include "output/viewer_form.hpp"
#include "shell/pulpit_window.hpp"

class QComboBox;
class QPushButton;
class QScrollBar;

namespace zel {

class ViewerSurface;

class ViewerView final : public QWidget, public ViewerHost, public DeskWindow {
 public:
  explicit ViewerView(QWidget* parent = nullptr);
  ~ViewerView() override;

  // ViewerHost.
  int ScreenWidth() override;
  std::vector<std::string> Printers() override;
  std::string AskPdfPath(std::string_view default_name) override;
  void DeveloperMessage(std::string_view caption, std::string_view text) override;
  FontProbe* ScreenProbe() override { return &canvas_; }
  std::string OptionName() override { return option_name ? option_name() : std::string(); }

  // DeskWindow: Go opens the current document.
  WindowFrame& Frame() override;
  bool IsChild() const override { return false; }
  void Bo() override { hide(); }
  void Go(std::uint8_t mode) override;

  void Close();

  FViewer& Form() { return form_; }
  QWidget* Surface() const;
  QPushButton* Button(const char* name) const;
  QComboBox* ActionBox() const { return czyn_; }

  std::function<std::vector<std::string>()> printers;
  std::function<std::string(std::string_view)> ask_pdf_path;
  std::function<std::string()> option_name;
  std::function<void()> on_closed;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ViewerSurface;
  void LayOut();
  void PlaceSurface();
  void Sync();

  FViewer form_;
  QImage probe_image_;
  QtPageCanvas canvas_;
  QPushButton* pls_ = nullptr;
  QPushButton* mns_ = nullptr;
  QPushButton* pop_ = nullptr;
  QPushButton* nst_ = nullptr;
  QComboBox* czyn_ = nullptr;
  QPushButton* zap_ = nullptr;
  QComboBox* druk_ = nullptr;
  QPushButton* wyd_ = nullptr;
  QPushButton* pdf_ = nullptr;
  QPushButton* zam_ = nullptr;
  ViewerSurface* im_ = nullptr;
  QScrollBar* sb_ = nullptr;
  QScrollBar* hsb_ = nullptr;  // across, when the drawing is wider than the window
  bool syncing_ = false;
  int toolbar_h_ = 28;
  WindowFrame frame_;
};

}  // namespace zel
