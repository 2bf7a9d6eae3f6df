// blocks_bench KELVO-HOST: one draw command over the local socket into drawings that already
// hold 0, 100, 1,000 and 5,000 blocks; prints the command's automation calls and its time for
// each (target: no more calls than into the empty drawing, and the 5,000-block draw within
// 1.2 x the empty one's time). The calls are counted by the host's transcript, which lists the
// calls it answered (a lookup of a name the drawing lacks raises and is not listed).
#include "cad/draw_weld.h"
#include "host/model/document.h"
#include "host/model/dxf_writer.h"
#include "platform/codepage.h"
#include "platform/local_transport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace kelvo;

struct Result {
  long calls = 0;
  double ms = 0;
};

Result drawInto(const char* hostExe, int blocks, const QString& folder) {
  host::Document doc;
  for (int i = 0; i < blocks; ++i) doc.addBlock("Weld_old_" + std::to_string(i), {0, 0, 0});
  const QString drawing = folder + QStringLiteral("/in%1.dxf").arg(blocks);
  const QString transcript = folder + QStringLiteral("/calls%1.jsonl").arg(blocks);
  std::ofstream(drawing.toStdString(), std::ios::binary) << host::writeDxf(doc);
  QProcess hostProcess;
  hostProcess.start(QString::fromLocal8Bit(hostExe),
                    {"--headless", "--picks", "0,0;30,20;60,20", "--transcript", transcript, drawing});
  hostProcess.waitForStarted();
  hostProcess.waitForReadyRead(20000);
  hostProcess.readLine();

  DrawInput in;
  const char* texts[] = {"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"};
  for (int i = 0; i < 8; ++i) in.texts[static_cast<std::size_t>(i)] = cp1251::fromUtf8(texts[i]);
  in.Znak1 = 3, in.Znak2 = 2, in.LayerName = "Weld", in.NumberType = "N%%d";
  cad::DrawWeld draw({[](const std::string& t) { std::fprintf(stderr, "%s\n", cp1251::toUtf8(t).c_str()); },
                      [] { return std::tm{}; }});
  const auto t0 = std::chrono::steady_clock::now();
  draw.AcadDrawWeld(in);
  Result r;
  r.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  ::kill(static_cast<pid_t>(hostProcess.processId()), SIGTERM);
  hostProcess.waitForFinished();
  std::ifstream calls(transcript.toStdString());
  for (std::string line; std::getline(calls, line);) ++r.calls;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  registerLocalTransport();
  const QString folder = QDir::tempPath() + QStringLiteral("/kelvo-blocks-bench");
  QDir().mkpath(folder);
  Result empty;
  for (int blocks : {0, 100, 1000, 5000}) {
    const Result r = drawInto(argv[1], blocks, folder);
    if (blocks == 0) empty = r;
    std::printf("%5d blocks: %ld calls, %.1f ms (%.2f x the empty drawing's time)\n", blocks, r.calls, r.ms,
                r.ms / empty.ms);
  }
  QDir(folder).removeRecursively();
  return 0;
}
