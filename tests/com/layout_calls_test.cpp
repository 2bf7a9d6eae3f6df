// The calls of a broad set of designations, every combination of side, shelf direction, bend
// sign, shelf sign and a range of field sets, held as one line a designation (its name, the
// number of calls and a hash of the whole call sequence). Any change to the calls of a
// designation shows up here by name; KELVO_UPDATE_GOLDEN=1 writes the list anew.
#include "tests/com/draw_cases.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <sstream>

namespace kelvo::test {
namespace {

struct Fields {
  const char* name;
  std::array<const char*, 8> texts;
};

const Fields kFields[] = {
    {"all", {"2", "5", "ГОСТ 14771-76", "Т3", "УП", "6", "", "Rz20"}},
    {"roughness", {"", "", "", "", "", "", "", "Rz40"}},
    {"standard_leg", {"", "", "ГОСТ 5264-80", "", "", "4", "", ""}},
    {"typed_intermittent", {"", "", "ГОСТ 5264-80", "Т1", "РД", "", "100", "Rz80"}},
    {"count_number_leg", {"3", "12", "", "", "", "8", "", ""}},
    {"chain", {"", "", "ГОСТ 14771-76", "Т3", "", "5", "50/100", "Rz20"}},
    {"staggered_on_standard", {"", "", "ГОСТ 14771-76", "Т3", "", "", "50Z100", ""}},
    {"none", {"", "", "", "", "", "", "", ""}},
};

std::uint64_t fnv1a(const std::string& s) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::vector<DrawCase> layoutCases() {
  static std::deque<std::string> names;
  std::vector<DrawCase> cases;
  for (const Fields& f : kFields)
    for (Side side : {Side::Front, Side::Back})
      for (bool right : {true, false})
        for (int znak1 : {0, 3})
          for (int znak2 = 0; znak2 <= 4; ++znak2)
            for (bool raised : {false, true}) {
              if (raised && std::string(f.name) != "all") continue;
              names.push_back(std::string(f.name) + (side == Side::Front ? "_front" : "_back") +
                              (right ? "_right" : "_left") + "_z" + std::to_string(znak1) +
                              std::to_string(znak2) + (raised ? "_raised" : ""));
              const char* picks = right ? (raised ? "0,0,1;20,15,2;40,15,3" : "0,0;20,15;40,15")
                                        : (raised ? "100,50,1;80,70,2;60,70,3" : "100,50;80,70;60,70");
              cases.push_back({names.back().c_str(), f.texts, side, right, static_cast<std::uint8_t>(znak1),
                               static_cast<std::uint8_t>(znak2), picks, "Сварка"});
            }
  return cases;
}

TEST(ReferenceDrawings, EveryDesignationMakesTheRecordedCalls) {
  const std::string file = std::string(KELVO_GOLDEN_DIR) + "/layout_calls.txt";
  std::ostringstream got;
  for (const DrawCase& c : layoutCases()) {
    const Drawn d = drawInProcess(c);
    EXPECT_TRUE(d.messages.empty()) << c.name;
    char line[160];
    std::snprintf(line, sizeof line, "%s %zu %016llx\n", c.name,
                  static_cast<std::size_t>(std::count(d.transcript.begin(), d.transcript.end(), '\n')),
                  static_cast<unsigned long long>(fnv1a(d.transcript)));
    got << line;
  }
  if (std::getenv("KELVO_UPDATE_GOLDEN")) {
    spit(file, got.str());
    return;
  }
  std::map<std::string, std::string> want;
  std::istringstream recorded(slurp(file));
  for (std::string name, rest; recorded >> name && std::getline(recorded, rest);) want[name] = rest;
  std::istringstream now(got.str());
  int compared = 0;
  for (std::string name, rest; now >> name && std::getline(now, rest); ++compared)
    EXPECT_EQ(rest, want[name]) << name << ": the calls differ from the recorded ones";
  EXPECT_EQ(compared, static_cast<int>(want.size()));
}

}  // namespace
}  // namespace kelvo::test
