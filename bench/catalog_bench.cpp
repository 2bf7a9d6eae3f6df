// Catalogue reading speed: picture decoding in MB/s beside memcpy and LZ4 on the same bitmaps,
// and each data-file operation on a generated file of 1,000 joint records.
// Targets: decoding at least a quarter of LZ4's speed; every operation under 10 ms.
#include "catalog/catalog_files.h"
#include "bench/big_catalog.h"
#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

using namespace kelvo;
using namespace kelvo::catalog;

std::vector<std::string> samplePictureFiles() {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(KELVO_DATA_DIR))
    if (e.path().extension() == ".ris") files.push_back(readWholeFile(e.path().string()).value());
  return files;
}

std::string allBitmaps() {
  std::string out;
  for (const auto& f : samplePictureFiles()) {
    std::vector<Picture> pics;
    bytes::loadPictures(f, pics);
    for (const auto& p : pics) out += p.bmp;
  }
  return out;
}

void DecodeSamplePictures(benchmark::State& state) {
  const auto files = samplePictureFiles();
  std::size_t out = 0;
  for (auto _ : state) {
    out = 0;
    for (const auto& f : files) {
      std::vector<Picture> pics;
      bytes::loadPictures(f, pics);
      for (const auto& p : pics) out += p.bmp.size();
      benchmark::DoNotOptimize(pics);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out));
}
BENCHMARK(DecodeSamplePictures);

void MemcpySameBytes(benchmark::State& state) {
  const std::string src = allBitmaps();
  std::string dst(src.size(), '\0');
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * src.size()));
}
BENCHMARK(MemcpySameBytes);

void Lz4SameBytes(benchmark::State& state) {
  const std::string src = allBitmaps();
  std::string packed(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(src.size()))), '\0');
  const int n = LZ4_compress_default(src.data(), packed.data(), static_cast<int>(src.size()),
                                     static_cast<int>(packed.size()));
  std::string dst(src.size(), '\0');
  for (auto _ : state) {
    const int got = LZ4_decompress_safe(packed.data(), dst.data(), n, static_cast<int>(dst.size()));
    benchmark::DoNotOptimize(got);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * src.size()));
}
BENCHMARK(Lz4SameBytes);

// 1,000 records on 100 tabs of 10, four methods.
const std::string& bigDataFile() {
  static const std::string name = [] {
    const std::string text = bench::bigDataFileText();
    const std::string file = (std::filesystem::temp_directory_path() / "kelvo-bench_1-1.dat").string();
    replaceFileAtomically(file, text);
    return file;
  }();
  return name;
}

void ReadHeadingAndMethods(benchmark::State& state) {
  for (auto _ : state) {
    Heading h;
    readHeadingAndMethods(bigDataFile(), h);
    benchmark::DoNotOptimize(h);
  }
}
BENCHMARK(ReadHeadingAndMethods)->Unit(benchmark::kMillisecond);

void ReadTabCaptions(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::string> tabs;
    readTabCaptions(bigDataFile(), tabs);
    benchmark::DoNotOptimize(tabs);
  }
}
BENCHMARK(ReadTabCaptions)->Unit(benchmark::kMillisecond);

void LocateLastJoint(benchmark::State& state) {
  for (auto _ : state) {
    int tab = -1, position = -1;
    locateJoint(bigDataFile(), 99, tab, position);
    benchmark::DoNotOptimize(tab);
  }
}
BENCHMARK(LocateLastJoint)->Unit(benchmark::kMillisecond);

void ReadLastTabRecords(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::string> records;
    readTabRecords(bigDataFile(), 9, records);
    benchmark::DoNotOptimize(records);
  }
}
BENCHMARK(ReadLastTabRecords)->Unit(benchmark::kMillisecond);

void FindLastJointByDesignation(benchmark::State& state) {
  for (auto _ : state) {
    int picture = -1;
    JointBody body;
    findJointByDesignation(bigDataFile(), "J99", 4, picture, body);
    benchmark::DoNotOptimize(body);
  }
}
BENCHMARK(FindLastJointByDesignation)->Unit(benchmark::kMillisecond);

void FindLastJointByNumber(benchmark::State& state) {
  for (auto _ : state) {
    JointBody body;
    findJointByNumberAndDesignation(bigDataFile(), 99, "J99", 4, body);
    benchmark::DoNotOptimize(body);
  }
}
BENCHMARK(FindLastJointByNumber)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
