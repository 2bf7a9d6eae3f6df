// transport_bench KELVO-HOST: against a headless drawing host over the local transport, prints
//  - one empty round trip (a system variable read), the mean of 2,000;
//  - a full draw command: its automation calls and its time beside calls x one round trip
//    (target: at most 1.5 times);
//  - N draw commands in a row (1,000, or the second argument; bench/long_run.sh makes 10,000)
//    at one a second of the clock, as a user draws: the mean time of the first and the last
//    thousand, the host's and this process's resident memory after 1,000 and after N commands
//    (targets: this process grows less than 2 %, the host by the drawing's own size, which the
//    host's saved DXF shows).
#include "cad/draw_weld.h"
#include "platform/codepage.h"
#include "platform/local_transport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace kelvo;
using Clock = std::chrono::steady_clock;

long rssKb(long long pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (f >> key) {
    if (key == "VmRSS:") {
      f >> value;
      return value;
    }
    f.ignore(1 << 12, '\n');
  }
  return 0;
}

DrawInput fullDesignation() {
  DrawInput in;
  const char* texts[] = {"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"};
  for (int i = 0; i < 8; ++i) in.texts[static_cast<std::size_t>(i)] = cp1251::fromUtf8(texts[i]);
  in.Znak1 = 3, in.Znak2 = 2, in.LayerName = "Weld", in.NumberType = "N%%d";
  return in;
}

// Counts the calls the command makes, through a proxy around the host's objects.
struct Counter : cad::AutoObject {
  Counter(cad::ObjectRef o, long& n) : inner(std::move(o)), calls(n) {}
  static cad::ObjectRef unwrap(const cad::ObjectRef& o) {
    auto* c = dynamic_cast<Counter*>(o.get());
    return c ? c->inner : o;
  }
  cad::Variant wrap(cad::Variant v) {
    ++calls;
    if (auto* o = std::get_if<cad::ObjectRef>(&v); o && *o) *o = std::make_shared<Counter>(*o, calls);
    return v;
  }
  cad::Variant call(std::string_view m, const cad::Args& a) override {
    cad::Args plain = a;
    for (auto& x : plain)
      if (auto* o = std::get_if<cad::ObjectRef>(&x)) *o = unwrap(*o);
    return wrap(inner->call(m, plain));
  }
  cad::Variant get(std::string_view m) override { return wrap(inner->get(m)); }
  void put(std::string_view m, const cad::Variant& v) override {
    cad::Variant plain = v;
    if (auto* o = std::get_if<cad::ObjectRef>(&plain)) *o = unwrap(*o);
    inner->put(m, plain);
    ++calls;
  }
  cad::ObjectRef inner;
  long& calls;
};

double meanMs(Clock::duration total, int n) { return std::chrono::duration<double, std::milli>(total).count() / n; }

void longRun(cad::DrawWeld& draw, QProcess& host, int commands) {
  long host1000 = 0, self1000 = 0;
  Clock::duration first{}, last{};
  for (int i = 1; i <= commands; ++i) {
    const auto t0 = Clock::now();
    draw.AcadDrawWeld(fullDesignation());
    const auto took = Clock::now() - t0;
    if (i <= 1000) first += took;
    if (i > commands - 1000) last += took;
    if (i == std::min(1000, commands)) host1000 = rssKb(host.processId()), self1000 = rssKb(QCoreApplication::applicationPid());
  }
  const long hostAfter = rssKb(host.processId()), selfAfter = rssKb(QCoreApplication::applicationPid());
  const int thousand = std::min(1000, commands);
  std::printf("%d commands: a command takes %.2f ms in the first thousand, %.2f ms in the last\n", commands,
              meanMs(first, thousand), meanMs(last, thousand));
  std::printf("  Kelvo side %ld -> %ld KiB from command %d to %d (%+.2f %%, target under 2 %%)\n", self1000, selfAfter,
              thousand, commands, 100.0 * static_cast<double>(selfAfter - self1000) / static_cast<double>(self1000));
  std::printf("  host %ld -> %ld KiB (%.2f KiB a designation; the saved drawing below is what it holds)\n", host1000,
              hostAfter, static_cast<double>(hostAfter - host1000) / std::max(1, commands - thousand));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  const int commands = argc > 2 ? std::atoi(argv[2]) : 1000;
  QString picks;
  for (int i = 0; i < commands + 200; ++i) picks += QStringLiteral("0,0;30,20;60,20;");
  QProcess host;
  const QString folder = QString::fromLocal8Bit(qgetenv("TMPDIR"));
  const QString saved = folder + QStringLiteral("/drawing.dxf"), picksFile = folder + QStringLiteral("/picks.txt");
  QFile f(picksFile);
  if (!f.open(QIODevice::WriteOnly) || f.write(picks.toUtf8()) < 0) return 1;
  f.close();
  host.start(QString::fromLocal8Bit(argv[1]), {"--headless", "--picks", "@" + picksFile, "--output", saved});
  host.waitForStarted();
  host.waitForReadyRead(10000);
  host.readLine();
  registerLocalTransport();

  const cad::AcadDocument doc = cad::AcadApplication(cad::GetActiveOleObject(cad::kProgId)).ActiveDocument();
  const int n = 2000;
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) doc.GetVariable("DIMTXT");
  const double roundTrip = std::chrono::duration<double>(Clock::now() - t0).count() / n;

  long counted = 0;
  const int counting = cad::registerTransport([&counted](std::string_view id) -> cad::ObjectRef {
    static thread_local bool inside = false;
    if (inside) return nullptr;
    inside = true;
    cad::ObjectRef real = cad::GetActiveOleObject(id);
    inside = false;
    return std::make_shared<Counter>(real, counted);
  });
  int second = 0;
  cad::DrawWeld draw({[](const std::string& t) { std::fprintf(stderr, "%s\n", cp1251::toUtf8(t).c_str()); },
                      [&second] {
                        std::tm t{};
                        t.tm_hour = second / 3600 % 24, t.tm_min = second / 60 % 60, t.tm_sec = second % 60;
                        ++second;
                        return t;
                      }});
  t0 = Clock::now();
  draw.AcadDrawWeld(fullDesignation());
  const double command = std::chrono::duration<double>(Clock::now() - t0).count();
  const long calls = counted;
  cad::unregisterTransport(counting);
  std::printf("one round trip: %.1f us\n", roundTrip * 1e6);
  std::printf("full draw command: %ld automation calls, %.2f ms = %.2f x (calls x one round trip) (target at most 1.5)\n",
              calls, command * 1e3, command / (static_cast<double>(calls) * roundTrip));

  longRun(draw, host, commands);
  ::kill(static_cast<pid_t>(host.processId()), SIGTERM);
  host.waitForFinished(600000);
  std::printf("  the saved drawing: %lld KiB\n", static_cast<long long>(QFileInfo(saved).size() / 1024));
  return 0;
}
