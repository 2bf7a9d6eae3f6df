// The draw command's own cost: the number of automation calls for a full designation, and the
// CPU time it spends outside those calls (target: under 1 ms). The host is the recording fake;
// every call to it is timed through a proxy and taken off the command's total.
#include "cad/draw_weld.h"
#include "platform/codepage.h"
#include "tests/cad/fake_host.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

using namespace kelvo;
using namespace kelvo::cad;

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Meter {
  double inside = 0;
  long calls = 0;
};

class TimedObject : public AutoObject {
 public:
  TimedObject(ObjectRef inner, Meter& meter) : inner_(std::move(inner)), meter_(meter) {}
  static ObjectRef unwrap(const ObjectRef& o) {
    auto* t = dynamic_cast<TimedObject*>(o.get());
    return t ? t->inner_ : o;
  }
  Variant call(std::string_view m, const Args& args) override {
    Args plain = args;
    for (auto& a : plain)
      if (auto* o = std::get_if<ObjectRef>(&a)) *o = unwrap(*o);
    return timed([&] { return inner_->call(m, plain); });
  }
  Variant get(std::string_view m) override { return timed([&] { return inner_->get(m); }); }
  void put(std::string_view m, const Variant& v) override {
    Variant plain = v;
    if (auto* o = std::get_if<ObjectRef>(&plain)) *o = unwrap(*o);
    timed([&] {
      inner_->put(m, plain);
      return Variant{};
    });
  }

 private:
  template <typename F>
  Variant timed(F f) {
    const double t0 = cpuSeconds();
    Variant r = f();
    if (auto* o = std::get_if<ObjectRef>(&r); o && *o) *o = std::make_shared<TimedObject>(*o, meter_);
    meter_.inside += cpuSeconds() - t0;
    ++meter_.calls;
    return r;
  }
  ObjectRef inner_;
  Meter& meter_;
};

void FullDesignation(benchmark::State& state) {
  double outside = 0;
  long calls = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto host = std::make_shared<test::FakeHost>();
    host->picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
    Meter meter;
    const int token = registerTransport([&](std::string_view) -> ObjectRef {
      return std::make_shared<TimedObject>(host->application(), meter);
    });
    DrawWeld draw({nullptr, [] { return std::tm{}; }});
    DrawInput in;
    const char* texts[] = {"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"};
    for (int i = 0; i < 8; ++i) in.texts[static_cast<std::size_t>(i)] = cp1251::fromUtf8(texts[i]);
    in.Znak1 = 3;
    in.Znak2 = 2;
    in.LayerName = "Weld";
    in.NumberType = "N%%d";
    state.ResumeTiming();
    const double t0 = cpuSeconds();
    draw.AcadDrawWeld(in);
    outside = cpuSeconds() - t0 - meter.inside;
    calls = meter.calls;
    state.PauseTiming();
    unregisterTransport(token);
    state.ResumeTiming();
  }
  state.counters["automation_calls"] = static_cast<double>(calls);
  state.counters["cpu_outside_calls_us"] = outside * 1e6;
}
BENCHMARK(FullDesignation);

}  // namespace

BENCHMARK_MAIN();
