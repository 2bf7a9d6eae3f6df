// kelvo-host [DRAWING.dxf]: the drawing host. Serves "AutoCAD.Application" to Kelvo on this
// machine, shows the drawing and asks the user for the points of a designation.
// kelvo-host --headless --picks "x,y;x,y;x,y"|@FILE [--transcript FILE] [--output OUT.dxf] [--recover] [--snap]
// [DRAWING.dxf]: the same without a window, for tests: prompts are answered from --picks (one
// beyond them is cancelled, or with --hold waits like a user who does not pick), SIGTERM or
// SIGINT saves to --output and ends the host, and --recover reads a newer autosave copy of the
// drawing instead of the drawing; with --snap each pick is moved onto the drawing's geometry as
// the window's object snap would move it.
// kelvo-host --render OUT.png [--size WxH] [--view x0,y0,x1,y1] DRAWING.dxf: draws the model
// space as the window shows it into an image (the window of drawing coordinates, or the
// extents), without a window or a server.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/hit_test.h"
#include "host/model/object_model.h"
#include "host/model/snap.h"
#include "host/ui/display_paint.h"
#include "host/ui/drawing_font.h"
#include "host/ui/automation_server.h"
#include "host/ui/host_window.h"
#include "host/ui/recovery.h"
#include "platform/codepage.h"
#include "platform/termination.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QTimer>

#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>

namespace {

using namespace kelvo;
using namespace kelvo::host;

struct Options {
  bool headless = false;
  bool hold = false;  // headless: a prompt beyond the picks waits instead of being cancelled
  bool recover = false;  // headless: a newer autosave copy is read instead of the drawing
  bool snap = false;     // headless: picks snap to the geometry
  QString picks, transcript, output, drawing, render, size, view;
};

Options parse(const QStringList& args) {
  Options o;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&] { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == QLatin1String("--headless")) o.headless = true;
    else if (a == QLatin1String("--picks")) o.picks = value();
    else if (a == QLatin1String("--transcript")) o.transcript = value();
    else if (a == QLatin1String("--output")) o.output = value();
    else if (a == QLatin1String("--hold")) o.hold = true;
    else if (a == QLatin1String("--recover")) o.recover = true;
    else if (a == QLatin1String("--snap")) o.snap = true;
    else if (a == QLatin1String("--render")) o.render = value();
    else if (a == QLatin1String("--size")) o.size = value();
    else if (a == QLatin1String("--view")) o.view = value();
    else o.drawing = a;
  }
  // "@FILE": the picks are in a file, for runs longer than one argument may be.
  if (o.picks.startsWith(QLatin1Char('@'))) {
    QFile f(o.picks.mid(1));
    o.picks = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  return o;
}

std::deque<Point> picksFrom(const QString& text) {
  std::deque<Point> out;
  for (const QString& one : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    Point p{};
    const QStringList xyz = one.split(QLatin1Char(','));
    for (int i = 0; i < xyz.size() && i < 3; ++i) p[static_cast<std::size_t>(i)] = xyz[i].trimmed().toDouble();
    out.push_back(p);
  }
  return out;
}

// Prompts answered from the picks in order; one beyond them is cancelled, or with `hold` waits
// like a user who does not pick, until the host ends. With `snap` a pick moves to the snap
// point within the drawing's pick tolerance, as a user's click within the aperture does.
PromptHandler scriptedPrompts(std::deque<Point>& picks, bool hold, bool snap, const Document& doc) {
  return [&picks, hold, snap, &doc](const std::string&, const std::optional<Point>& base) -> std::optional<Point> {
    if (picks.empty() && hold) {
      QEventLoop wait;
      wait.exec();
    }
    if (picks.empty()) return std::nullopt;
    Point p = picks.front();
    picks.pop_front();
    if (snap) {
      const Block& space = doc.blocks[doc.currentSpace()];
      std::optional<P2> from;
      if (base) from = P2{(*base)[0], (*base)[1]};
      if (const auto s = snapPoint(pictureOf(doc, space), {p[0], p[1]}, pickTolerance(doc), from)) p[0] = s->at[0], p[1] = s->at[1];
    }
    return p;
  };
}

// "WxH" and "x0,y0,x1,y1" of --render; nothing (and a message) when they are not that.
std::optional<QSize> sizeFrom(const QString& text) {
  const QStringList wh = text.split(QLatin1Char('x'));
  bool okW = false, okH = false;
  const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0, h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
  if (!okW || !okH || w < 1 || h < 1 || w > 16384 || h > 16384) return std::nullopt;
  return QSize(w, h);
}

std::optional<std::array<double, 4>> windowFrom(const QString& text) {
  const QStringList v = text.split(QLatin1Char(','));
  if (v.size() != 4) return std::nullopt;
  std::array<double, 4> w{};
  for (std::size_t i = 0; i < 4; ++i) {
    bool ok = false;
    w[i] = v[static_cast<qsizetype>(i)].trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(w[i])) return std::nullopt;
  }
  if (!(w[2] > w[0]) || !(w[3] > w[1])) return std::nullopt;
  return w;
}

