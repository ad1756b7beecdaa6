#include "platform/posix/internet_curl_global.h"

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/posix/internet_curl_testing.h"

namespace platform::curl_layer {
namespace {

// The defaults of the Windows internet library.
constexpr std::chrono::milliseconds kDefaultConnectTimeout{60000};
constexpr std::chrono::milliseconds kDefaultStallTimeout{30000};

// Idle multi handles kept for reuse; more than this only happens when that many
// requests ran at once, and the surplus is let go.
constexpr std::size_t kMaxIdleMultis = 4;
constexpr std::size_t kMaxIdleEasies = 4;

std::atomic<long long> g_connectTimeoutMs{kDefaultConnectTimeout.count()};
std::atomic<long long> g_stallTimeoutMs{kDefaultStallTimeout.count()};

class ProcessState {
 public:
  ProcessState() {
    ready_ = curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
    if (!ready_) return;
    cookieJar_ = curl_share_init();
    if (cookieJar_ != nullptr) {
      curl_share_setopt(cookieJar_, CURLSHOPT_LOCKFUNC, &ProcessState::Lock);
      curl_share_setopt(cookieJar_, CURLSHOPT_UNLOCKFUNC, &ProcessState::Unlock);
      curl_share_setopt(cookieJar_, CURLSHOPT_USERDATA, this);
      curl_share_setopt(cookieJar_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
  }

  bool Ready() const { return ready_; }
  CURLSH* CookieJar() const { return cookieJar_; }

  MultiPtr Acquire() {
    MultiPtr multi = TakeIdle(idle_);
    return multi ? std::move(multi) : MultiPtr(curl_multi_init());
  }

  void Release(MultiPtr multi) { KeepIdle(idle_, std::move(multi), kMaxIdleMultis); }

  EasyPtr AcquireEasy() {
    EasyPtr easy = TakeIdle(idleEasies_);
    return easy ? std::move(easy) : EasyPtr(curl_easy_init());
  }

  void ReleaseEasy(EasyPtr easy) {
    if (!easy) return;
    // Back to the defaults outside the lock; the cookie jar is let go too, so
    // a later request without cookies cannot reach it through this handle.
    ResetEasy(easy.get());
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, static_cast<CURLSH*>(nullptr));
    KeepIdle(idleEasies_, std::move(easy), kMaxIdleEasies);
  }

 private:
  // The most recently kept idle handle, or none.
  template <typename Ptr>
  Ptr TakeIdle(std::vector<Ptr>& idle) {
    std::lock_guard<std::mutex> hold(poolLock_);
    if (idle.empty()) return Ptr();
    Ptr handle = std::move(idle.back());
    idle.pop_back();
    return handle;
  }

  // Keeps a handle for reuse, up to `limit`; the surplus is let go.
  template <typename Ptr>
  void KeepIdle(std::vector<Ptr>& idle, Ptr handle, std::size_t limit) {
    if (!handle) return;
    std::lock_guard<std::mutex> hold(poolLock_);
    if (idle.size() < limit) idle.push_back(std::move(handle));
  }

  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<ProcessState*>(self)->LockFor(data).lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<ProcessState*>(self)->LockFor(data).unlock();
  }
  std::mutex& LockFor(curl_lock_data data) {
    const auto index = static_cast<std::size_t>(data);
    return shareLocks_[index < shareLocks_.size() ? index : 0];
  }

  bool ready_ = false;
  CURLSH* cookieJar_ = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks_;
  std::mutex poolLock_;
  std::vector<MultiPtr> idle_;
  std::vector<EasyPtr> idleEasies_;
};

ProcessState& State() {
  // Never destroyed: a worker thread may still be inside a request while the
  // process ends, and must not find the jar or the pool gone.
  static ProcessState* const state = std::make_unique<ProcessState>().release();
  return *state;
}

}  // namespace

bool CurlReady() {
  return State().Ready();
}
CURLSH* CookieJar() {
  return State().CookieJar();
}
MultiPtr AcquireMulti() {
  return State().Acquire();
}
void ReleaseMulti(MultiPtr multi) {
  State().Release(std::move(multi));
}
EasyPtr AcquireEasy() {
  return State().AcquireEasy();
}
void ReleaseEasy(EasyPtr easy) {
  State().ReleaseEasy(std::move(easy));
}

void ResetEasy(CURL* easy) {
  // With the jar still attached this only ends the handle's use of it; the
  // jar's cookies stay.
  curl_easy_setopt(easy, CURLOPT_COOKIEFILE, static_cast<const char*>(nullptr));
  curl_easy_reset(easy);
}

Timeouts CurrentTimeouts() {
  return {std::chrono::milliseconds(g_connectTimeoutMs.load()),
          std::chrono::milliseconds(g_stallTimeoutMs.load())};
}

}  // namespace platform::curl_layer

namespace platform::testing {

void SetInternetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds stall) {
  curl_layer::g_connectTimeoutMs = connect.count();
  curl_layer::g_stallTimeoutMs = stall.count();
}

}  // namespace platform::testing
