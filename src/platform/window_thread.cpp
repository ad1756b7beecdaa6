// Starting a worker thread: the same on every backend of the window facility,
// as std::thread serves both.
#include <system_error>
#include <thread>
#include <utility>

#include "platform/window.h"

namespace platform {

bool StartThread(std::function<void()> work) {
  try {
    std::thread(std::move(work)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace platform
