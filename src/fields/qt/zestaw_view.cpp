#include "fields/qt/zestaw_view.hpp"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <algorithm>

#include "fields/qt/slot_window_view.hpp"
#include "fields/zestaw.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

namespace {

constexpr std::uint32_t kMemoColour = 12632256;

QPushButton* BarButton(QWidget* parent, const char* name, std::string_view caption) {
  auto* b = new QPushButton(QtText(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

ZestawView::ZestawView(FZestaw& form, PulpitView& desktop, QWidget* parent)
    : QWidget(parent), form_(form), desktop_(desktop) {
  setAutoFillBackground(true);
  setFocusPolicy(Qt::ClickFocus);

  editor_ = new QLineEdit(this);
  editor_->setObjectName(QStringLiteral("ed"));
  editor_->setFrame(false);
  editor_->setStyleSheet(
      QStringLiteral("QLineEdit { lineedit-password-character: 64; background: #DFDFD7; }"));
  editor_->installEventFilter(this);
  editor_->hide();
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (syncing_) return;
    int caret = editor_->cursorPosition();
    std::string typed = WinText(text);
    form_.SetEditorText(typed);
    if (form_.Editor().text == typed) form_.SetCaret(caret);
    Changed();
  });

  fbutton_ = new QLabel(QStringLiteral("F"), this);
  fbutton_->setObjectName(QStringLiteral("PaF"));
  fbutton_->setAlignment(Qt::AlignCenter);
  fbutton_->installEventFilter(this);
  fbutton_->hide();

  esc_ = new QPushButton(QString::fromUtf8("Anuluj"), this);
  esc_->setObjectName(QStringLiteral("bEsc"));
  esc_->setFocusPolicy(Qt::NoFocus);
  esc_->installEventFilter(this);
  ent_ = new QPushButton(this);
  ent_->setObjectName(QStringLiteral("bEnt"));
  ent_->setFocusPolicy(Qt::NoFocus);
  tab_ = new QPushButton(this);
  tab_->setObjectName(QStringLiteral("bTab"));
  tab_->setFocusPolicy(Qt::NoFocus);
  go_ = new QPushButton(this);
  go_->setObjectName(QStringLiteral("bGo"));
  go_->setFocusPolicy(Qt::NoFocus);
  connect(esc_, &QPushButton::clicked, this, [this] {
    form_.ClickEsc();
    Changed();
  });
  connect(ent_, &QPushButton::clicked, this, [this] {
    form_.PressKey(kKeyEnter);
    Changed();
  });
  connect(go_, &QPushButton::clicked, this, [this] {
    form_.ClickGo();
    Changed();
  });

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("pSt"));
  status_->setFrameShape(QFrame::Panel);
  status_->setFrameShadow(QFrame::Sunken);

  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setFrameShape(QFrame::NoFrame);
  memo_->setReadOnly(true);
  SetBack(memo_, WinColour(kMemoColour));
  memo_->installEventFilter(this);
  memo_->hide();

  print_bar_ = new QWidget(this);
  print_bar_->setObjectName(QStringLiteral("pSz"));
  pdom_ = BarButton(print_bar_, "pDom", "ZAPisz jako domyślne ->"_w);
  czyn_ = new QComboBox(print_bar_);
  czyn_->setObjectName(QStringLiteral("Czyn"));
  czyn_->setFocusPolicy(Qt::NoFocus);
  ppod_ = BarButton(print_bar_, "pPod", "Podgląd"_w);
  ppdf_ = BarButton(print_bar_, "pPDF", "PDF");
  ppdf_->installEventFilter(this);
  pzap_ = BarButton(print_bar_, "pZap", "Zapisz dokument");
  druk_ = new QComboBox(print_bar_);
  druk_->setObjectName(QStringLiteral("Druk"));
  druk_->setFocusPolicy(Qt::NoFocus);
  opdf_ = BarButton(print_bar_, "oPDF", "PDF oryg.");
  ltw_ = new QLabel(print_bar_);
  ltw_->setObjectName(QStringLiteral("LTW"));
  print_bar_->hide();
  connect(pdom_, &QPushButton::clicked, this, [this] {
    form_.ClickDefaultChoice();
    Changed();
  });
  connect(czyn_, qOverload<int>(&QComboBox::activated), this, [this](int i) {
    form_.ChooseAction(i);
    Changed();
  });
  connect(druk_, qOverload<int>(&QComboBox::activated), this, [this](int i) {
    form_.ChoosePrinter(i);
    Changed();
  });
  auto run = [this](std::uint8_t mode) {
    form_.Run(mode);
    Changed();
  };
  connect(ppod_, &QPushButton::clicked, this, [run] { run(kRunPreview); });
  connect(ppdf_, &QPushButton::clicked, this, [run] { run(kRunPdf); });
  connect(pzap_, &QPushButton::clicked, this, [run] { run(kRunSave); });
  connect(opdf_, &QPushButton::clicked, this, [run] { run(kRunPdfOriginal); });
}

ZestawView::~ZestawView() {
  syncing_ = true;
  for (QObject* o :
       {static_cast<QObject*>(editor_), static_cast<QObject*>(fbutton_),
        static_cast<QObject*>(esc_), static_cast<QObject*>(memo_), static_cast<QObject*>(ppdf_)}) {
    o->removeEventFilter(this);
  }
}

int ZestawView::LineHeight() const {
  return form_.Fields().LineHeight();
}

int ZestawView::PrintBarHeight() const {
  if (!form_.PrintBarShown()) return 0;
  return form_.Drawing().status.top - form_.Drawing().print_bar.top;
}

void ZestawView::Changed() {
  desktop_.Refresh();
  Sync();
}

void ZestawView::Activated() {
  if (form_.Frame().Collapsed()) return;
  form_.Activate();
  Changed();
}

void ZestawView::SyncPrintBar() {
  SetBack(print_bar_, WinColour(form_.Drawing().bar_colour));
  std::string actions;
  for (const ActionEntry& a : form_.Actions()) actions += a.text + '\n';
  if (actions != actions_shown_) {
    czyn_->clear();
    for (const ActionEntry& a : form_.Actions()) czyn_->addItem(QtText(a.text));
    actions_shown_ = actions;
  }
  if (czyn_->currentIndex() != form_.SelectedAction())
    czyn_->setCurrentIndex(form_.SelectedAction());
  std::vector<std::string> printers = form_.PrinterEntries();
  std::string joined;
  for (const std::string& p : printers) joined += p + '\n';
  if (joined != printers_shown_) {
    druk_->clear();
    for (const std::string& p : printers) druk_->addItem(QtText(p));
    printers_shown_ = joined;
  }
  pdom_->setEnabled(form_.DefaultChoiceEnabled());
  ppdf_->setEnabled(form_.PdfEnabled());
  opdf_->setEnabled(form_.PdfEnabled());

  // The bar's controls where the form laid them out, relative to the bar.
  const ZestawLayout& d = form_.Drawing();
  QWidget* items[8] = {pdom_, czyn_, ppod_, ppdf_, pzap_, druk_, opdf_, ltw_};
  for (int i = 0; i < 8; ++i) items[i]->setGeometry(Rect(d.bar_items[static_cast<std::size_t>(i)]));
  print_bar_->setGeometry(Rect(d.print_bar));
}

void ZestawView::Sync() {
  if (growing_) return;
  syncing_ = true;
  SetBack(this, WinColour(form_.Drawing().back_colour));
  QFont f = QtWindowFont();
  if (font() != f) setFont(f);
  if (editor_->font() != f) editor_->setFont(f);

  const ZestawLayout& d = form_.Drawing();
  fancy_frame_ = d.fancy_frame;

  // The print bar stands between the buttons and pSt.
  if (form_.PrintBarShown()) {
    SyncPrintBar();
    print_bar_->show();
  } else {
    print_bar_->hide();
  }
  WindowFrame& frame = form_.Frame();

  // Buttons in one row below the fields: bEsc, then bGo filling the rest;
  // bEnt and bTab hide behind bEsc.
  esc_->setGeometry(Rect(d.esc));
  ent_->setGeometry(Rect(d.esc));
  tab_->setGeometry(Rect(d.esc));
  ent_->lower();
  tab_->lower();
  go_->setGeometry(Rect(d.go));
  go_->setText(QtText(form_.GoCaption()));
  {
    QPalette p = go_->palette();
    p.setColor(QPalette::ButtonText, form_.GoRed() ? QColor(255, 0, 0) : QColor(0, 0, 0));
    go_->setPalette(p);
  }

  // The memo over Go during a run.
  if (form_.MemoShown()) {
    memo_->setGeometry(Rect(d.memo));
    memo_->show();
    memo_->raise();
  } else {
    memo_->hide();
  }

  status_->setGeometry(Rect(d.status));
  status_->setText(QtText(" " + form_.StatusText()));
  {
    QPalette p = status_->palette();
    p.setColor(QPalette::WindowText, StatusColourOf(form_.StatusColour()));
    status_->setPalette(p);
  }

  // The editor over the current panel.
  if (!SyncEditor(editor_, fbutton_, form_, form_.MemoShown(), isVisible()) && form_.MemoShown() &&
      isVisible()) {
    memo_->setFocus();
  }

  if (!frame.Collapsed() && !isVisible()) {
    // Shown again: the window grows to its size in seven steps.
    QWidget* sub = parentWidget();
    if (sub == nullptr || sub->isVisible()) Grow();
  }
  syncing_ = false;
  update();
}

void ZestawView::Grow() {
  QWidget* sub = parentWidget();
  if (sub == nullptr || form_.Frame().Collapsed()) return;
  growing_ = true;
  GrowSubWindow(sub, form_.Frame(), form_.GrowthSteps());
  growing_ = false;
}

void ZestawView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintSlots(p, *this, form_, fancy_frame_);
}

