// zel: the desktop program. Builds the forms once, in the program's order
// (the desktop, the answer dialog, then the other windows; the menu last),
// wires them to their Qt views and runs the event loop; the desktop's timer
// does the rest.
//
// Arguments: the workstation number (1..197) or "-o" first, as the desktop
// reads them; --home FOLDER names the Zel folder (else $ZEL_HOME or the
// user's data folder); --db FOLDER and --chart NAME give the database
// folder and chart (a second program started from option 142 gets them);
// --version and --help answer in the terminal without opening a window. With
// no database folder
// configured, the sample year is written into "DEMO\" of the Zel folder on
// first start and the workstation settings point at it. For looking at the
// screen from scripts: ZEL_SCREENSHOT=FILE.png saves a picture of the
// desktop a few seconds after start (after typing ZEL_SCREENSHOT_KEYS into
// the menu; "~" is Esc), and ZEL_SCREENSHOT_QUIT=1 then ends the program.
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "books/journal_file_procedures.hpp"
#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "app/version.hpp"
#include "audit/annual_audit.hpp"
#include "books/chart_options.hpp"
#include "books/imports.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "fields/dekret_window.hpp"
#include "fields/qt/answer_dialog_view.hpp"
#include "fields/qt/lis_f45_program.hpp"
#include "fields/qt/okna_f3_program.hpp"
#include "fields/qt/zestaw_view_program.hpp"
#include "fields/shell_field_sets.hpp"
#include "fields/shell_options.hpp"
#include "fields/zestaw.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/fmen.hpp"
#include "menu/fmen_links.hpp"
#include "menu/qt/menu_view.hpp"
#include "output/qt/qt_output_host.hpp"
#include "output/qt/raport_view.hpp"
#include "output/qt/viewer_view.hpp"
#include "output/report_document.hpp"
#include "output/report_outputs.hpp"
#include "output/report_preview.hpp"
#include "output/viewer_document.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/form_templates.hpp"
#include "shell/pulpit.hpp"
#include "shell/qt/desktop_view.hpp"
#include "shell/qt/qt_metrics.hpp"
#include "shell/questions.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "statements/statement_procedures.hpp"
#include "store/chart.hpp"
#include "store/station_register.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/vat_procedures.hpp"

namespace zel {
namespace {

class QtSystem final : public PulpitSystem {
 public:
  explicit QtSystem(std::vector<std::string> args) : args_(std::move(args)) {}

  double Seconds() override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }
  int Random(int n) override { return n > 0 ? static_cast<int>(random_() % n) : 0; }
  int ScreenWidth() override {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().width() : 1024;
  }
  int ScreenHeight() override {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().height() : 768;
  }
  std::vector<std::string> InstalledFonts() override {
    std::vector<std::string> out;
    for (const QString& f : QFontDatabase::families()) out.push_back(WinText(f));
    return out;
  }
  std::vector<std::string> Arguments() override { return args_; }
  std::string ProgramPath() override {
    return QCoreApplication::applicationFilePath().toStdString();
  }
  void FileVersion(int* major, int* minor) override {
    *major = 1;
    *minor = 41;
  }
  bool StartProgram(const std::string& path, const std::vector<std::string>& args) override {
    QStringList list;
    for (const std::string& a : args) list << QtText(a);
    return QProcess::startDetached(QString::fromStdString(path), list);
  }
  void Fatal(std::string_view message) override {
    QMessageBox::critical(nullptr, QStringLiteral("Zel"), QtText(message));
    std::exit(1);
  }
  void Halt() override { std::exit(0); }

 private:
  std::vector<std::string> args_;
  std::mt19937 random_{std::random_device{}()};
};

// The sample year for a start with no database folder configured.
void EnsureDemoYear(const std::vector<std::string>& args) {
  int n = args.empty() ? 0 : ParseSmall(args[0]);
  if ((n >= 1 && n <= 197) || (!args.empty() && args[0] == "-o")) return;
  StationExt = ".xxx";
  ReadSetting(false, "DirxBaza");
  bool configured = SettingFound();
  ReadSetting(false, "sDirBaza");
  configured = configured || SettingFound();
  if (!configured) {
    std::string err;
    if (!IsFolder("DEMO")) {
      DemoYear year = BuildDemoYear(DemoOptions{});
      if (!WriteDemoYear(year, "DEMO\\", &err)) {
        QMessageBox::warning(nullptr, QStringLiteral("Zel"), QtText(err));
      }
    }
    if (!WriteStationSettings("DEMO\\", &err)) {
      QMessageBox::warning(nullptr, QStringLiteral("Zel"), QtText(err));
    }
  }
  StationExt.clear();
}

void TypeIntoMenu(MenuView& view, const QString& keys) {
  for (QChar ch : keys) {
    // "~" stands for Esc.
    bool esc = ch == QLatin1Char('~');
    QKeyEvent press(QEvent::KeyPress, esc ? Qt::Key_Escape : 0, Qt::NoModifier,
                    esc ? QString() : QString(ch));
    QApplication::sendEvent(view.MainList()->hasFocus() || !view.SubList()->isVisible()
                                ? static_cast<QObject*>(view.MainList())
                                : static_cast<QObject*>(view.SubList()),
                            &press);
  }
}

}  // namespace
}  // namespace zel

