// kelvo-dxf: runs the real draw command against a DXF drawing, or reads and saves one.
//   kelvo-dxf draw --picks "x,y;x,y;x,y" --settings FILE.ini [--in IN.dxf] [--back] [--right]
//                  [--transcript FILE] OUT.dxf
//   kelvo-dxf take --pick x,y --in IN.dxf --settings OUT.ini   (the designation at the pick)
//   kelvo-dxf edit --pick x,y --settings FILE.ini --in IN.dxf OUT.dxf  (replaced, at its points)
//   kelvo-dxf next-number IN.dxf     (the next free seam number of the drawing)
//   kelvo-dxf same --pick x,y --picks "x,y;x,y" --in IN.dxf OUT.dxf  (an identical seam, numbered)
//   kelvo-dxf table --picks "x,y" --in IN.dxf OUT.dxf   (the seam table, drawn)
//   kelvo-dxf table IN.dxf OUT.csv   (the seam list for a spreadsheet)
//   kelvo-dxf resave IN.dxf OUT.dxf
//   kelvo-dxf new OUT.dxf            (an empty R2000 drawing with ISO defaults)
#include "app/settings.h"
#include "cad/draw_weld.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "host/model/picks.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/ini_store.h"
#include "tools/dxf/seams.h"
#include "tools/dxf/served.h"
#include "tools/dxf/take_edit.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using namespace kelvo;

host::Document load(const std::string& fileName) {
  return dxftool::loadReported(fileName);
}

int usage() {
  std::cerr << "usage:\n"
               "  kelvo-dxf draw --picks \"x,y;x,y;x,y\" --settings FILE.ini [--in IN.dxf] [--back] [--right]\n"
               "                 [--transcript FILE] OUT.dxf\n"
               "  kelvo-dxf take --pick x,y --in IN.dxf --settings OUT.ini\n"
               "  kelvo-dxf edit --pick x,y --settings FILE.ini --in IN.dxf OUT.dxf\n"
               "  kelvo-dxf next-number IN.dxf\n"
               "  kelvo-dxf same --pick x,y --picks \"x,y;x,y\" --in IN.dxf [--settings FILE.ini] OUT.dxf\n"
               "  kelvo-dxf table --picks \"x,y\" --in IN.dxf [--settings FILE.ini] OUT.dxf\n"
               "  kelvo-dxf table IN.dxf OUT.csv\n"
               "  kelvo-dxf resave IN.dxf OUT.dxf\n"
               "  kelvo-dxf new OUT.dxf\n";
  return 2;
}

int draw(const std::vector<std::string>& args) {
  std::string picks, settings, in, out, transcript;
  bool back = false, right = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : std::string(); };
    if (a == "--picks") picks = value();
    else if (a == "--settings") settings = value();
    else if (a == "--in") in = value();
    else if (a == "--transcript") transcript = value();
    else if (a == "--back") back = true;
    else if (a == "--right") right = true;
    else if (out.empty()) out = a;
    else return usage();
  }
  if (out.empty() || settings.empty()) return usage();
  std::ofstream log;
  if (!transcript.empty()) log.open(transcript, std::ios::binary | std::ios::trunc);
  dxftool::Served served(in.empty() ? host::Document() : load(in), picks,
                         [&log](const std::string& object, const std::string& member, const cad::Args& a, const cad::Variant& result) {
                           if (log.is_open()) log << host::transcriptLine(object, member, a, result) << "\n";
                         });
  const MainSettings s = readMainSettings(IniFile(settings));
  MainWeld state;
  state.Znak1 = s.Znak1, state.Znak2 = s.Znak2, state.Znaki2 = s.Znaki2, state.LayerName = s.LayerName, state.NumberType = s.NumberType;
  dxftool::Warnings warnings;
  cad::DrawWeld command({std::ref(warnings), &localTimeNow});
  command.AcadDrawWeld(takeDrawInput(s.texts, back ? Side::Back : Side::Front, !right, state));
  host::saveDxf(served.doc, out);
  return warnings.count ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage();
  const std::string command = args.front();
  args.erase(args.begin());
  try {
    if (command == "draw") return draw(args);
    if (command == "take") return dxftool::take(args);
    if (command == "edit") return dxftool::edit(args);
    if (command == "next-number") return dxftool::nextNumber(args);
    if (command == "same") return dxftool::same(args);
    if (command == "table") return dxftool::table(args);
    if (command == "new" && args.size() == 1) {
      host::Document doc;
      host::saveDxf(doc, args[0]);
      return 0;
    }
    if (command == "resave" && args.size() == 2) {
      host::Document doc = load(args[0]);
      host::saveDxf(doc, args[1]);
      return 0;
    }
  } catch (const host::DxfError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return usage();
}
