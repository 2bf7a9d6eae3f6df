// seams_bench (Windows, run under wine): the calls a seam table costs through COM, against
// kelvo-comhost.exe in another process, in a drawing of 20 designations and in the same drawing
// with 20,000 other entities; prints both counts (from the server's transcript) and how far the
// second is from the first (target: within 10 %). bench/com.sh builds and runs it.
#include "cad/draw_weld.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "host/model/picks.h"
#include "platform/codepage.h"
#include "platform/com/com_transport.h"
#include "tests/com/com_server.h"
#include "tests/com/draw_cases.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

using namespace kelvo;

constexpr int kDesignations = 20;

// Twenty numbered designations drawn in-process, then `others` lines of the user's.
std::string drawing(int others) {
  host::Document doc;
  std::string picks;
  for (int i = 0; i < kDesignations; ++i) {
    const double x = 100.0 * i;
    picks += std::to_string(x) + ",0;" + std::to_string(x + 30) + ",20;" + std::to_string(x + 60) + ",20;";
  }
  std::deque<host::Point> queue;
  for (const host::Point& p : host::parsePicks(picks)) queue.push_back(p);
  host::InProcessHost served(doc, [&queue](const std::string&, const std::optional<host::Point>&) -> std::optional<host::Point> {
    if (queue.empty()) return std::nullopt;
    const host::Point p = queue.front();
    queue.pop_front();
    return p;
  });
  cad::DrawWeld draw({[](const std::string& t) { std::fprintf(stderr, "%s\n", cp1251::toUtf8(t).c_str()); }, &test::referenceTime});
  DrawInput in = test::caseInput(test::drawCases()[0], "AutoCAD.Application");
  for (int i = 0; i < kDesignations; ++i) {
    in.texts[1] = std::to_string(i + 1);
    draw.AcadDrawWeld(in);
  }
  for (int i = 0; i < others; ++i) {
    host::Entity line;
    line.kind = host::Kind::Line;
    line.handle = doc.newHandle();
    line.points = {{0.0, -1.0 * i, 0}, {50.0, -1.0 * i, 0}};
    doc.modelSpace().entities.push_back(line);
  }
  return host::writeDxf(doc);
}

struct Cost {
  long calls = 0;
  double ms = 0;
};

Cost tableCost(const std::string& folder, int others) {
  const std::string in = folder + "/in" + std::to_string(others) + ".dxf";
  const std::string calls = folder + "/calls" + std::to_string(others) + ".jsonl";
  std::ofstream(in, std::ios::binary) << drawing(others);
  const std::string progId = test::uniqueProgId();
  Cost cost;
  {
    test::ComServer server(progId, {"--picks", "0,-100", "--transcript", calls, in});
    cad::DrawWeld command({[](const std::string& t) { std::fprintf(stderr, "%s\n", cp1251::toUtf8(t).c_str()); }, &test::referenceTime});
    DrawInput table;
    table.Application = progId, table.LayerName = "Weld", table.NumberType = "N%%d";
    const auto t0 = std::chrono::steady_clock::now();
    command.DrawSeamTable(table);
    cost.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    server.quit();
  }
  std::ifstream lines(calls);
  for (std::string line; std::getline(lines, line);) cost.calls += line.find("\"member\":\"Quit\"") == std::string::npos;
  return cost;
}

}  // namespace

int main() {
  registerComTransport();
  const std::string folder = (std::filesystem::temp_directory_path() / "kelvo-seams-bench").string();
  std::filesystem::create_directories(folder);
  const Cost alone = tableCost(folder, 0);
  const Cost crowded = tableCost(folder, 20000);
  std::filesystem::remove_all(folder);
  std::printf("seam table through COM, %d designations alone:         %ld calls, %.0f ms\n", kDesignations, alone.calls, alone.ms);
  std::printf("seam table through COM, %d designations + 20,000 lines: %ld calls, %.0f ms\n", kDesignations, crowded.calls, crowded.ms);
  const double growth = 100.0 * static_cast<double>(crowded.calls - alone.calls) / static_cast<double>(alone.calls);
  std::printf("calls grew by %.1f %% (target: within 10 %%)\n", growth);
  return growth <= 10 ? 0 : 1;
}
