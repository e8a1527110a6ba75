// The document viewer on a two-page declaration-sized script (A4 pages of
// boxes, labels, amounts, check marks and rules, about 600 lines): reading
// the script, laying it out at zoom 30 in the screen's fonts, repainting the
// laid-out drawing on a window-sized image, and the PDF with four copies
// (eight pages). Best of several rounds, wall and processor time.
//   bench_viewer [OUT.pdf]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.hpp"
#include "common/cp1250.hpp"
#include "output/qt/qt_page_canvas.hpp"
#include "output/recording_canvas.hpp"
#include "output/viewer_document.hpp"
#include "output/viewer_layout.hpp"

namespace {

std::vector<std::string> Declaration() {
  std::vector<std::string> lines;
  auto n = [](int v) { return std::to_string(v); };
  for (int page = 0; page < 2; ++page) {
    if (page == 1) lines.emplace_back("N");
    lines.push_back("K 0 2970 0 2100 FFFFFF");
    lines.push_back("c 20 90 100 2000 DEKLARACJA DLA PODATKU OD TOWARÓW I USŁUG .orykop.");
    for (int row = 0; row < 60; ++row) {
      const int y = 120 + row * 45;
      lines.push_back("K " + n(y) + " " + n(y + 40) + " 100 2000 " + (row % 2 ? "E0E8F0" : "F0E8"));
      lines.push_back("T " + n(y) + " " + n(y + 20) + " 110 1200 " + n(row + 10) +
                      ". Dostawa towarów oraz świadczenie usług na terytorium kraju");
      lines.push_back("P " + n(y + 15) + " " + n(y + 40) + " 1300 1650 ~" + n(1000 + row * 37));
      lines.push_back("P " + n(y + 15) + " " + n(y + 40) + " 1660 1990 ~" + n(230 + row * 9));
      if (row % 7 == 0) lines.push_back("C " + n(y + 5) + " " + n(y + 35) + " 1220 1260 ~X");
      lines.push_back("L " + n(y + 42) + " " + n(y + 42) + " 100 2000");
      if (row % 10 == 0) lines.push_back("G " + n(y) + " " + n(y + 40) + " 1290 1290");
    }
  }
  for (std::string& l : lines) l = zel::Utf8ToWin(l);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string pdf = argc > 1 ? argv[1] : "/tmp/bench_viewer.pdf";
  const std::vector<std::string> lines = Declaration();

  bench::Timing read, layout, paint, pdf_t;
  double cold_layout = 0;
  QImage probe(8, 8, QImage::Format_RGB32);
  zel::QtPageCanvas screen(&probe, QFont());
  std::vector<zel::CanvasCall> drawing;
  for (int round = 0; round < 20; ++round) {
    double w = bench::Now(), c = bench::Cpu();
    zel::ViewerLayout l(lines, 1);
    read.Keep(bench::Now() - w, bench::Cpu() - c);

    w = bench::Now();
    c = bench::Cpu();
    zel::RecordingCanvas rec(0, 0);
    rec.MeasureWith(&screen);
    zel::ViewerPlacement at;
    at.zoom = 30;
    l.Draw(rec, at, 'p');
    drawing = rec.Calls();
    if (round == 0) cold_layout = bench::Now() - w;
    layout.Keep(bench::Now() - w, bench::Cpu() - c);

    QImage window(1600, 1000, QImage::Format_RGB32);
    w = bench::Now();
    c = bench::Cpu();
    {
      QPainter p(&window);
      p.fillRect(window.rect(), Qt::white);
      p.translate(0, -3000);
      screen.DrawWith(&p);
      zel::ReplayCalls(drawing, screen, 3000, 4000);
      screen.DrawWith(nullptr);
    }
    paint.Keep(bench::Now() - w, bench::Cpu() - c);
  }

  zel::QtPrintTargets targets;
  zel::SetViewerTargets([&targets] { return &targets; });
  zel::ViewerDocument doc;
  doc.key = "VAT7";
  doc.actions = 2;
  doc.x_max = 2100;
  doc.y_max = 2970;
  doc.lines = lines;
  bool ok = true;
  for (int round = 0; round < 3; ++round) {
    std::string message;
    const double w = bench::Now(), c = bench::Cpu();
    ok = ok && zel::WriteViewerPdf(doc, "oklm", pdf, &message);
    pdf_t.Keep(bench::Now() - w, bench::Cpu() - c);
  }
  std::printf("script %zu lines, drawing %zu calls\n", lines.size(), drawing.size());
  std::printf(
      "read %.2f ms (%.2f cpu); layout at zoom 30 %.2f ms (%.2f cpu), %.2f ms the first time\n",
      read.wall * 1e3, read.cpu * 1e3, layout.wall * 1e3, layout.cpu * 1e3, cold_layout * 1e3);
  std::printf("repaint 1600x1000 %.2f ms (%.2f cpu)\n", paint.wall * 1e3, paint.cpu * 1e3);
  std::printf("PDF four copies (8 pages) %s %.3f s (%.3f cpu)\n", ok ? "ok" : "FAILED", pdf_t.wall,
              pdf_t.cpu);
  return ok ? 0 : 1;
}
