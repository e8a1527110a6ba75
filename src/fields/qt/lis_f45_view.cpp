#include "fields/qt/lis_f45_view.hpp"

#include <QAbstractListModel>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "fields/lis_f45.hpp"
#include "shell/pulpit.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

// The form's entries as rows; reads them only when Qt asks for a row.
class HintListModel final : public QAbstractListModel {
 public:
  HintListModel(FLisF45& form, QObject* parent) : QAbstractListModel(parent), form_(form) {}
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
    return QtText(form_.EntryText(static_cast<std::size_t>(index.row())));
  }
  void Reload() {
    beginResetModel();
    rows_ = static_cast<int>(std::min<std::size_t>(form_.Count(), 0x7fffffff));
    endResetModel();
  }

 private:
  FLisF45& form_;
  int rows_ = 0;
};

namespace {

QFont ListFont() {
  QFont f(QStringLiteral("Consolas"));
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setPointSize(std::max(6, WindowFont.size));
  f.setBold(true);
  return f;
}

QDate ToQDate(const CalendarDay& d) {
  return QDate(d.year, d.month, d.day);
}
CalendarDay FromQDate(const QDate& d) {
  return CalendarDay{d.year(), d.month(), d.day()};
}

// Windows key numbers of the keys the list knows; 0 for keys it ignores.
std::uint16_t ListKeyOf(const QKeyEvent* k) {
  const bool pad = k->modifiers() & Qt::KeypadModifier;
  switch (k->key()) {
    case Qt::Key_Up:
      return kListUp;
    case Qt::Key_Down:
      return kListDown;
    case Qt::Key_PageUp:
      return kListPageUp;
    case Qt::Key_PageDown:
      return kListPageDown;
    case Qt::Key_Home:
      return kListHome;
    case Qt::Key_End:
      return kListEnd;
    case Qt::Key_F4:
      return kListF4;
    case Qt::Key_F5:
      return kListF5;
    default:
      break;
  }
  if (pad) {
    switch (k->key()) {
      case Qt::Key_1:
        return kListPad1;
      case Qt::Key_2:
        return kListPad2;
      case Qt::Key_3:
        return kListPad3;
      case Qt::Key_4:
        return kListPad4;
      case Qt::Key_6:
        return kListPad6;
      case Qt::Key_7:
        return kListPad7;
      case Qt::Key_8:
        return kListPad8;
      case Qt::Key_9:
        return kListPad9;
      case Qt::Key_Plus:
        return kListGreyPlus;
      case Qt::Key_Minus:
        return kListGreyMinus;
      default:
        break;
    }
  }
  return k->key() > 0 && k->key() < 256 ? static_cast<std::uint16_t>(k->key()) : 0;
}

}  // namespace

LisF45View::LisF45View(FLisF45& form, PulpitView& desktop, QWidget* parent)
    : QWidget(parent), form_(form), desktop_(desktop) {
  const QFont f = ListFont();
  heading_ = new QLabel(this);
  heading_->setFont(f);
  model_ = new HintListModel(form_, this);
  list_ = new QListView(this);
  list_->setModel(model_);
  list_->setUniformItemSizes(true);
  list_->setFont(f);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setMinimumHeight(QFontMetrics(f).lineSpacing() * FLisF45::kVisibleLines + 6);
  list_->installEventFilter(this);
  wait_ = new QLabel(QtText("Proszę czekać, tworzę listę podpowiedzi."_w), this);
  wait_->setAlignment(Qt::AlignCenter);
  wait_->setAutoFillBackground(true);
  wait_->hide();
  calendar_ = new QCalendarWidget(this);
  calendar_->setMinimumDate(QDate(1900, 1, 1));
  calendar_->setMaximumDate(QDate(2099, 12, 31));
  calendar_->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
  calendar_->hide();

  ren_ = new QPushButton(QtText("Zmień"_w), this);
  del_ = new QPushButton(QStringLiteral("Skasuj"), this);
  auto* pre_label = new QLabel(QStringLiteral("Filtr listy"), this);
  pre_ = new QLineEdit(this);
  auto* pos_label = new QLabel(QStringLiteral("Szukaj"), this);
  pos_ = new QLineEdit(this);
  pos_->installEventFilter(this);
  go_ = new QPushButton(QStringLiteral("O.K."), this);
  esc_ = new QPushButton(QtText("Wróć"_w), this);

  auto* buttons = new QHBoxLayout;
  for (QWidget* w :
       {static_cast<QWidget*>(ren_), static_cast<QWidget*>(del_), static_cast<QWidget*>(pre_label),
        static_cast<QWidget*>(pre_), static_cast<QWidget*>(pos_label), static_cast<QWidget*>(pos_),
        static_cast<QWidget*>(go_), static_cast<QWidget*>(esc_)}) {
    buttons->addWidget(w);
  }
  auto* body = new QGridLayout;
  body->addWidget(list_, 0, 0);
  body->addWidget(wait_, 0, 0);
  body->addWidget(calendar_, 0, 0);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  top->addWidget(heading_);
  top->addLayout(body, 1);
  top->addLayout(buttons);

  connect(list_, &QListView::clicked, this, [this](const QModelIndex& i) {
    if (syncing_) return;
    form_.Select(static_cast<std::size_t>(i.row()));
    Changed();
  });
  connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
    form_.DoubleClick(static_cast<std::size_t>(i.row()));
    Changed();
  });
  connect(pre_, &QLineEdit::returnPressed, this, [this] {
    form_.SetFilterText(WinText(pre_->text()));
    form_.EnterFilter();
    Changed();
  });
  connect(pos_, &QLineEdit::returnPressed, this, [this] {
    form_.SetSearchText(WinText(pos_->text()));
    form_.EnterSearch();
    Changed();
  });
  connect(go_, &QPushButton::clicked, this, [this] {
    if (pre_->hasFocus()) form_.SetFilterText(WinText(pre_->text()));
    if (pos_->hasFocus()) form_.SetSearchText(WinText(pos_->text()));
    if (form_.CalendarMode()) form_.SetCalendarDay(FromQDate(calendar_->selectedDate()));
    form_.ClickGo();
    Changed();
  });
  connect(esc_, &QPushButton::clicked, this, [this] {
    form_.ClickEsc();
    Changed();
  });
  connect(del_, &QPushButton::clicked, this, [this] {
    form_.ClickDelete();
    Changed();
  });
  connect(ren_, &QPushButton::clicked, this, [this] {
    form_.ClickRename();
    Changed();
  });
  connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
    if (!syncing_) form_.SetCalendarDay(FromQDate(calendar_->selectedDate()));
  });
  connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) {
    form_.CalendarDoubleClick(FromQDate(d));
    Changed();
  });
}