void ZestawView::mousePressEvent(QMouseEvent* event) {
  if (form_.State() == kZesRunning || form_.State() == kZesAbort) return;
  QPoint at = event->position().toPoint();
  form_.ClickAt(at.x(), at.y());
  Changed();
}

void ZestawView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (Rect(form_.Drawing().title).contains(event->position().toPoint())) {
    form_.DoubleClickTitle();
    Changed();
  }
}

bool ZestawView::EditorKey(QKeyEvent* key) {
  std::uint16_t code = CommandKey(key);
  if (code == 0) return false;
  form_.PressKey(code);
  Changed();
  return true;
}

bool ZestawView::eventFilter(QObject* watched, QEvent* event) {
  if (syncing_) return QWidget::eventFilter(watched, event);
  const QEvent::Type t = event->type();
  if (watched == editor_) {
    if (t == QEvent::KeyPress) return EditorKey(static_cast<QKeyEvent*>(event));
    if (t == QEvent::ShortcutOverride) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (CommandKey(k) != 0) {
        event->accept();
        return true;
      }
    }
    if (t == QEvent::MouseButtonDblClick) {
      form_.PressKey(kKeyF3);
      Changed();
      return true;
    }
  } else if (watched == memo_) {
    if (t == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_F3) {
        memo_->paste();
        return true;
      }
      std::uint16_t code = CommandKey(k);
      form_.PressKey(code != 0 ? code : static_cast<std::uint16_t>(k->nativeVirtualKey() & 0xFFFF));
      Changed();
      return true;
    }
  } else if (watched == fbutton_) {
    if (t == QEvent::MouseButtonDblClick) {
      form_.PressKey(kKeyF3);
      Changed();
      return true;
    }
    if (t == QEvent::MouseButtonRelease) {
      auto* m = static_cast<QMouseEvent*>(event);
      form_.PressKey(m->button() == Qt::RightButton ? kKeyF5 : kKeyF4);
      Changed();
      return true;
    }
  } else if (watched == esc_) {
    if (t == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      form_.RightClickEsc();
      Changed();
      return true;
    }
  } else if (watched == ppdf_) {
    if (t == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && ppdf_->isEnabled()) {
      form_.Run(kRunPdfRight);
      Changed();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zel
