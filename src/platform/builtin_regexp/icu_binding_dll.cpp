// Windows: the table points into the system's icu.dll (Windows 10 1903 and
// later), bound by name at first use. The DLL exports ICU's C API under its
// plain names. It is looked for in the system folder only, so that no DLL of
// the same name beside the program is loaded in its place, and it stays
// loaded for the life of the process.
#include <windows.h>

#include <atomic>
#include <optional>

#include "platform/builtin_regexp/icu_binding.h"

namespace platform::builtin {
namespace {

template <typename Function>
bool Bind(HMODULE dll, const char* name, Function& function) {
  const FARPROC proc = GetProcAddress(dll, name);
  if (!proc) return false;
  // Through the generic function pointer type, which converts to any other.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
  return true;
}

std::optional<IcuBinding> LoadSystemIcu() {
  HMODULE dll = LoadLibraryExW(L"icu.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!dll) return std::nullopt;
  IcuBinding icu{};
  const bool bound = Bind(dll, "uregex_open", icu.open) && Bind(dll, "uregex_close", icu.close) &&
                     Bind(dll, "uregex_setText", icu.setText) &&
                     Bind(dll, "uregex_findNext", icu.findNext) &&
                     Bind(dll, "uregex_start", icu.start) && Bind(dll, "uregex_end", icu.end) &&
                     Bind(dll, "uregex_groupCount", icu.groupCount) &&
                     Bind(dll, "uregex_setTimeLimit", icu.setTimeLimit) &&
                     Bind(dll, "uregex_setStackLimit", icu.setStackLimit);
  if (!bound) {
    FreeLibrary(dll);
    return std::nullopt;
  }
  return icu;
}

std::atomic<const IcuBinding*> g_testBinding{nullptr};

}  // namespace

const IcuBinding* SystemIcu() {
  if (const IcuBinding* test = g_testBinding.load()) return test;
  static const std::optional<IcuBinding> system = LoadSystemIcu();
  return system ? &*system : nullptr;
}

void SetIcuBindingForTesting(const IcuBinding* binding) {
  g_testBinding.store(binding);
}

}  // namespace platform::builtin
