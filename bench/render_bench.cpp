// render_bench FILE.dxf: writes a generated drawing of 100,000 entities (hatches, splines,
// texts, multi-line texts and polylines) to FILE.dxf, then prints the time to open it as the
// host does (read, work out what is shown, first paint at extents) and to repaint it at extents
// (the median of 20), into an image of the host window's size.
#include "host/model/display.h"
#include "host/model/dxf_reader.h"
#include "host/ui/display_paint.h"
#include "host/ui/drawing_font.h"
#include "platform/file_io.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kEntities = 100000;

std::string generated() {
  std::string s = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\nANSI_1251\n0\nENDSEC\n"
                  "0\nSECTION\n2\nENTITIES\n";
  char buf[1024];
  for (int i = 0; i < kEntities; ++i) {
    const double x = (i % 400) * 3.0, y = (i / 400) * 3.0;
    switch (i % 5) {
      case 0:  // a hatched square with ANSI31 lines
        std::snprintf(buf, sizeof buf,
                      "0\nHATCH\n8\n0\n10\n0\n20\n0\n30\n0\n2\nANSI31\n70\n0\n71\n0\n91\n1\n92\n3\n72\n0\n73\n1\n93\n4\n"
                      "10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n97\n0\n75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n"
                      "78\n1\n53\n45\n43\n0\n44\n0\n45\n-0.25\n46\n0.25\n79\n0\n98\n0\n",
                      x, y, x + 2, y, x + 2, y + 2, x, y + 2);
        break;
      case 1:  // a cubic spline of six control points
        std::snprintf(buf, sizeof buf,
                      "0\nSPLINE\n8\n0\n70\n8\n71\n3\n72\n10\n73\n6\n74\n0\n40\n0\n40\n0\n40\n0\n40\n0\n40\n1\n40\n2\n40\n3\n40\n3\n40\n3\n40\n3\n"
                      "10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n",
                      x, y, x + 0.4, y + 2, x + 0.8, y, x + 1.2, y + 2, x + 1.6, y, x + 2, y + 2);
        break;
      case 2: std::snprintf(buf, sizeof buf, "0\nTEXT\n8\n0\n10\n%g\n20\n%g\n40\n0.5\n1\nRz20 C2\n", x, y + 1); break;
      case 3:
        std::snprintf(buf, sizeof buf, "0\nMTEXT\n8\n0\n10\n%g\n20\n%g\n40\n0.4\n41\n2\n71\n1\n1\n{\\H1.2x;Шов}\\Pпо контуру\n", x, y + 2);
        break;
      default:
        std::snprintf(buf, sizeof buf, "0\nLWPOLYLINE\n8\n0\n90\n3\n70\n1\n10\n%g\n20\n%g\n42\n0.4\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n", x, y,
                      x + 2, y, x + 1, y + 2);
        break;
    }
    s += buf;
  }
  return s + "0\nENDSEC\n0\nEOF\n";
}

double since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelvo::host;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) return 2;
  if (!kelvo::replaceFileAtomically(argv[1], generated())) return 1;
  const QSize size(1000, 640);  // the host window's view
  auto t0 = std::chrono::steady_clock::now();
  Document doc = loadDxf(argv[1]);
  const double read = since(t0);
  chooseFont(doc);
  auto t1 = std::chrono::steady_clock::now();
  const Picture d = pictureOf(doc, doc.modelSpace());
  const double model = since(t1);
  QImage image(size, QImage::Format_RGB32);
  const ViewMapping view = ViewMapping::fit(extentsWindow(d), QSizeF(size));
  auto paint = [&] {
    auto t = std::chrono::steady_clock::now();
    image.fill(kGround);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintPicture(p, d, doc.font.family(), view, QRectF(QPointF(0, 0), QSizeF(size)));
    return since(t);
  };
  const double first = paint();
  std::vector<double> repaints;
  for (int i = 0; i < 20; ++i) repaints.push_back(paint());
  std::sort(repaints.begin(), repaints.end());
  std::printf("kelvo-host: open %.3f s (read %.3f, display %.3f, first paint %.3f) for %zu entities, %zu shapes; "
              "repaint at extents %.1f ms (median of 20; target: open < 1 s, repaint < 50 ms)\n",
              read + model + first, read, model, first, doc.entityCount(), d.shapes.size(), repaints[10] * 1000);
  return doc.entityCount() == kEntities ? 0 : 1;
}
