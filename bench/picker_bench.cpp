// Time to open the welding-method picker (created, pictures and methods read, the current
// joint found, shown) on a catalogue of 1,000 joint records and 100 pictures.
// Target: under 100 ms. Runs offscreen; prints the median of 20 openings.
#include "app/weld_record.h"
#include "bench/big_catalog.h"
#include "catalog/forms/spos_weld.h"
#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using namespace kelvo;
  const auto dir = std::filesystem::temp_directory_path() / "kelvo-picker-bench";
  std::filesystem::create_directories(dir);
  const std::string base = (dir / "kelvo").string();
  mainWeld().BasePath = base;

  const std::string text = bench::bigDataFileText();
  replaceFileAtomically(base + "_1-1.dat", text);
  QImage img(104, 68, QImage::Format_RGB888);
  img.fill(Qt::white);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "BMP");
  replaceFileAtomically(base + "_1-1.ris",
                        catalog::writePictureFile(std::vector<std::string>(100, bytes.toStdString()), true));

  SposHost host;
  host.standardField = [] { return cp1251::fromUtf8("ГОСТ 1-1"); };
  host.jointField = [] { return std::string("J99"); };  // the last record of the file
  std::vector<double> ms;
  for (int i = 0; i < 20; ++i) {
    QElapsedTimer t;
    t.start();
    TfmSpos picker(nullptr, host);
    picker.show();
    QApplication::processEvents();
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    picker.hide();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("welding-method picker on 1,000 records and 100 pictures: median %.1f ms, worst %.1f ms "
              "(target under 100 ms)\n", ms[ms.size() / 2], ms.back());
  std::filesystem::remove_all(dir);
  return 0;
}
