// kelvo-host [DRAWING.dxf]: the drawing host. Serves "AutoCAD.Application" to Kelvo on this
// machine, shows the drawing and asks the user for the points of a designation.
// kelvo-host --headless --picks "x,y;x,y;x,y"|@FILE [--transcript FILE] [--output OUT.dxf] [--recover]
// [DRAWING.dxf]: the same without a window, for tests: prompts are answered from --picks (one
// beyond them is cancelled, or with --hold waits like a user who does not pick), SIGTERM or
// SIGINT saves to --output and ends the host, and --recover reads a newer autosave copy of the
// drawing instead of the drawing.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/object_model.h"
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
  QString picks, transcript, output, drawing;
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
// like a user who does not pick, until the host ends.
PromptHandler scriptedPrompts(std::deque<Point>& picks, bool hold) {
  return [&picks, hold](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
    if (picks.empty() && hold) {
      QEventLoop wait;
      wait.exec();
    }
    if (picks.empty()) return std::nullopt;
    const Point p = picks.front();
    picks.pop_front();
    return p;
  };
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
  const bool headless = [&] {
    for (int i = 1; i < argc; ++i)
      if (std::string(argv[i]) == "--headless") return true;
    return false;
  }();
  // Without a window there is nothing for a GUI application object to do.
  std::unique_ptr<QCoreApplication> app;
  if (headless) app = std::make_unique<QCoreApplication>(argc, argv);
  else app = std::make_unique<QApplication>(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Kelvo drawing host"));
  const Options opt = parse(QCoreApplication::arguments());

  Document doc;
  if (!opt.drawing.isEmpty()) {
    try {
      QString note;
      const Recovery how = !opt.headless ? Recovery::Ask : opt.recover ? Recovery::Take : Recovery::Aside;
      doc = openDrawing(opt.drawing, how, nullptr, &note);
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
  auto context = std::make_shared<HostContext>(HostContext{doc, nullptr, nullptr, nullptr, nullptr, {}});
  if (opt.headless) {
    context->prompt = scriptedPrompts(picks, opt.hold);
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
