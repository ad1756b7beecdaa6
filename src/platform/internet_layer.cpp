#include "platform/internet_layer.h"

#include <utility>

namespace platform {

InternetHandle InternetHandleTable::Add(std::unique_ptr<InternetObject> object) {
  InternetHandle handle = object.get();
  std::lock_guard<std::mutex> hold(lock_);
  objects_.emplace(handle, std::move(object));
  return handle;
}

bool InternetHandleTable::Close(InternetHandle handle) {
  std::unique_ptr<InternetObject> closing;
  {
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = objects_.find(handle);
    if (found == objects_.end()) return false;
    closing = std::move(found->second);
    objects_.erase(found);
  }
  return true;
}

InternetHandleTable& InternetHandles() {
  static InternetHandleTable* const table = std::make_unique<InternetHandleTable>().release();
  return *table;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string EncodeObjectPath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  if (path.empty() || path.front() != '/') out.push_back('/');
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace platform