int main(int argc, char** argv) {
  using namespace zel;
  // Answered before Qt starts, so they work without a screen.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("zel %s\n", kZelVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(
          "zel [--home FOLDER] [ARGUMENTS...]\n"
          "zel --help | --version\n"
          "\n"
          "Starts the Zel desktop. --home names the Zel folder (else $ZEL_HOME, else\n"
          "$XDG_DATA_HOME/zel or ~/.local/share/zel); with no database folder set up,\n"
          "the sample firm year is written into its DEMO folder on first start.\n"
          "Reports from a terminal: zel-batch --help.\n",
          stdout);
      return 0;
    }
  }
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("zel"));
  QApplication::setApplicationDisplayName(QString::fromUtf8("Zel finansowo-księgowy Kelto-Soft"));

  std::vector<std::string> args;
  std::string home = DefaultZelFolder();
  std::string given_db, given_chart;
  QStringList qargs = QCoreApplication::arguments();
  for (int i = 1; i < qargs.size(); ++i) {
    if (qargs[i] == QLatin1String("--home") && i + 1 < qargs.size()) {
      home = qargs[++i].toStdString();
    } else if (qargs[i] == QLatin1String("--db") && i + 1 < qargs.size()) {
      given_db = WinText(qargs[++i]);
    } else if (qargs[i] == QLatin1String("--chart") && i + 1 < qargs.size()) {
      given_chart = WinText(qargs[++i]);
    } else {
      args.push_back(WinText(qargs[i]));
    }
  }
  std::string err;
  if (!SetZelFolder(home, &err)) {
    QMessageBox::critical(nullptr, QStringLiteral("Zel"), QtText(err));
    return 1;
  }
  // Drive C always exists on the system the folders were named for; here it
  // is a folder of the Zel folder unless ZEL_DRIVE_C says otherwise.
  MakeFolders(DriveRoot('C'));
  // The forms the program ships go into the shared folder "!" once; a
  // missing data folder only costs the forms, so the program still starts.
  std::string no_templates;
  InstallFormTemplates(&no_templates);
  if (given_db.empty()) EnsureDemoYear(args);

  QtSystem sys(args);
  QtMetrics metrics;

  // The forms, in the program's order of creation.
  FPulpit desk(sys);
  DesktopView view(desk);
  AnswerDialogView asker(&view);
  baaMenu menu_hooks;
  FMen fmen(desk, menu_hooks, metrics);

  auto* menu_view = new MenuView(fmen, view);
  QMdiSubWindow* menu_sub = view.AddChild(&fmen, menu_view, menu_view, true);
  menu_sub->setWindowTitle(QString());

  // The parameter window, and the report preview its runs open.
  RegisterStatementProcedures([] { return MakeJpkKrWriter(); });
  RegisterAuditProcedures();
  RegisterVatProcedures();
  RegisterChartProcedures();
  RegisterJournalFileProcedures();
  RegisterDocumentProcedure();
  RegisterImportProcedures();
  auto zestaw = std::make_unique<ParameterWindow>(desk, view);
  auto f3_window = std::make_unique<F3Window>(desk, view);
  auto hint_list = std::make_unique<HintListWindow>(desk, view, *zestaw);
  hint_list->SetF3Window(f3_window.get());
  auto raport = std::make_unique<RaportView>(CurrentReport(), CurrentPreview());
  SetReportView(raport.get());
  zestaw->SetOpenPreview([&raport] {
    raport->raise();
    raport->activateWindow();
  });
  desk.SetWindow(FPulpit::kRaport, raport.get());
  // The preview's printers, PDF files and workbooks; the rows per page of a
  // finished report come from the current printer's pages.
  QtOutputHost output_host;
  output_host.period_text = [&zestaw] {
    auto* form = dynamic_cast<FZestaw*>(&zestaw->Form());
    return form ? std::string(form->PeriodText()) : std::string();
  };
  output_host.version_text = [&desk] { return desk.VersionText(); };
  output_host.progress = [&raport] { raport->Redraw(); };
  ReportOutputs outputs(CurrentReport(), CurrentPreview(), output_host);
  raport->SetOutputs(&outputs);
  SetPageRowsSource(&outputs);
  raport->on_closed = [&view, &desk, &raport] {
    desk.HideWindow(7, *raport, false);
    view.activateWindow();
  };
  // The document viewer (kind 8): the documents options draw, printed and
  // written as PDF through the same printers as the preview.
  auto viewer = std::make_unique<ViewerView>();
  SetViewerTargets([&output_host] { return &output_host.Targets(); });
  viewer->printers = [&outputs] { return outputs.Printers(); };
  viewer->ask_pdf_path = [&output_host](std::string_view name) {
    return output_host.AskPdfPath(name);
  };
  viewer->option_name = [] { return OptionCaption.str(); };
  viewer->on_closed = [&view, &desk, &viewer] {
    desk.HideWindow(8, *viewer, false);
    view.activateWindow();
  };
  desk.SetWindow(FPulpit::kViewer, viewer.get());

  PulpitServices services(desk);
  services.clipboard = [](std::string_view text) {
    QGuiApplication::clipboard()->setText(QtText(text));
  };
  SetDesktopServices(&services);
  MenuPulpitLinks links(&fmen);
  links.load_chart = [] { return EnsureChartLoaded(); };

  asker.owner_rect = [&view](DeskWindow* owner) { return view.ClientRectOnScreen(owner); };
  asker.desktop_left = [&view] { return view.x(); };

  desk.SetView(&view);
  desk.SetAsker(&asker);
  SetQuestionAsker(&asker);
  desk.SetLinks(&links);
  desk.SetMetrics(&metrics);
  desk.SetWindow(FPulpit::kMen, &fmen);
  desk.Frame().extra_width = 0;
  desk.Frame().extra_height = 0;

  // Workstations see each other through the registry and the lock files.
  InstallStationRegisters();
  ShellOptions shell_options(desk, sys);
  SetShellOptionRunner(&shell_options);
  SetShellFieldHost(&shell_options);
  while (!given_db.empty() && (given_db.back() == '\\' || given_db.back() == '/')) given_db.pop_back();
  desk.GiveDatabase(given_db, given_chart);

  desk.FCreat();
  view.show();
  view.Start();

  // The menu window's caption follows its form.
  QTimer caption_timer;
  QObject::connect(&caption_timer, &QTimer::timeout, [&] {
    QString c = QtText(fmen.Caption());
    if (menu_sub->windowTitle() != c) menu_sub->setWindowTitle(c);
  });
  caption_timer.start(500);

  QString shot = qEnvironmentVariable("ZEL_SCREENSHOT");
  if (!shot.isEmpty()) {
    QString keys = qEnvironmentVariable("ZEL_SCREENSHOT_KEYS");
    bool quit = qEnvironmentVariableIsSet("ZEL_SCREENSHOT_QUIT");
    QTimer::singleShot(4000, [&, keys] { TypeIntoMenu(*menu_view, keys); });
    QTimer::singleShot(5500, [&, shot, quit] {
      QScreen* s = QGuiApplication::primaryScreen();
      QPixmap pic = s ? s->grabWindow(0) : view.grab();
      if (pic.isNull() || pic.width() < 10) pic = view.grab();
      pic.save(shot);
      if (quit) std::exit(0);
    });
  }

  int rc = app.exec();
  SetShellOptionRunner(nullptr);
  SetShellFieldHost(nullptr);
  // The views go before the forms they draw.
  SetDesktopServices(nullptr);
  desk.SetView(nullptr);
  desk.SetAsker(nullptr);
  SetQuestionAsker(nullptr);
  SetReportView(nullptr);
  SetPageRowsSource(nullptr);
  desk.SetWindow(FPulpit::kRaport, nullptr);
  desk.SetWindow(FPulpit::kViewer, nullptr);
  SetViewerTargets(nullptr);
  viewer.reset();
  raport.reset();
  hint_list.reset();
  f3_window.reset();
  zestaw.reset();
  delete menu_sub;
  // A program update put a new program in place: it starts once this one
  // has saved its settings and released its workstation.
  if (!desk.RestartProgram().empty()) sys.StartProgram(desk.RestartProgram(), sys.Arguments());
  return rc;
}
