// The built-in automation objects: a small late-bound object model that the
// platform layers put behind ComObject (directly on Linux, wrapped in an
// IDispatch on Windows).
//
// Objects are reference counted like COM objects, because the layers above
// hold them as plain counted references. Strings are UTF-16, as in a BSTR.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace platform::builtin {

// An intrusive counted reference, the C++ face of AddRef/Release.
template <typename T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(const Ref& other) noexcept : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  template <typename U>
  Ref(Ref<U> other) noexcept : ptr_(other.Detach()) {}  // NOLINT: upcast, like a pointer
  Ref& operator=(Ref other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~Ref() {
    if (ptr_) ptr_->Release();
  }

  // Takes over one reference that the caller owns.
  static Ref Adopt(T* ptr) noexcept {
    Ref r;
    r.ptr_ = ptr;
    return r;
  }
  // Gives up the reference without releasing it.
  T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
  T* Get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};

class DispatchObject;

// Empty, boolean, 32-bit integer, double, string or object: the VARIANT types
// that the built-in objects take and give.
using Value =
    std::variant<std::monostate, bool, std::int32_t, double, std::u16string, Ref<DispatchObject>>;

enum class InvokeKind { Get, Put, Call };

class DispatchObject {
 public:
  DispatchObject() = default;
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  virtual ~DispatchObject() = default;

  void AddRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  void Release() noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }

  // The member's id, or -1 when the object has no member of that name (ASCII,
  // compared without regard to case, as automation names are).
  virtual int MemberId(std::string_view name) const = 0;
  // False when the call fails: wrong kind of access, wrong or refused
  // arguments, an index out of range, a pattern the engine refuses. The
  // arguments are the caller's copies, which the member may consume: a
  // subject of a megabyte is moved into the matches rather than copied.
  virtual bool Invoke(int id, InvokeKind kind, std::span<Value> arguments, Value& result) = 0;

 private:
  std::atomic<long> refs_{1};
};

// Objects are only ever made through this, so every one starts with the single
// reference that the returned Ref owns.
template <typename T, typename... Args>
Ref<T> MakeObject(Args&&... args) {
  return Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

// Index of `name` in `names` (ASCII, case-insensitive), or -1.
int FindMember(std::span<const std::string_view> names, std::string_view name);

}  // namespace platform::builtin
