#include "tests/com/draw_cases.h"

#include "cad/draw_weld.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "host/model/picks.h"
#include "platform/codepage.h"

#include <deque>

namespace kelvo::test {

const std::vector<DrawCase>& drawCases() {
  static const std::vector<DrawCase> cases = {
      {"front_right_all_fields",
       {"2", "5", "ГОСТ 14771-76", "Т3", "УП", "6", "50/100", "Rz20"},
       Side::Front, true, 1, 1, "0,0;20,15;40,15", "Сварка"},
      {"back_left_signs",
       {"", "12", "ГОСТ 5264-80", "С2", "", "4", "", "Rz40"},
       Side::Back, false, 2, 2, "100,50;80,70;60,70", "Швы"},
      {"front_left_installation_closed",
       {"3", "", "ГОСТ 14806-80", "Н1", "ИН", "", "", ""},
       Side::Front, true, 3, 3, "10,10;-15,30;-40,30", "1"},
      {"back_right_label_only_count",
       {"4", "7", "", "", "", "8", "", ""},
       Side::Back, true, 0, 0, "0,0;0,25;30,25", "Сварка"},
      {"no_text",
       {"", "", "", "", "", "", "", ""},
       Side::Front, false, 1, 0, "5,5;25,25;45,25", "Weld"},
  };
  return cases;
}

DrawInput caseInput(const DrawCase& c, const std::string& application) {
  DrawInput in;
  for (std::size_t i = 0; i < 8; ++i) in.texts[i] = cp1251::fromUtf8(c.texts[i]);
  in.side = c.side;
  in.arrowLeft = c.arrowLeft;
  in.Znak1 = c.znak1;
  in.Znak2 = c.znak2;
  in.LayerName = cp1251::fromUtf8(c.layer);
  in.NumberType = "N%%d";
  in.Application = application;
  return in;
}

std::tm referenceTime() {
  std::tm t{};
  t.tm_hour = 14, t.tm_min = 7, t.tm_sec = 9;
  return t;
}

Drawn drawInProcess(const DrawCase& c) {
  Drawn out;
  host::Document doc;
  std::deque<host::Point> picks = host::parsePicks(c.picks);
  host::InProcessHost served(
      doc,
      [&picks](const std::string&, const std::optional<host::Point>&) -> std::optional<host::Point> {
        if (picks.empty()) return std::nullopt;
        const host::Point p = picks.front();
        picks.pop_front();
        return p;
      },
      [&out](const std::string& object, const std::string& member, const cad::Args& a, const cad::Variant& r) {
        out.transcript += host::transcriptLine(object, member, a, r) + "\n";
      });
  cad::DrawWeld command({[&out](const std::string& t) { out.messages.push_back(cp1251::toUtf8(t)); }, &referenceTime});
  command.AcadDrawWeld(caseInput(c, kDefaultApplication));
  out.dxf = host::writeDxf(doc);
  return out;
}

std::string goldenFile(const DrawCase& c, const char* extension) {
  return std::string(KELVO_GOLDEN_DIR) + "/" + c.name + extension;
}

}  // namespace kelvo::test
