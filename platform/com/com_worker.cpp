#include "platform/com/com_worker.h"

#include "cad/automation.h"
#include "platform/com/com_objects.h"

#include <deque>
#include <exception>
#include <algorithm>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include <windows.h>

namespace kelvo::com {

struct ComWorker::State {
  std::mutex m;
  std::deque<std::function<void()>> tasks;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  DWORD thread = 0;
  bool stop = false, stuck = false;
};

namespace {

thread_local std::weak_ptr<ComWorker> tCurrent;

// The apartment's loop: the tasks as they come, and the messages COM needs an idle
// single-threaded apartment to pump.
void loop(const std::shared_ptr<ComWorker::State>& s) {
  ensureCom();
  for (;;) {
    std::deque<std::function<void()>> now;
    {
      std::lock_guard<std::mutex> lock(s->m);
      if (s->stop && s->tasks.empty()) break;
      now.swap(s->tasks);
    }
    for (auto& task : now) task();
    if (!now.empty()) continue;
    MsgWaitForMultipleObjects(1, &s->wake, FALSE, INFINITE, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  tCurrent.reset();
  CloseHandle(s->wake);
}

}  // namespace

ComWorker::ComWorker() : state_(std::make_shared<State>()) {}

ComWorker::~ComWorker() {
  {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->stop = true;
  }
  SetEvent(state_->wake);
}

std::shared_ptr<ComWorker> ComWorker::forConnection() {
  static std::mutex m;
  static std::shared_ptr<ComWorker> last;
  std::lock_guard<std::mutex> lock(m);
  if (last && !last->stuck()) return last;
  // A stuck worker's thread waits in its call for as long as the program does: it is left to
  // the end of the process, with the objects made on it.
  auto worker = std::make_shared<ComWorker>();
  std::promise<DWORD> started;
  std::thread([s = worker->state_, w = std::weak_ptr<ComWorker>(worker), &started] {
    tCurrent = w;
    started.set_value(GetCurrentThreadId());
    loop(s);
  }).detach();
  worker->state_->thread = started.get_future().get();
  last = worker;
  return worker;
}

std::shared_ptr<ComWorker> ComWorker::current() { return tCurrent.lock(); }

bool ComWorker::stuck() const {
  std::lock_guard<std::mutex> lock(state_->m);
  return state_->stuck;
}

void ComWorker::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->tasks.push_back(std::move(task));
  }
  SetEvent(state_->wake);
}

// The caller waits as it waited inside COM's own loop before: messages other programs send to
// its windows are answered (a broadcast must not hang on it), its posted ones stay queued.
void ComWorker::run(const std::function<void()>& task, std::chrono::milliseconds limit) {
  if (GetCurrentThreadId() == state_->thread) return task();
  if (stuck()) throw cad::EOleSysError("The CAD program does not answer");
  // What the task leaves is kept by both sides: a caller that gave up may be gone when it ends.
  struct Done {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr failure;
    ~Done() { CloseHandle(event); }
  };
  auto done = std::make_shared<Done>();
  if (!done->event) throw cad::EOleSysError("Out of system resources for a call");
  post([task, done] {
    try {
      task();
    } catch (...) {
      done->failure = std::current_exception();
    }
    SetEvent(done->event);
  });
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    DWORD wait = INFINITE;
    if (limit.count() != 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      wait = static_cast<DWORD>(std::max<long long>(0, left.count()));
    }
    const DWORD r = MsgWaitForMultipleObjects(1, &done->event, FALSE, wait, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    std::lock_guard<std::mutex> lock(state_->m);
    state_->stuck = true;
    throw cad::EOleSysError("The CAD program did not answer within " + std::to_string(limit.count() / 1000) + " s");
  }
  if (done->failure) std::rethrow_exception(done->failure);
}

}  // namespace kelvo::com
