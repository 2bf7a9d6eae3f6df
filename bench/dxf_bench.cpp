// dxf_bench FILE.dxf: writes a generated drawing of 100,000 entities to FILE.dxf, then prints
// the time to read it and to write it again (the best of three runs each).
// dxf_bench --corpus DIR: reads and writes every drawing of DIR and prints the slowest (the
// target: none over a second).
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "platform/file_io.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

int corpus(const char* dir) {
  using namespace kelvo::host;
  std::vector<std::filesystem::path> files;
  for (const auto& f : std::filesystem::directory_iterator(dir))
    if (f.path().extension() == ".dxf") files.push_back(f.path());
  std::sort(files.begin(), files.end());
  double slowest = 0, total = 0;
  std::string which;
  std::size_t read = 0;
  for (const auto& f : files) {
    const std::string bytes = kelvo::readWholeFile(f.string()).value_or("");
    const auto t0 = std::chrono::steady_clock::now();
    try {
      Document doc = readDxf(bytes);
      (void)writeDxf(doc);
      ++read;
    } catch (const DxfError&) {
      // refused: timed all the same
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    total += s;
    if (s > slowest) slowest = s, which = f.filename().string();
  }
  std::printf("kelvo: corpus of %zu drawings (%zu read and written): slowest %.3f s (%s), all %.2f s\n", files.size(),
              read, slowest, which.c_str(), total);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelvo::host;
  if (argc == 3 && std::string(argv[1]) == "--corpus") return corpus(argv[2]);
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