LisF45View::~LisF45View() = default;

void LisF45View::Changed() {
  desktop_.Refresh();
  Sync();
}

void LisF45View::Activated() {
  if (!form_.Frame().Collapsed()) Sync();
}

void LisF45View::Sync() {
  syncing_ = true;
  WindowFrame& frame = form_.Frame();
  if (!frame.Collapsed() && frame.width <= 1) {
    // The first opening: the size of the content, within the desktop.
    QWidget* area = parentWidget() ? parentWidget()->parentWidget() : nullptr;
    const int max_w = area ? std::max(200, area->width() - 20) : 1000;
    const int w =
        QFontMetrics(list_->font()).horizontalAdvance(QString(123, QLatin1Char('0'))) + 30;
    frame.width = std::min(w, max_w);
    frame.height = sizeHint().height() + 40;
  } else if (!frame.Collapsed() && frame.height <= 1) {
    frame.height = sizeHint().height() + 40;
  }
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    const QString caption = QtText(form_.Caption());
    if (sub->windowTitle() != caption) sub->setWindowTitle(caption);
  }
  const bool fresh = form_.Generation() != generation_shown_;
  if (fresh) {
    generation_shown_ = form_.Generation();
    model_->Reload();
    heading_->setText(QtText(form_.Heading()));
    pre_->setText(QtText(form_.FilterText()));
    pos_->setText(QtText(form_.SearchEdit()));
    if (form_.CalendarMode()) calendar_->setSelectedDate(ToQDate(form_.CalendarStart()));
  }
  const bool cal = form_.CalendarMode();
  calendar_->setVisible(cal);
  list_->setVisible(!cal);
  for (QWidget* w : {static_cast<QWidget*>(ren_), static_cast<QWidget*>(del_),
                     static_cast<QWidget*>(pre_), static_cast<QWidget*>(pos_)}) {
    w->setEnabled(!cal);
  }
  list_->setEnabled(form_.ListEnabled());
  pre_->setEnabled(form_.FilterEnabled());
  pos_->setEnabled(form_.SearchEnabled());
  wait_->setVisible(form_.Building());
  if (!pos_->hasFocus() && pos_->text() != QtText(form_.SearchEdit())) {
    pos_->setText(QtText(form_.SearchEdit()));
  }
  if (form_.Count() > 0 && !cal) {
    const QModelIndex top = model_->index(static_cast<int>(form_.TopLine()), 0);
    const QModelIndex sel = model_->index(static_cast<int>(form_.Selected()), 0);
    if (list_->currentIndex() != sel) list_->setCurrentIndex(sel);
    if (fresh) list_->scrollTo(top, QAbstractItemView::PositionAtTop);
    list_->scrollTo(sel);
  }
  if (fresh && !frame.Collapsed()) {
    switch (form_.Focus()) {
      case ListFocus::kList:
        list_->setFocus();
        break;
      case ListFocus::kFilter:
        pre_->setFocus();
        break;
      case ListFocus::kSearch:
        pos_->setFocus();
        break;
      case ListFocus::kCalendar:
        calendar_->setFocus();
        break;
      case ListFocus::kEsc:
        esc_->setFocus();
        break;
    }
  } else if (form_.Focus() == ListFocus::kList && pos_->hasFocus()) {
    list_->setFocus();
  }
  syncing_ = false;
}

bool LisF45View::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pos_ && event->type() == QEvent::FocusIn && !syncing_) {
    form_.FocusSearch();
    pos_->clear();
    return false;
  }
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      form_.ClickGo();
    } else if (k->key() == Qt::Key_Escape) {
      form_.ClickEsc();
    } else if (std::uint16_t code = ListKeyOf(k); code != 0) {
      form_.Key(code);
      if (code == kListF5) pos_->setFocus();
    } else {
      return false;
    }
    Changed();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zel
