// Time to open the welding-method picker (created, pictures and methods read, the current
// joint found, shown) on a catalogue of 1,000 joint records and 100 pictures, and on the
// shipped standards with the most joints and the most methods.
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

  // The shipped standards with the most joints and the most methods, beside the big one.
  for (const char* number : {"5264-80", "16037-80"})
    for (const char* ext : {".dat", ".ris"})
      std::filesystem::copy_file(std::string(KELVO_DATA_DIR) + "/" + number + ext, base + "_" + number + ext,
                                 std::filesystem::copy_options::overwrite_existing);
  const struct {
    const char *standard, *joint, *what;
  } cases[] = {
      {"ГОСТ 1-1", "J99", "1,000 records and 100 pictures"},  // the last record of the file
      {"ГОСТ 5264-80", "Н2", "5264-80 (47 joints, the last one current)"},
      {"ГОСТ 16037-80", "У21", "16037-80 (32 joints, five methods)"},
  };
  for (const auto& c : cases) {
    SposHost host;
    host.standardField = [&c] { return cp1251::fromUtf8(c.standard); };
    host.jointField = [&c] { return cp1251::fromUtf8(c.joint); };
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
    std::printf("welding-method picker on %s: median %.1f ms, worst %.1f ms (target under 100 ms)\n", c.what,
                ms[ms.size() / 2], ms.back());
  }
  std::filesystem::remove_all(dir);
  return 0;
}
