// The report preview FRaport as a Qt window: the toolbar (POR, PEJ, DRU,
// XLS, JPK, PDF, FIT, FI, FIE, WIE, WP, wi, WK, Esc), the sunken panel with
// the drawing surface, the scroll bar and the page-marking pop-up menu PM.
//
// The drawing follows the preview geometry (character-based columns from
// the 50-character sample, heading boxes, bands of five, grey rows outside
// WP..WK, the red marked row, rules, at most 135 rows a pass); every
// decision - top row, marks, ranges, searches, scroll keys - is taken by the
// ReportPreview state the view is given. The view is a top-level window
// shown when a report is finished and hidden when closed; to the desktop it
// is the window of kind 7 (its frame follows the window's geometry, so the
// desktop's registry can remember where it stood). It owns its widgets, not
// the document or the preview state.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "output/report_document.hpp"
#include "output/report_outputs.hpp"
#include "output/report_preview.hpp"
#include "shell/pulpit_window.hpp"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;

namespace zel {

class RaportSurface;

class RaportView final : public QWidget, public ReportView, public DeskWindow {
  Q_OBJECT

 public:
  RaportView(const ReportDocument& doc, ReportPreview& preview, QWidget* parent = nullptr);
  ~RaportView() override;

  // ReportView.
  void ColumnsChanged() override;
  void ReportFinished() override;

  // DeskWindow: Bo hides the window and forgets the stored width; Go shows
  // the finished report again.
  WindowFrame& Frame() override;
  bool IsChild() const override { return false; }
  void Bo() override;
  void Go(std::uint8_t mode) override;

  // The outputs behind POR, PEJ, DRU, PDF and XLS (owned by the program);
  // without them these buttons only say that they are not ready.
  void SetOutputs(ReportOutputs* outputs) { outputs_ = outputs; }

  // Redraws the surface from the preview state and refreshes the boxes.
  void Redraw();
  void Close();

  // Called after the window was hidden (the desktop takes the focus back).
  std::function<void()> on_closed;

  // Rows drawn by the last pass, its table width, and the metrics in use.
  int LastTableWidth() const { return table_width_; }
  int RowHeight() const { return row_h_; }
  int HeadingHeight() const { return 2 * row_h_ + 2; }

  // The widgets, for the tests.
  QWidget* Surface() const;
  QScrollBar* ScrollBar() const { return sb_; }
  QLineEdit* SearchField() const { return fi_; }
  QLineEdit* FirstBox() const { return wp_; }
  QLineEdit* LastBox() const { return wk_; }
  QPushButton* Button(const char* name) const;
  QComboBox* PrinterBox() const { return dru_; }
  QMenu* PageMenu() const { return pm_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class RaportSurface;
  void LayOut();
  void Place();
  void SyncBoxes();
  void SyncScrollBar();
  void Search(bool forward);
  void SurfaceClick(int y, bool right, QPoint global);
  int RowAt(int y) const;
  void Jpk();
  void NotReady();
  // Runs one output with the output, search and close buttons disabled.
  void Output(const std::function<void()>& run);
  void SetOutputButtons(bool on);
  QFont ReportQFont() const;
  QFont ToolbarFont() const;
  bool SecondScreen() const;

  const ReportDocument& doc_;
  ReportPreview& preview_;
  ReportOutputs* outputs_ = nullptr;
  bool filling_printers_ = false;
  int dru_rest_ = 0;  // the printer list's width at rest and while entered
  int dru_wide_ = 0;
  QPushButton* por_ = nullptr;
  QPushButton* pej_ = nullptr;
  QComboBox* dru_ = nullptr;
  QPushButton* xls_ = nullptr;
  QPushButton* jpk_ = nullptr;
  QPushButton* pdf_ = nullptr;
  QPushButton* fit_ = nullptr;
  QLineEdit* fi_ = nullptr;
  QPushButton* fie_ = nullptr;
  QLabel* wie_ = nullptr;
  QLineEdit* wp_ = nullptr;
  QLabel* wi_ = nullptr;
  QLineEdit* wk_ = nullptr;
  QPushButton* esc_ = nullptr;
  QFrame* pan_ = nullptr;
  RaportSurface* im_ = nullptr;
  QScrollBar* sb_ = nullptr;
  QMenu* pm_ = nullptr;
  int toolbar_width_ = 0;
  int toolbar_height_ = 0;
  int table_width_ = 0;  // stored width W; 0 = forgotten
  int row_h_ = 16;
  bool syncing_ = false;
  bool placed_ = false;
  std::int32_t menu_row_ = 0;
  WindowFrame frame_;
};

}  // namespace zel
