// transport_bench KELVO-HOST: against a headless drawing host over the local transport, prints
//  - one empty round trip (a system variable read), the mean of 2,000;
//  - a full draw command: its automation calls and its time beside calls x one round trip
//    (target: at most 1.5 times);
//  - 1,000 draw commands in a row: the host's and this process's resident memory after 100
//    and after 1,000 commands (flat: what grows is the drawing itself).
#include "cad/draw_weld.h"
#include "platform/codepage.h"
#include "platform/local_transport.h"

#include <QCoreApplication>
#include <QProcess>

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

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  // Each command reads every block's name (the arrowhead lookup and the free block name), so
  // a long run grows slower as the drawing fills: 1,000 commands take some minutes.
  const int commands = argc > 2 ? std::atoi(argv[2]) : 1000;
  QString picks;
  for (int i = 0; i < 1200; ++i) picks += QStringLiteral("0,0;30,20;60,20;");
  QProcess host;
  host.start(QString::fromLocal8Bit(argv[1]), {"--headless", "--picks", picks});
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
  cad::DrawWeld draw({[](const std::string& t) { std::fprintf(stderr, "%s\n", cp1251::toUtf8(t).c_str()); },
                      [] { return std::tm{}; }});
  t0 = Clock::now();
  draw.AcadDrawWeld(fullDesignation());
  const double command = std::chrono::duration<double>(Clock::now() - t0).count();
  const long calls = counted;
  cad::unregisterTransport(counting);
  std::printf("one round trip: %.1f us\n", roundTrip * 1e6);
  std::printf("full draw command: %ld automation calls, %.2f ms = %.2f x (calls x one round trip) (target at most 1.5)\n",
              calls, command * 1e3, command / (static_cast<double>(calls) * roundTrip));

  long hostAfter100 = 0, selfAfter100 = 0;
  for (int i = 1; i <= commands; ++i) {
    draw.AcadDrawWeld(fullDesignation());
    if (i == 100) hostAfter100 = rssKb(host.processId()), selfAfter100 = rssKb(QCoreApplication::applicationPid());
  }
  const long hostAfter = rssKb(host.processId()), selfAfter = rssKb(QCoreApplication::applicationPid());
  const double span = commands - 100;
  std::printf("%d commands: host %ld -> %ld KiB (%.2f KiB a designation, the drawing grows), "
              "Kelvo side %ld -> %ld KiB (%.2f KiB a command)\n",
              commands, hostAfter100, hostAfter, static_cast<double>(hostAfter - hostAfter100) / span, selfAfter100,
              selfAfter, static_cast<double>(selfAfter - selfAfter100) / span);
  ::kill(static_cast<pid_t>(host.processId()), SIGTERM);
  host.waitForFinished();
  return 0;
}
