#include "menu/qt/menu_view.hpp"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextOption>

#include "shell/qt/qt_metrics.hpp"

namespace zel {

namespace {

void Colour(QWidget* w, QPalette::ColorRole role, std::uint32_t rgb) {
  QPalette p = w->palette();
  p.setColor(role, QtColour(rgb));
  w->setPalette(p);
}

QListWidget* MakeList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setCursor(Qt::PointingHandCursor);
  list->setUniformItemSizes(true);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setFrameShape(QFrame::Box);
  list->setContextMenuPolicy(Qt::PreventContextMenu);
  return list;
}

}  // namespace

MenuView::MenuView(FMen& form, PulpitView& desktop, QWidget* parent)
    : QWidget(parent), form_(form), desktop_(desktop) {
  setAutoFillBackground(true);
  the_end_ = new QPushButton(this);
  the_end_->setFixedSize(26, 26);
  the_end_->setText(QStringLiteral("×"));
  the_end_->setFocusPolicy(Qt::NoFocus);

  main_ = MakeList(this);
  sub_ = MakeList(this);
  for (QListWidget* list : {main_, sub_}) list->installEventFilter(this);
  connect(main_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!syncing_) form_.SelectMain(row);
  });
  connect(sub_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!syncing_) form_.SelectSub(row);
  });
  connect(main_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    form_.SelectMain(main_->row(item));
    form_.mMeDblK();
    Changed();
  });
  connect(sub_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    form_.SelectSub(sub_->row(item));
    form_.sMeDblK();
    Changed();
  });

  memo_ = new QPlainTextEdit(this);
  memo_->setReadOnly(true);
  memo_->setFrameShape(QFrame::NoFrame);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo_->installEventFilter(this);
  memo_->viewport()->installEventFilter(this);
}

MenuView::~MenuView() {
  // The form hears nothing more while Qt takes the lists down.
  syncing_ = true;
  for (QObject* o : {static_cast<QObject*>(main_), static_cast<QObject*>(sub_),
                     static_cast<QObject*>(memo_), static_cast<QObject*>(memo_->viewport())}) {
    o->removeEventFilter(this);
    disconnect(o, nullptr, this, nullptr);
  }
}

void MenuView::FillList(QListWidget* list, const MenuList& state, std::vector<std::string>& shown) {
  if (shown != state.lines || line_height_shown_ != form_.LineHeight()) {
    list->clear();
    for (const std::string& line : state.lines) {
      auto* item = new QListWidgetItem(QtText(line), list);
      item->setSizeHint(QSize(state.width, form_.LineHeight()));
    }
    shown = state.lines;
  }
  list->setGeometry(state.left, state.top, state.width, state.height);
  if (list->currentRow() != state.selected) list->setCurrentRow(state.selected);
}

