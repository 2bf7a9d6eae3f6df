#include "tools/dxf/seams.h"

#include "app/settings.h"
#include "cad/draw_weld.h"
#include "cad/take_designation.h"
#include "host/model/dxf_writer.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/ini_store.h"
#include "tools/dxf/served.h"

#include <functional>
#include <iostream>

namespace kelvo::dxftool {

namespace {

struct Options {
  std::string pick, picks, in, settings;
  std::vector<std::string> files;
};

bool parse(const std::vector<std::string>& args, Options& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : std::string(); };
    if (args[i] == "--pick") o.pick = value();
    else if (args[i] == "--picks") o.picks = value();
    else if (args[i] == "--in") o.in = value();
    else if (args[i] == "--settings") o.settings = value();
    else if (!args[i].starts_with("--")) o.files.push_back(args[i]);
    else return false;
  }
  return true;
}

// The window's drawing options (layer, number text) from a settings file, else Kelvo's defaults.
DrawInput options(const Options& o) {
  const MainSettings s = o.settings.empty() ? MainSettings{} : readMainSettings(IniFile(o.settings));
  DrawInput in;
  in.LayerName = s.LayerName, in.NumberType = s.NumberType, in.Application = kAutoCadProgId;
  return in;
}

int usage(const char* line) {
  std::cerr << "usage: kelvo-dxf " << line << "\n";
  return 2;
}

}  // namespace

int nextNumber(const std::vector<std::string>& args) {
  Options o;
  if (!parse(args, o) || o.files.size() != 1) return usage("next-number IN.dxf");
  Served served(loadReported(o.files[0]), "");
  Warnings warnings;
  cad::DrawWeld command({std::ref(warnings), &localTimeNow});
  const std::optional<int> next = command.NextFreeNumber(kAutoCadProgId);
  if (!next) return 1;
  std::cout << *next << "\n";
  return 0;
}

// The designation at the pick gives the number, the side and the arrow; the new seam goes onto
// the layer of the designation's block reference.
int same(const std::vector<std::string>& args) {
  Options o;
  if (!parse(args, o) || o.pick.empty() || o.in.empty() || o.files.size() != 1)
    return usage("same --pick x,y --picks \"x,y;x,y\" --in IN.dxf [--settings FILE.ini] OUT.dxf");
  Served served(loadReported(o.in), o.pick + ";" + o.picks);
  const cad::AcadDocument doc = cad::AcadApplication(cad::GetActiveOleObject(kAutoCadProgId)).ActiveDocument();
  const cad::Taken t = cad::takeDesignation(doc);
  if (t.outcome != cad::TakeOutcome::Taken) {
    std::cerr << cp1251::toUtf8(cad::takeMessage(t.outcome)) << "\n";
    return 1;
  }
  DrawInput in = t.designation.input;
  const DrawInput chosen = options(o);
  in.LayerName = o.settings.empty() ? doc.HandleToObject(t.designation.handles.front()).Layer() : chosen.LayerName;
  in.Application = kAutoCadProgId;
  Warnings warnings;
  cad::DrawWeld command({std::ref(warnings), &localTimeNow});
  command.DrawSame(in);
  host::saveDxf(served.doc, o.files[0]);
  return warnings.count ? 1 : 0;
}

int table(const std::vector<std::string>& args) {
  Options o;
  if (!parse(args, o)) return usage("table ...");
  Warnings warnings;
  cad::DrawWeld command({std::ref(warnings), &localTimeNow});
  if (o.in.empty()) {
    if (o.files.size() != 2 || !o.picks.empty()) return usage("table IN.dxf OUT.csv");
    Served served(loadReported(o.files[0]), "");
    const auto found = command.Designations(kAutoCadProgId);
    if (!found) return 1;
    if (!replaceOrOverwriteFile(o.files[1], cad::seamRowsCsv(cad::seamRows(*found)))) {
      std::cerr << "cannot write " << o.files[1] << "\n";
      return 1;
    }
    return 0;
  }
  if (o.files.size() != 1 || o.picks.empty()) return usage("table --picks \"x,y\" --in IN.dxf [--settings FILE.ini] OUT.dxf");
  Served served(loadReported(o.in), o.picks);
  command.DrawSeamTable(options(o));
  host::saveDxf(served.doc, o.files[0]);
  return warnings.count ? 1 : 0;
}

}  // namespace kelvo::dxftool
