// zel-batch: runs Zel's options from a terminal, without windows. The work is
// in app/batch.cpp; this only hands it the arguments and the terminal.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/version.hpp"
#include "platform/program_files.hpp"

#ifdef ZEL_BATCH_QT
#include <QGuiApplication>

#include "output/qt/qt_page_canvas.hpp"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  zel::BatchRequest request;
  std::string err;
  if (!zel::ParseBatchArgs(args, &request, &err)) {
    std::fprintf(stderr, "zel-batch: %s\n\n%s", err.c_str(), zel::BatchHelp().c_str());
    return zel::kBatchRefused;
  }
  if (request.help) {
    std::fputs(zel::BatchHelp().c_str(), stdout);
    return zel::kBatchDone;
  }
  if (request.version) {
    const std::string data = zel::DataFolder();
    std::printf("zel-batch %s\ndane programu: %s\n", zel::kZelVersion,
                data.empty() ? "brak" : data.c_str());
    return zel::kBatchDone;
  }
  zel::BatchIo io;
  io.out = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); };
  io.err = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  };
#ifdef ZEL_BATCH_QT
  // Qt starts only for a run that prints or writes a PDF, without a screen
  // unless the caller named a platform.
  std::unique_ptr<QGuiApplication> app;
  zel::QtPrintTargets targets;
  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  io.print_targets = [&]() -> zel::PrintTargets* {
    if (!app) {
      if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
      // Qt's notes about the session it runs in (no runtime folder without a
      // desktop login) are no message of the run.
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtDebugMsg || type == QtInfoMsg || msg.startsWith(QLatin1String("QStandardPaths:"))) {
          return;
        }
        std::fprintf(stderr, "zel-batch: %s\n", msg.toLocal8Bit().constData());
      });
      app = std::make_unique<QGuiApplication>(qt_argc, qt_argv);
    }
    return &targets;
  };
#endif
  int code = zel::RunBatch(request, io);
  if (std::fflush(stdout) != 0 && code == zel::kBatchDone) code = zel::kBatchFailed;
  return code;
}
