#include "platform/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo {

namespace {

int gWakeFds[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the socket that the event loop watches.
void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(gWakeFds[0], &byte, 1);
}

}  // namespace

void handleTerminationRequests(std::function<void()> onRequest) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gWakeFds) != 0) return;
  auto* notifier = new QSocketNotifier(gWakeFds[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp,
                   [onRequest = std::move(onRequest)] {
                     char byte = 0;
                     [[maybe_unused]] const auto n = ::read(gWakeFds[1], &byte, 1);
                     onRequest();
                   });
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

}  // namespace kelvo
