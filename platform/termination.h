// SIGTERM and SIGINT turned into a call on the event loop, so that a copy asked to stop by the
// system closes its window the ordinary way (and keeps its settings) instead of dying.
#pragma once

#include <functional>

namespace kelvo {

// Installs the handlers; `onRequest` runs on the thread of the event loop. Once per process.
void handleTerminationRequests(std::function<void()> onRequest);

}  // namespace kelvo
