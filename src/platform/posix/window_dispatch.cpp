// The application object and work handed to the main thread.
//
// Work goes into a queue of our own, and a queued call on a receiver object
// that lives on the main thread wakes that thread, which runs the queue in
// order. The queue's lock orders each piece of work between the thread that
// queues it and the main thread; Qt's event queue only carries the wake-up.
// Posted events are delivered by modal loops too (the notice, the pop-up
// menu), so work runs while those are open. The receiver exists while the
// main window does; once the message loop has ended the queue is closed: what
// is still in it is dropped without running, and later work is dropped at once.
#include <deque>
#include <memory>
#include <mutex>
#include <utility>

#include <QApplication>
#include <QMetaObject>
#include <QObject>

#include "platform/posix/window_qt.h"

namespace platform {

namespace qt {

namespace {

struct WorkQueue {
  std::mutex lock;
  std::deque<std::function<void()>> work;
  std::unique_ptr<QObject> receiver;  // null: closed
};

// Lives until the process ends (the program leaves with _Exit), so a worker
// that queues work at the very end still finds it, closed.
WorkQueue& Queue() {
  static WorkQueue queue;
  return queue;
}

// Made here when the process had none; a test may bring its own.
std::unique_ptr<QApplication> g_application;

void WakeMainThread(WorkQueue& queue);

// On the main thread: runs the work that was queued when it began, oldest
// first. Work queued meanwhile waits for the next wake-up, so a worker that
// queues without pause cannot keep the event loop (input, timers, closing)
// from running.
void RunQueuedWork() {
  WorkQueue& queue = Queue();
  std::size_t budget = 0;
  {
    const std::lock_guard hold(queue.lock);
    budget = queue.work.size();
  }
  for (; budget > 0; --budget) {
    std::function<void()> next;
    {
      const std::lock_guard hold(queue.lock);
      if (queue.work.empty() || !queue.receiver) return;
      next = std::move(queue.work.front());
      queue.work.pop_front();
    }
    next();
  }
  const std::lock_guard hold(queue.lock);
  if (!queue.work.empty() && queue.receiver) WakeMainThread(queue);
}

// Posts the wake-up; the caller holds the queue's lock.
void WakeMainThread(WorkQueue& queue) {
  QMetaObject::invokeMethod(queue.receiver.get(), &RunQueuedWork, Qt::QueuedConnection);
}

}  // namespace

bool EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
  }
  // QApplication keeps a reference to argc, so both outlive it.
  static int argc = 1;
  static char name[] = "merravine";
  static char* argv[] = {name, nullptr};
  g_application = std::make_unique<QApplication>(argc, argv);
  return true;
}

void ReleaseApplication() {
  g_application.reset();
}

void OpenDispatch() {
  auto receiver = std::make_unique<QObject>();  // on the main thread, which calls this
  WorkQueue& queue = Queue();
  const std::lock_guard hold(queue.lock);
  if (!queue.receiver) queue.receiver = std::move(receiver);
}

void CloseDispatch() {
  std::unique_ptr<QObject> receiver;
  std::deque<std::function<void()>> dropped;
  {
    WorkQueue& queue = Queue();
    const std::lock_guard hold(queue.lock);
    receiver = std::move(queue.receiver);
    dropped.swap(queue.work);
  }
  // Destroyed outside the lock: the work dropped here may itself hand work
  // over (and be refused) while it is destroyed. Destroying the receiver
  // discards its pending wake-up.
  dropped.clear();
  receiver.reset();
}

}  // namespace qt

void RunOnMainThread(std::function<void()> work) {
  if (!work) return;
  qt::WorkQueue& queue = qt::Queue();
  const std::lock_guard hold(queue.lock);
  if (!queue.receiver) return;  // the loop has ended: dropped
  const bool wake = queue.work.empty();
  queue.work.push_back(std::move(work));
  // One wake-up for a queue that was empty; the main thread takes along what
  // is queued by the time it gets there.
  if (wake) qt::WakeMainThread(queue);
}

}  // namespace platform
