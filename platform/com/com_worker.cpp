#include "platform/com/com_worker.h"

#include "cad/automation.h"
#include "platform/com/com_objects.h"

#include <condition_variable>
#include <deque>
#include <exception>
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
  std::weak_ptr<ComWorker> owner;
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
  worker->state_->owner = worker;
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

void ComWorker::run(const std::function<void()>& task, std::chrono::milliseconds limit) {
  if (GetCurrentThreadId() == state_->thread) return task();
  if (stuck()) throw cad::EOleSysError("The CAD program does not answer");
  // What the task leaves is kept by both sides: a caller that gave up may be gone when it ends.
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> result = done->get_future();
  post([task, done] {
    try {
      task();
      done->set_value();
    } catch (...) {
      done->set_exception(std::current_exception());
    }
  });
  if (limit.count() == 0) {
    result.wait();
  } else if (result.wait_for(limit) != std::future_status::ready) {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->stuck = true;
    throw cad::EOleSysError("The CAD program did not answer within " + std::to_string(limit.count() / 1000) + " s");
  }
  result.get();
}

}  // namespace kelvo::com