int render(const Options& opt) {
  const auto size = sizeFrom(opt.size.isEmpty() ? QStringLiteral("1024x768") : opt.size);
  if (!size) {
    std::cerr << "Размер изображения задаётся как ШИРИНАxВЫСОТА в пикселях, от 1 до 16384: " << opt.size.toStdString() << "\n";
    return 2;
  }
  std::optional<std::array<double, 4>> window;
  if (!opt.view.isEmpty() && !(window = windowFrom(opt.view))) {
    std::cerr << "Окно вида задаётся как x0,y0,x1,y1 с x1 > x0 и y1 > y0: " << opt.view.toStdString() << "\n";
    return 2;
  }
  if (opt.drawing.isEmpty()) {
    std::cerr << "Не указан чертёж: kelvo-host --render OUT.png [--size WxH] [--view x0,y0,x1,y1] ЧЕРТЁЖ.dxf\n";
    return 2;
  }
  try {
    Document doc = loadDxf(opt.drawing.toStdString());
    chooseFont(doc);
    const QImage image = renderPicture(pictureOf(doc, doc.modelSpace()), doc.font.family(), *size, window);
    if (!image.save(opt.render, "PNG")) {
      std::cerr << "Не удаётся записать изображение " << opt.render.toStdString() << "\n";
      return 1;
    }
  } catch (const DxfError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}

// SIGTERM or SIGINT: a window closes the ordinary way (asking about unsaved changes); a headless
// host saves to its output and ends.
void onTermination(const Options& opt, Document& doc, HostWindow* window) {
  if (window) {
    window->close();
    return;
  }
  const QString out = opt.output.isEmpty() ? opt.drawing : opt.output;
  if (!out.isEmpty()) {
    try {
      saveDxf(doc, out.toStdString());
    } catch (const DxfError& e) {
      std::cerr << e.what() << "\n";
      QCoreApplication::exit(1);
      return;
    }
    QFile::remove(autosaveName(opt.drawing));  // the work is saved
  }
  QCoreApplication::quit();
}

}  // namespace

int main(int argc, char** argv) {
  auto given = [&](const char* flag) {
    for (int i = 1; i < argc; ++i)
      if (std::string(argv[i]) == flag) return true;
    return false;
  };
  const bool headless = given("--headless"), rendering = given("--render");
  // An image needs fonts but no screen: it is drawn wherever the host runs.
  if (rendering && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without a window there is nothing for a GUI application object to do.
  std::unique_ptr<QCoreApplication> app;
  if (headless && !rendering) app = std::make_unique<QCoreApplication>(argc, argv);
  else app = std::make_unique<QApplication>(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Kelvo drawing host"));
  const Options opt = parse(QCoreApplication::arguments());
  if (rendering) return render(opt);

  Document doc;
  if (!opt.drawing.isEmpty()) {
    try {
      QString note;
      const Recovery how = !opt.headless ? Recovery::Ask : opt.recover ? Recovery::Take : Recovery::Aside;
      doc = openDrawing(opt.drawing, how, nullptr, &note);
      // A headless host saves over its drawing when it ends: what it read is told first.
      if (opt.headless)
        for (const std::string& r : readingReport(doc)) std::cerr << opt.drawing.toStdString() << ": " << r << "\n";
      if (!note.isEmpty()) {
        std::cerr << note.toStdString() << "\n";
        doc.warnings.push_back(note.toStdString());
      }
    } catch (const DxfError& e) {
      std::cerr << e.what() << "\n";
      return 1;
    }
  }
  std::ofstream transcript;
  if (!opt.transcript.isEmpty()) transcript.open(opt.transcript.toStdString(), std::ios::binary | std::ios::trunc);

  std::unique_ptr<HostWindow> window;
  bool refreshPending = false;
  std::deque<Point> picks = picksFrom(opt.picks);
  auto context = std::make_shared<HostContext>(HostContext{doc, nullptr, nullptr, nullptr, nullptr, {}, {}, {}});
  if (opt.headless) {
    context->prompt = scriptedPrompts(picks, opt.hold, opt.snap, doc);
  } else {
    window = std::make_unique<HostWindow>(doc, opt.drawing);
    context->prompt = [&window](const std::string& prompt, const std::optional<Point>& base) {
      return window->askPoint(prompt, base);
    };
    context->onVisible = [&window] { window->show(), window->raise(); };
    window->setUndo(&context->undo);
  }
  context->observer = [&](const std::string& object, const std::string& member, const cad::Args& args,
                          const cad::Variant& result) {
    if (transcript.is_open()) transcript << transcriptLine(object, member, args, result) << std::endl;
    // One redraw and one autosave for a burst of calls, once the event loop comes round.
    if (doc.modified && !refreshPending) {
      refreshPending = true;
      QTimer::singleShot(0, QCoreApplication::instance(), [&] {
        refreshPending = false;
        if (window) window->drawingChanged();
        else if (const QString error = writeAutosave(doc, opt.drawing); !error.isEmpty()) std::cerr << error.toStdString() << "\n";
      });
    }
  };

  AutomationServer server([context] { return makeApplication(context); });
  QString error;
  if (!server.listen(QStringLiteral("AutoCAD.Application"), &error)) {
    std::cerr << error.toStdString() << "\n";
    return 1;
  }
  handleTerminationRequests([&] { onTermination(opt, doc, window.get()); });
  if (window) {
    window->show();
    QTimer::singleShot(0, window.get(), [&window] { window->view()->zoomExtents(); });
  } else {
    std::cout << "ready" << std::endl;  // tests wait for this line before they connect
  }
  return QCoreApplication::exec();
}
