// Kelvo's start-up: one copy per executable name, the main window, the event loop.
#include "app/forms/main_weld.h"
#include "app/forms/messages.h"
#include "cad/draw_session.h"
#include "catalog/forms/picker_hooks.h"
#include "platform/file_io.h"
#ifdef _WIN32
#include "platform/com/com_transport.h"
#else
#include "platform/local_transport.h"
#endif
#include "platform/single_instance.h"
#include "platform/termination.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
  const std::string exe = kelvo::executablePath();
  const QString exeName = QFileInfo(QString::fromStdString(kelvo::nativePath(exe))).fileName();
  kelvo::SingleInstance guard(exeName);

  QApplication app(argc, argv);
#ifdef _WIN32
  // The CAD program running for this user, found in the Running Object Table by its ProgID.
  kelvo::registerComTransport();
#else
  // The drawing host that runs for this user is what "AutoCAD.Application" reaches here.
  kelvo::registerLocalTransport();
#endif
  // The application title; a display name would be appended to every window caption.
  QApplication::setApplicationName(QStringLiteral("Kelvo"));

  // The drawing context lives for the whole run: a later command reuses the connection.
  kelvo::cad::DrawSession drawing({[](const std::string& text) {
                                  kelvo::showMessage(nullptr, kelvo::MessageIcon::Warning, text);
                                },
                                &kelvo::localTimeNow});
  kelvo::MainHooks hooks = kelvo::catalogPickers();
  hooks.draw = [&drawing](const kelvo::DrawInput& input) { drawing.draw(input); };
  hooks.take = [&drawing](const std::string& application) { return drawing.take(application); };
  hooks.same = [&drawing](const kelvo::DrawInput& input) { drawing.same(input); };
  hooks.table = [&drawing](const kelvo::DrawInput& input) { drawing.table(input); };
  hooks.nextNumber = [&drawing](const std::string& application) { return drawing.nextNumber(application); };
  hooks.designations = [&drawing](const std::string& application) { return drawing.designations(application); };
  kelvo::TfmMain window(exe, hooks);
  if (!guard.isPrimary()) {
    // The window was created and read its settings, but it is never shown or closed, so the
    // running copy's settings are not overwritten.
    return guard.raisePrimary() ? 0 : 1;
  }
  // Before the copy can be found on its socket: a request to end that came in between would
  // otherwise end the process by the signal's default action, its settings unwritten.
  kelvo::handleTerminationRequests([&window] { window.close(); });
  guard.listen();
  QObject::connect(&guard, &kelvo::SingleInstance::raiseRequested, &window,
                   &kelvo::TfmMain::bringToFront);
  window.show();
  return app.exec();
}
