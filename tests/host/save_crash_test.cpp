// A drawing saved while the saving process is killed: the file is always a whole drawing.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "tests/support/kill_loop.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace kelvo::host {
namespace {

TEST(SaveCrash, AKillWhileSavingNeverLeavesATruncatedDrawing) {
  test::TempDir dir;
  const std::string file = dir.file("part.dxf");
  // Two drawings of the same cost, so that the kills fall as often in saving one as the other.
  Document a, b;
  for (int i = 0; i < 200; ++i) {
    Entity line;
    line.kind = Kind::Line;
    line.points = {{0, 0, 0}, {static_cast<double>(i), 1, 0}};
    a.modelSpace().entities.push_back(line);
    line.points[1][1] = 2;
    b.modelSpace().entities.push_back(line);
  }
  const std::string textA = writeDxf(a), textB = writeDxf(b);
  int sawA = 0, sawB = 0;
  test::killWhileRepeating(
      100, [&] { saveDxf(a, file), saveDxf(b, file); },
      [&](int run) {
        const std::string now = test::slurp(file);
        ASSERT_TRUE(now == textA || now == textB) << "run " << run << ": " << now.size() << " bytes";
        (now == textA ? sawA : sawB)++;
        EXPECT_NO_THROW(readDxf(now));
      });
  EXPECT_GT(sawA, 10);
  EXPECT_GT(sawB, 10);
}

}  // namespace
}  // namespace kelvo::host
