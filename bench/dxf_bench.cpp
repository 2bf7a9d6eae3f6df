// dxf_bench FILE.dxf: writes a generated drawing of 100,000 entities to FILE.dxf, then prints
// the time to read it and to write it again (the best of three runs each).
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "platform/file_io.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  using namespace kelvo::host;
  if (argc != 2) return 2;
  Document doc;
  for (int i = 0; i < 100000; ++i) {
    Entity e;
    const double x = i % 1000, y = i / 1000.0;
    switch (i % 4) {
      case 0: e.kind = Kind::Line, e.points = {{x, y, 0}, {x + 1, y + 1, 0}}; break;
      case 1: e.kind = Kind::Circle, e.points = {{x, y, 0}}, e.radius = 0.5; break;
      case 2: e.kind = Kind::Text, e.points = {{x, y, 0}}, e.height = 2.5, e.text = "Rz20"; break;
      default: e.kind = Kind::Polyline, e.points = {{x, y, 0}, {x + 1, y, 0}, {x + 1, y + 1, 0}}; break;
    }
    doc.modelSpace().entities.push_back(std::move(e));
  }
  kelvo::replaceFileAtomically(argv[1], writeDxf(doc));
  const std::string text = kelvo::readWholeFile(argv[1]).value();
  double readBest = 1e9, writeBest = 1e9;
  for (int run = 0; run < 3; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    Document read = readDxf(text);
    auto t1 = std::chrono::steady_clock::now();
    const std::string out = writeDxf(read);
    auto t2 = std::chrono::steady_clock::now();
    readBest = std::min(readBest, std::chrono::duration<double>(t1 - t0).count());
    writeBest = std::min(writeBest, std::chrono::duration<double>(t2 - t1).count());
    if (read.entityCount() != 100000 || out.size() < text.size() / 2) return 1;
  }
  std::printf("kelvo: read %.3f s, write %.3f s (100,000 entities, %.1f MB)\n", readBest, writeBest,
              static_cast<double>(text.size()) / 1e6);
  return 0;
}