void MenuView::Sync() {
  syncing_ = true;
  const MenuColours& c = form_.Colours();
  Colour(this, QPalette::Window, c.window);
  QFont list_font = QtWindowFont();
  if (!form_.ListsFollowWindowFont()) {
    list_font = QFont(QStringLiteral("Tahoma"));
    list_font.setPixelSize(13);
    list_font.setBold(false);
  }
  for (QListWidget* list : {main_, sub_}) {
    if (list->font() != list_font) list->setFont(list_font);
    Colour(list, QPalette::Base, c.lists);
    Colour(list, QPalette::Text, form_.ListsFollowWindowFont() ? 0x000000 : c.list_text);
    list->setEnabled(form_.ListEnabled());
  }
  FillList(main_, form_.Main(), main_shown_);
  FillList(sub_, form_.Sub(), sub_shown_);
  line_height_shown_ = form_.LineHeight();
  sub_->setVisible(form_.Sub().visible);
  the_end_->move(form_.TheEndLeft(), form_.TheEndTop());
  the_end_->lower();

  const auto& buttons = form_.Buttons();
  while (buttons_.size() < buttons.size()) {
    auto* b = new QLabel(this);
    b->setAlignment(Qt::AlignCenter);
    b->setAutoFillBackground(true);
    b->setAttribute(Qt::WA_TransparentForMouseEvents);
    b->setLineWidth(1);
    buttons_.push_back(b);
  }
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const MenuButton& button = buttons[i];
    QLabel* b = buttons_[i];
    b->setText(QtText(button.caption));
    b->setFont(QtWindowFont());
    b->setFrameStyle(QFrame::Panel | (button.lowered ? QFrame::Sunken : QFrame::Raised));
    Colour(b, QPalette::Window, c.buttons);
    b->setGeometry(button.left, button.top, button.width, button.height);
    b->setVisible(form_.ButtonsShown());
    b->lower();
  }

  const MenuMemo& m = form_.Memo();
  if (memo_shown_ != m.lines) {
    QStringList lines;
    for (const std::string& l : m.lines) lines << QtText(l);
    memo_->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor = memo_->textCursor();
    cursor.movePosition(QTextCursor::Start);
    memo_->setTextCursor(cursor);
    memo_shown_ = m.lines;
  }
  QFont memo_font = QtWindowFont();
  memo_font.setPointSize(std::max(1, m.font_size));
  memo_->setFont(memo_font);
  Colour(memo_, QPalette::Base, c.memo);
  Colour(memo_, QPalette::Text, c.memo_text);
  memo_->setGeometry(m.left, m.top, m.width, m.height);
  memo_->setVisible(form_.ButtonsShown());
  memo_->lower();

  QWidget* want = form_.CurrentFocus() == FMen::Focus::kSub ? sub_ : main_;
  if (want->isVisible() && !want->hasFocus() && window()->isActiveWindow()) want->setFocus();
  syncing_ = false;
}

void MenuView::Activated() {
  form_.MeActiv();
  Changed();
}

void MenuView::Changed() { desktop_.Refresh(); }

bool MenuView::ListKey(bool main_list, QKeyEvent* key) {
  int k = key->key();
  if (main_list && k >= Qt::Key_F1 && k <= Qt::Key_F11) {
    form_.mMeFxDn(k - Qt::Key_F1 + 1);
    return true;
  }
  if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
    form_.TabKey(k == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
    return true;
  }
  char c = 0;
  if (k == Qt::Key_Escape) {
    c = 27;
  } else if (k == Qt::Key_Return || k == Qt::Key_Enter) {
    c = 13;
  } else if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
    std::string win = WinText(key->text().left(1));
    if (!win.empty()) c = win[0];
  }
  if (c == 0) return false;  // arrows and the like: the list's own behaviour
  if (main_list) {
    form_.mMeKeyP(c);
  } else {
    form_.sMeKeyP(c);
  }
  return true;
}

bool MenuView::eventFilter(QObject* watched, QEvent* event) {
  bool main_list = watched == main_;
  bool list = main_list || watched == sub_;
  switch (event->type()) {
    case QEvent::KeyPress:
      if (list && ListKey(main_list, static_cast<QKeyEvent*>(event))) {
        Changed();
        return true;
      }
      break;
    case QEvent::FocusIn:
      if (!syncing_ && (main_list || watched == memo_)) {
        form_.mMeEntr();
        Changed();
        if (watched == memo_) main_->setFocus();
      }
      break;
    case QEvent::MouseButtonPress:
      if (watched == memo_->viewport()) {
        auto* m = static_cast<QMouseEvent*>(event);
        QPoint p = memo_->viewport()->mapTo(this, m->position().toPoint());
        form_.MenMoDn(p.x(), p.y());
        Changed();
      }
      break;
    case QEvent::MouseButtonRelease:
      if (watched == memo_->viewport()) {
        auto* m = static_cast<QMouseEvent*>(event);
        QPoint p = memo_->viewport()->mapTo(this, m->position().toPoint());
        form_.MenKlik(p.x(), p.y());
        form_.mMeEntr();
        main_->setFocus();
        Changed();
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void MenuView::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  form_.MenMoDn(p.x(), p.y());
  Changed();
}

void MenuView::mouseReleaseEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  form_.MenKlik(p.x(), p.y());
  Changed();
}

}  // namespace zel
