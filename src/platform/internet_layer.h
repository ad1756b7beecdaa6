// What both implementations of the internet calls share: the table that turns
// the handles they give out into their own objects, and the encoding of an
// object path before it goes on the wire. Used by win32/internet_*.cpp and
// posix/internet_curl*.cpp only.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/internet.h"

namespace platform {

// A session, connection or request of a layer.
struct InternetObject {
  virtual ~InternetObject() = default;
};

// The layer's open handles. A handle that the table does not know (already
// closed, or never made) is refused rather than followed.
class InternetHandleTable {
 public:
  InternetHandle Add(std::unique_ptr<InternetObject> object);

  template <typename T>
  T* Find(InternetHandle handle) {
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : dynamic_cast<T*>(found->second.get());
  }

  // Removes the handle; its object is destroyed outside the lock, since ending
  // a request may take a while. False for an unknown handle.
  bool Close(InternetHandle handle);

 private:
  std::mutex lock_;
  std::unordered_map<InternetHandle, std::unique_ptr<InternetObject>> objects_;
};

// The process's one table, never destroyed: a worker may still hold a handle
// when the program ends.
InternetHandleTable& InternetHandles();

// ASCII-only case-insensitive equality, for schemes and host names.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The path starting with "/"; blanks, control bytes and bytes above 0x7E are
// percent-encoded, everything else goes exactly as given.
std::string EncodeObjectPath(std::string_view path);

}  // namespace platform
