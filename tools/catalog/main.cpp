// kelvo-catalog: checks, shows, packs and unpacks Kelvo's catalogue files.
#include "catalog/catalog_files.h"
#include "catalog/picture_file.h"
#include "platform/file_io.h"
#include "tools/catalog/audit.h"
#include "tools/catalog/check.h"
#include "tools/catalog/dump.h"
#include "tools/catalog/layout.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace kelvo;

int usage() {
  std::cerr << "usage:\n"
               "  kelvo-catalog check FILE...\n"
               "  kelvo-catalog audit DIR      (the catalogue's data files against each other)\n"
               "  kelvo-catalog layout FILE.dat   (the file with its tabs laid out, to stdout)\n"
               "  kelvo-catalog dump --standards|--data|--pictures FILE\n"
               "  kelvo-catalog unpack FILE.ris DIR\n"
               "  kelvo-catalog pack [--compress] OUT.ris BMP...   (\"-\" for an empty picture)\n";
  return 2;
}

int report(const std::vector<tools::Problem>& problems) {
  for (const auto& p : problems) std::cout << p.where << ": " << p.text << "\n";
  if (!problems.empty()) std::cout << problems.size() << " problem(s)\n";
  return problems.empty() ? 0 : 1;
}

int check(const std::vector<std::string>& files) {
  std::vector<tools::Problem> problems;
  for (const auto& f : files) {
    auto more = tools::checkFile(f);
    problems.insert(problems.end(), more.begin(), more.end());
  }
  return report(problems);
}

int dump(const std::string& kind, const std::string& file) {
  if (kind == "--standards") std::cout << tools::dumpStandards(file) << "\n";
  else if (kind == "--data") std::cout << tools::dumpData(file) << "\n";
  else if (kind == "--pictures") std::cout << tools::dumpPictures(file) << "\n";
  else return usage();
  return 0;
}

int unpack(const std::string& file, const std::string& dir) {
  std::vector<catalog::Picture> pictures;
  catalog::loadPictures(file, pictures);
  std::error_code ec;
  std::filesystem::create_directories(filePath(dir), ec);
  if (ec) {
    std::cerr << "cannot make the folder " << dir << ": " << ec.message() << "\n";
    return 1;
  }
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (pictures[i].bmp.empty()) continue;
    char name[32];
    std::snprintf(name, sizeof name, "%02zu.bmp", i);
    if (!replaceFileAtomically(dir + "/" + name, pictures[i].bmp)) {
      std::cerr << "cannot write " << dir << "/" << name << "\n";
      return 1;
    }
  }
  return 0;
}

int layout(const std::string& file) {
  const auto bytes = readWholeFile(file);
  if (!bytes) {
    std::cerr << "cannot read " << file << "\n";
    return 1;
  }
  try {
    const std::string text = tools::layOut(*bytes);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  } catch (const std::invalid_argument& e) {
    std::cerr << file << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

int pack(std::vector<std::string> args) {
  bool compress = false;
  if (!args.empty() && args.front() == "--compress") {
    compress = true;
    args.erase(args.begin());
  }
  if (args.size() < 2) return usage();
  std::vector<std::string> bmps;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-") {
      bmps.emplace_back();
      continue;
    }
    const auto bytes = readWholeFile(args[i]);
    if (!bytes || !catalog::bitmapSize(*bytes)) {
      std::cerr << args[i] << ": not a Windows bitmap file\n";
      return 1;
    }
    bmps.push_back(*bytes);
  }
  if (!replaceFileAtomically(args[0], catalog::writePictureFile(bmps, compress))) {
    std::cerr << "cannot write " << args[0] << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage();
  const std::string command = args.front();
  args.erase(args.begin());
  try {
    if (command == "check" && !args.empty()) return check(args);
    if (command == "audit" && args.size() == 1) return report(tools::auditCatalogue(args[0]));
    if (command == "layout" && args.size() == 1) return layout(args[0]);
    if (command == "dump" && args.size() == 2) return dump(args[0], args[1]);
    if (command == "unpack" && args.size() == 2) return unpack(args[0], args[1]);
    if (command == "pack") return pack(args);
  } catch (const catalog::CatalogError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return usage();
}
