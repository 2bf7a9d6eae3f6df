// The thread the COM transport calls the CAD program from. A call into another process waits
// in COM's modal loop until the answer comes, and a hung program never answers; neither wine
// nor COM gives up such a call on its own (wine ignores a message filter's cancel). So the
// calls run on a thread of their own, a single-threaded apartment that owns the program's
// proxies, and the caller waits for each call only as long as it allows. A worker left behind
// in a call that never ends is replaced at the next connection. Windows only.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace kelvo::com {

class ComWorker {
 public:
  // The worker for a new connection: the last one, or a new one when that is stuck in a call.
  static std::shared_ptr<ComWorker> forConnection();
  // The worker whose thread runs the calling code; null on any other thread.
  static std::shared_ptr<ComWorker> current();

  // Runs the task on the worker's thread and waits for it: for ever when `limit` is zero,
  // else at most that long, after which the worker counts as stuck and cad::EOleSysError is
  // raised. What the task throws is thrown here. On the worker's own thread it runs at once.
  void run(const std::function<void()>& task, std::chrono::milliseconds limit);
  // Runs the task on the worker's thread some time later (releasing a proxy).
  void post(std::function<void()> task);
  bool stuck() const;

  ComWorker();
  ~ComWorker();
  ComWorker(const ComWorker&) = delete;
  ComWorker& operator=(const ComWorker&) = delete;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace kelvo::com
