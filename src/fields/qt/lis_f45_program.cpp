#include "fields/qt/lis_f45_program.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>

#include "fields/hint_lists.hpp"
#include "fields/lis_f45.hpp"
#include "fields/qt/lis_f45_view.hpp"
#include "fields/qt/zestaw_view_program.hpp"
#include "platform/paths.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

namespace {

class QtListHost final : public ListHost {
 public:
  QtListHost(FPulpit& desk, ParameterWindow& parameters) : desk_(desk), parameters_(parameters) {}
  ~QtListHost() override { delete picture_; }

  ListRequest Request() override {
    ListRequest r;
    r.kind = desk_.F45Value();
    r.f5 = desk_.F45WasF5();
    r.typed = desk_.F45Text();
    r.source = desk_.F45Kind();
    r.pattern = parameters_.ListPattern();
    return r;
  }
  void Answer(const ListAnswer& answer) override { parameters_.SetListAnswer(answer.value); }
  void ProcessMessages() override { QCoreApplication::processEvents(); }
  void ShowPicture(std::string_view path) override {
    if (path.empty()) {
      if (picture_) picture_->hide();
      return;
    }
    QImageReader reader(QString::fromStdString(NativePath(path)));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
      if (picture_) picture_->hide();
      return;
    }
    if (!picture_) {
      picture_ = new QLabel(nullptr, Qt::Tool);
      picture_->setAlignment(Qt::AlignCenter);
    }
    picture_->setPixmap(
        QPixmap::fromImage(image).scaled(320, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture_->setWindowTitle(QtText(path));
    picture_->show();
  }

 private:
  FPulpit& desk_;
  ParameterWindow& parameters_;
  QLabel* picture_ = nullptr;
};

}  // namespace

struct HintListWindow::Parts {
  Parts(FPulpit& d, DesktopView& v, ParameterWindow& p) : desk(d), host(d, p), form(host) {
    view = new LisF45View(form, v);
    sub = v.AddChild(&form, view, view, false);
  }
  FPulpit& desk;
  QtListHost host;
  FLisF45 form;
  LisF45View* view = nullptr;
  QMdiSubWindow* sub = nullptr;
};

HintListWindow::HintListWindow(FPulpit& desk, DesktopView& view, ParameterWindow& parameters)
    : parts_(std::make_unique<Parts>(desk, view, parameters)) {
  desk.SetWindow(FPulpit::kLisF45, &parts_->form);
  // The height lists reach 1600 with a second monitor, else the screen's height.
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.size() == 1) ListScreenHeight = screens[0]->geometry().height();
}

HintListWindow::~HintListWindow() {
  parts_->desk.SetWindow(FPulpit::kLisF45, nullptr);
  delete parts_->sub;
}

FLisF45& HintListWindow::Form() {
  return parts_->form;
}
QWidget* HintListWindow::View() {
  return parts_->view;
}

}  // namespace zel
