// The application object, work handed to the main thread, and threads.
//
// Work goes to the main thread as a queued call on a receiver object that
// lives there. The receiver exists while the main window does; once the
// message loop has ended it is destroyed, which discards the calls still
// queued for it without running them, and later work is dropped at once.
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <QApplication>
#include <QMetaObject>
#include <QObject>

#include "platform/posix/window_qt.h"

namespace platform {

namespace qt {

namespace {

std::mutex g_receiverMutex;
std::unique_ptr<QObject> g_receiver;  // guarded by g_receiverMutex

// Made here when the process had none; a test may bring its own.
std::unique_ptr<QApplication> g_application;

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
  const std::lock_guard lock(g_receiverMutex);
  if (!g_receiver) g_receiver = std::move(receiver);
}

void CloseDispatch() {
  std::unique_ptr<QObject> receiver;
  {
    const std::lock_guard lock(g_receiverMutex);
    receiver = std::move(g_receiver);
  }
  // Destroyed outside the lock: the queued work it drops may itself hand
  // work over (and be refused) while it is destroyed.
  receiver.reset();
}

}  // namespace qt

void RunOnMainThread(std::function<void()> work) {
  if (!work) return;
  const std::lock_guard lock(qt::g_receiverMutex);
  if (!qt::g_receiver) return;  // the loop has ended: dropped
  QMetaObject::invokeMethod(qt::g_receiver.get(), std::move(work), Qt::QueuedConnection);
}

bool StartThread(std::function<void()> work) {
  try {
    std::thread(std::move(work)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace platform
