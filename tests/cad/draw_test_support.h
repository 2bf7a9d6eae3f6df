// A draw command wired to a fake host, with the messages it shows collected.
#pragma once

#include "cad/draw_weld.h"
#include "platform/codepage.h"
#include "tests/cad/fake_host.h"

#include <gtest/gtest.h>

namespace kelvo::cad::test {

inline std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }

class DrawTest : public ::testing::Test {
 protected:
  DrawTest() : host(std::make_shared<FakeHost>()), draw(services()) { host->registerAsRunning(); }

  DrawWeld::Services services() {
    return {[this](const std::string& text) { messages.push_back(cp1251::toUtf8(text)); },
            [] {
              std::tm t{};
              t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 7;
              return t;
            }};
  }

  static DrawInput input(std::array<const char*, 8> texts = {}, Side side = Side::Front,
                         bool arrowLeft = true, std::uint8_t znak1 = 0, std::uint8_t znak2 = 0) {
    DrawInput in;
    for (std::size_t i = 0; i < 8; ++i) in.texts[i] = texts[i] ? w(texts[i]) : "";
    in.side = side;
    in.arrowLeft = arrowLeft;
    in.Znak1 = znak1;
    in.Znak2 = znak2;
    in.LayerName = w("Сварка");
    in.NumberType = "N%%d";
    return in;
  }

  void pick(double x, double y, double z = 0) { host->picks.push_back({x, y, z}); }

  // Entities of the one "Weld_" block.
  std::vector<std::shared_ptr<FakeEntity>> weldEntities() const {
    for (const auto& b : host->blocks)
      if (b->name.starts_with("Weld_")) return b->entities;
    ADD_FAILURE() << "no weld block";
    return {};
  }

  std::shared_ptr<FakeHost> host;
  DrawWeld draw;
  std::vector<std::string> messages;
};

// Checks points and numbers to 1e-9.
inline void expectNear(const std::vector<double>& got, const std::vector<double>& want,
                       const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " [" << i << "]";
}

}  // namespace kelvo::cad::test
