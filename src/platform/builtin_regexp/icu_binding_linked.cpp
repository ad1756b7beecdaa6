// Linux: the table points into the libicu that the program links.
#include <unicode/uregex.h>

#include <atomic>

#include "platform/builtin_regexp/icu_binding.h"

namespace platform::builtin {
namespace {

URegularExpression* Native(IcuRegex* regex) {
  return reinterpret_cast<URegularExpression*>(regex);
}
UErrorCode* Native(IcuBinding::Status* status) {
  return reinterpret_cast<UErrorCode*>(status);
}

static_assert(sizeof(UErrorCode) == sizeof(IcuBinding::Status));
static_assert(sizeof(UChar) == sizeof(char16_t));

constexpr IcuBinding kLinked = {
    [](const char16_t* pattern, std::int32_t length, std::uint32_t flags, void* parseError,
       IcuBinding::Status* status) {
      return reinterpret_cast<IcuRegex*>(
          uregex_open(reinterpret_cast<const UChar*>(pattern), length, flags,
                      static_cast<UParseError*>(parseError), Native(status)));
    },
    [](IcuRegex* regex) { uregex_close(Native(regex)); },
    [](IcuRegex* regex, const char16_t* text, std::int32_t length, IcuBinding::Status* status) {
      uregex_setText(Native(regex), reinterpret_cast<const UChar*>(text), length, Native(status));
    },
    [](IcuRegex* regex, IcuBinding::Status* status) -> std::int8_t {
      return uregex_findNext(Native(regex), Native(status)) ? 1 : 0;
    },
    [](IcuRegex* regex, std::int32_t group, IcuBinding::Status* status) {
      return uregex_start(Native(regex), group, Native(status));
    },
    [](IcuRegex* regex, std::int32_t group, IcuBinding::Status* status) {
      return uregex_end(Native(regex), group, Native(status));
    },
    [](IcuRegex* regex, IcuBinding::Status* status) {
      return uregex_groupCount(Native(regex), Native(status));
    },
    [](IcuRegex* regex, std::int32_t limit, IcuBinding::Status* status) {
      uregex_setTimeLimit(Native(regex), limit, Native(status));
    },
    [](IcuRegex* regex, std::int32_t limit, IcuBinding::Status* status) {
      uregex_setStackLimit(Native(regex), limit, Native(status));
    },
};

std::atomic<const IcuBinding*> g_testBinding{nullptr};

}  // namespace

const IcuBinding* SystemIcu() {
  const IcuBinding* test = g_testBinding.load();
  return test ? test : &kLinked;
}

void SetIcuBindingForTesting(const IcuBinding* binding) {
  g_testBinding.store(binding);
}

}  // namespace platform::builtin
