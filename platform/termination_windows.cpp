#include "platform/termination.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

namespace kelvo {

namespace {

std::function<void()> gOnRequest;

// Called on a thread of the system's own: the request is queued to the event loop.
BOOL WINAPI onConsoleEvent(DWORD) {
  QMetaObject::invokeMethod(qApp, [] { gOnRequest(); }, Qt::QueuedConnection);
  return TRUE;
}

}  // namespace

void handleTerminationRequests(std::function<void()> onRequest) {
  gOnRequest = std::move(onRequest);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace kelvo
