// The reference drawings: what the draw command leaves in a new drawing, and the calls it makes,
// for designations that reach every routine. KELVO_UPDATE_GOLDEN=1 writes them anew (look at the
// diff before committing it).
#include "tests/com/draw_cases.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kelvo::test {
namespace {

TEST(ReferenceDrawings, InProcessDrawingMatchesTheReference) {
  const bool update = std::getenv("KELVO_UPDATE_GOLDEN") != nullptr;
  for (const DrawCase& c : drawCases()) {
    SCOPED_TRACE(c.name);
    const Drawn d = drawInProcess(c);
    EXPECT_TRUE(d.messages.empty()) << (d.messages.empty() ? "" : d.messages.front());
    if (update) {
      spit(goldenFile(c, ".dxf"), d.dxf);
      spit(goldenFile(c, ".jsonl"), d.transcript);
      continue;
    }
    EXPECT_EQ(d.dxf, slurp(goldenFile(c, ".dxf")));
    EXPECT_EQ(d.transcript, slurp(goldenFile(c, ".jsonl")));
  }
}

}  // namespace
}  // namespace kelvo::test
