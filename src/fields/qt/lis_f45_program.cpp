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
#include "fields/qt/okna_f3_program.hpp"
#include "fields/qt/zestaw_view_program.hpp"
#include "platform/paths.hpp"
#include "shell/qt/qt_metrics.hpp"
#include "shell/settings.hpp"

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
    r.pattern = FromF3() ? f3_->ListPattern() : parameters_.ListPattern();
    return r;
  }
  void Answer(const ListAnswer& answer) override {
    if (FromF3()) {
      f3_->SetListAnswer(answer.value);
    } else {
      parameters_.SetListAnswer(answer.value, answer.request);
    }
  }
  bool ReadPosition(int* left, int* top) override {
    ReadSetting(false, "F45LT");
    if (!SettingFound() || SettingNumber(2) <= 0) return false;
    *left = SettingNumber(1);
    *top = SettingNumber(2);
    return true;
  }
  void WritePosition(int left, int top) override { desk_.SavePosition("F45", left, top); }
  void SetF3(F3Window* f3) { f3_ = f3; }
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
  // The F3 windows open their lists under their window codes.
  bool FromF3() const { return f3_ && desk_.F45Kind() >= 121 && desk_.F45Kind() <= 130; }

  FPulpit& desk_;
  ParameterWindow& parameters_;
  F3Window* f3_ = nullptr;
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

void HintListWindow::SetF3Window(F3Window* f3) { parts_->host.SetF3(f3); }

FLisF45& HintListWindow::Form() {
  return parts_->form;
}
QWidget* HintListWindow::View() {
  return parts_->view;
}

}  // namespace zel
