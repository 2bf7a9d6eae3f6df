// com_bench (Windows, run under wine): against kelvo-comhost.exe in another process, through the
// COM transport, prints
//  - one empty round trip (a system variable read), the mean of 2,000, and calls a second;
//  - a full draw command: its time and its calls a second.
// bench/com.sh runs it beside the local socket's figures (bench/transport.sh) on Linux.
#include "cad/draw_weld.h"
#include "platform/codepage.h"
#include "platform/com/com_transport.h"
#include "tests/com/com_server.h"
#include "tests/com/draw_cases.h"

#include <chrono>
#include <cstdio>

int main() {
  using namespace kelvo;
  using Clock = std::chrono::steady_clock;
  registerComTransport();
  const int commands = 50;
  std::string picks;
  for (int i = 0; i <= commands; ++i) picks += "0,0;30,20;60,20;";
  const std::string progId = test::uniqueProgId();
  test::ComServer server(progId, {"--picks", picks});

  const cad::AcadDocument doc = cad::AcadApplication(cad::GetActiveOleObject(progId)).ActiveDocument();
  const int n = 2000;
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) doc.GetVariable("DIMTXT");
  const double roundTrip = std::chrono::duration<double>(Clock::now() - t0).count() / n;
  std::printf("COM under wine, one round trip: %.1f us, %.0f calls a second\n", roundTrip * 1e6, 1 / roundTrip);

  int failures = 0;
  cad::DrawWeld draw({[&failures](const std::string&) { ++failures; }, &test::referenceTime});
  DrawInput in = test::caseInput(test::drawCases()[0], progId);
  t0 = Clock::now();
  for (int i = 0; i < commands; ++i) draw.AcadDrawWeld(in);
  const double command = std::chrono::duration<double>(Clock::now() - t0).count() / commands;
  std::printf("COM under wine, full draw command (mean of %d): %.1f ms%s\n", commands, command * 1e3,
              failures ? " (some commands failed)" : "");
  server.quit();
  return failures ? 1 : 0;
}
