#include "tools/dxf/take_edit.h"

#include "tools/dxf/served.h"

#include "app/settings.h"
#include "cad/draw_weld.h"
#include "cad/take_designation.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/ini_store.h"

#include <functional>
#include <iostream>

namespace kelvo::dxftool {

host::Document loadReported(const std::string& fileName) {
  host::Document doc = host::loadDxf(fileName);
  for (const std::string& w : doc.warnings) std::cerr << fileName << ": " << w << "\n";
  for (const std::string& line : host::readingReport(doc)) std::cerr << fileName << ": " << line << "\n";
  return doc;
}

void Warnings::operator()(const std::string& text) {
  ++count;
  std::cerr << cp1251::toUtf8(text) << "\n";
}

namespace {

struct Options {
  std::string pick, settings, in, out;
};

bool parse(const std::vector<std::string>& args, Options& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : std::string(); };
    if (args[i] == "--pick") o.pick = value();
    else if (args[i] == "--settings") o.settings = value();
    else if (args[i] == "--in") o.in = value();
    else if (o.out.empty() && !args[i].starts_with("--")) o.out = args[i];
    else return false;
  }
  return !o.pick.empty() && !o.settings.empty() && !o.in.empty();
}

// The drawing served in-process, the pick answering the one selection prompt.
struct Session : Served {
  explicit Session(const Options& o) : Served(loadReported(o.in), o.pick) {}
  cad::Taken take() {
    const cad::AcadDocument d = cad::AcadApplication(cad::GetActiveOleObject(kAutoCadProgId)).ActiveDocument();
    const cad::Taken t = cad::takeDesignation(d);
    if (t.outcome != cad::TakeOutcome::Taken) std::cerr << cp1251::toUtf8(cad::takeMessage(t.outcome)) << "\n";
    return t;
  }
};

int usage(const char* command) {
  std::cerr << "usage: kelvo-dxf " << command << " --pick x,y --in IN.dxf --settings FILE.ini"
            << (std::string(command) == "edit" ? " OUT.dxf" : "") << "\n";
  return 2;
}

}  // namespace

int take(const std::vector<std::string>& args) {
  Options o;
  if (!parse(args, o) || !o.out.empty()) return usage("take");
  Session s(o);
  const cad::Taken t = s.take();
  if (t.outcome != cad::TakeOutcome::Taken) return 1;
  IniBatch ini{IniFile(o.settings)};
  MainSettings m = readMainSettings(ini);
  const DrawInput& in = t.designation.input;
  m.texts = in.texts;
  m.Znak1 = in.Znak1, m.Znak2 = in.Znak2, m.Znaki2 = in.Znaki2;
  m.NumberType = in.NumberType;
  m.RisNum = in.WeldData.RisNum;
  writeMainSettings(ini, m);
  ini.commit();
  return 0;
}

int edit(const std::vector<std::string>& args) {
  Options o;
  if (!parse(args, o) || o.out.empty()) return usage("edit");
  Session s(o);
  const cad::Taken t = s.take();
  if (t.outcome != cad::TakeOutcome::Taken) return 1;
  const MainSettings m = readMainSettings(IniFile(o.settings));
  MainWeld state;
  state.Znak1 = m.Znak1, state.Znak2 = m.Znak2, state.Znaki2 = m.Znaki2, state.LayerName = m.LayerName;
  state.NumberType = m.NumberType;
  const DrawInput& old = t.designation.input;
  Warnings warnings;
  cad::DrawWeld command({std::ref(warnings), &localTimeNow});
  command.AcadDrawWeld(takeDrawInput(m.texts, old.side, old.arrowLeft, state), t.designation);
  host::saveDxf(s.doc, o.out);
  return warnings.count ? 1 : 0;
}

}  // namespace kelvo::dxftool
