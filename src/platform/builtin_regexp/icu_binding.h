// The few functions of ICU's regular-expression C API that the built-in engine
// uses, as a table of function pointers, so that one engine serves both
// platforms: on Linux the table points into the linked libicu, on Windows into
// the system's icu.dll, bound by name at first use (icu_binding_dll.cpp).
//
// The types are declared here rather than taken from ICU's headers, which the
// Windows build does not have; they match ICU's C ABI (UChar is a 16-bit unit,
// UErrorCode an int-sized enum with failures above zero, UBool one byte, and
// the functions use the C calling convention).
#pragma once

#include <cstdint>

namespace platform::builtin {

struct IcuRegex;  // URegularExpression

struct IcuBinding {
  using Status = int;  // UErrorCode

  IcuRegex* (*open)(const char16_t* pattern, std::int32_t length, std::uint32_t flags,
                    void* parseError, Status* status);
  void (*close)(IcuRegex* regex);
  void (*setText)(IcuRegex* regex, const char16_t* text, std::int32_t length, Status* status);
  std::int8_t (*findNext)(IcuRegex* regex, Status* status);
  std::int32_t (*start)(IcuRegex* regex, std::int32_t group, Status* status);
  std::int32_t (*end)(IcuRegex* regex, std::int32_t group, Status* status);
  std::int32_t (*groupCount)(IcuRegex* regex, Status* status);
  void (*setTimeLimit)(IcuRegex* regex, std::int32_t limit, Status* status);
  void (*setStackLimit)(IcuRegex* regex, std::int32_t limit, Status* status);
};

inline bool IcuFailed(IcuBinding::Status status) {
  return status > 0;
}

inline constexpr std::uint32_t kIcuCaseInsensitive = 2;  // UREGEX_CASE_INSENSITIVE

// The system's ICU, or null where it is missing. A binding set with
// SetIcuBindingForTesting takes its place while set (null restores the system's).
const IcuBinding* SystemIcu();
void SetIcuBindingForTesting(const IcuBinding* binding);

}  // namespace platform::builtin
