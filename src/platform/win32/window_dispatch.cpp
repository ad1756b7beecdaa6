// Work handed to the main thread and the notice box.
//
// Work goes into a queue, and a message posted to the main window wakes the
// main thread, which runs the whole queue. A window message (not a thread
// message) is used so that work also runs inside modal loops (the notice box,
// the pop-up menu), which drop thread messages. Once the window is destroyed
// the queue is closed: later work is dropped and never run.
#include <deque>
#include <mutex>
#include <utility>

#include "platform/win32/window_win32.h"

namespace platform::win32 {

namespace {

struct WorkQueue {
  std::mutex lock;
  std::deque<std::function<void()>> work;
  HWND target = nullptr;  // null: closed
};

// Never destroyed before the process ends (the program leaves with _Exit), so
// a worker that queues work at the very end still finds it.
WorkQueue& Queue() {
  static WorkQueue queue;
  return queue;
}

}  // namespace

void OpenWorkQueue(HWND target) {
  WorkQueue& queue = Queue();
  std::lock_guard<std::mutex> hold(queue.lock);
  queue.target = target;
}

void RunQueuedWork() {
  WorkQueue& queue = Queue();
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> hold(queue.lock);
    batch.swap(queue.work);
  }
  for (std::function<void()>& work : batch) work();
}

void CloseWorkQueue() {
  WorkQueue& queue = Queue();
  std::deque<std::function<void()>> dropped;
  std::lock_guard<std::mutex> hold(queue.lock);
  queue.target = nullptr;
  dropped.swap(queue.work);
}

}  // namespace platform::win32

namespace platform {

void RunOnMainThread(std::function<void()> work) {
  win32::WorkQueue& queue = win32::Queue();
  std::lock_guard<std::mutex> hold(queue.lock);
  if (queue.target == nullptr) return;
  queue.work.push_back(std::move(work));
  // One message per piece of work: the handler runs all that is queued, so an
  // extra message finds an empty queue, and a lost one is made up by the next.
  PostMessageW(queue.target, win32::kRunQueuedWork, 0, 0);
}

void ShowNotice(const Text& text, const Text& caption) {
  // No owner and task-modal: every top-level window of this thread is disabled
  // while the box is open.
  MessageBoxW(nullptr, win32::WideFrom936(text).c_str(), win32::WideFrom936(caption).c_str(),
              MB_OK | MB_TASKMODAL);
}

}  // namespace platform
