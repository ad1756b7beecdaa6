// What each platform layer supplies under automation.h: reference counting of
// the held object, and one late-bound call by member name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/automation.h"

namespace platform::detail {

enum class Access { Get, Put, Call };

void AddRefObject(void* ref) noexcept;
void ReleaseObject(void* ref) noexcept;

// Invokes member `name` of `object`. False on any failure, `result` then
// untouched. For Put, `arguments` holds the value to write.
bool InvokeMember(const ComObject& object, std::string_view name, Access access,
                  std::span<const ComValue> arguments, ComValue* result);

RegExpEngines AllowedRegExpEngines();

// True when progId names the script engine's regular-expression class
// (ProgIDs compare without regard to case).
bool IsRegExpProgId(const Text& progId);

// Text (code page 936) to UTF-16 and back, for the strings that cross into an
// automation object.
std::u16string WideFromText(const Text& text);
Text TextFromWide(std::u16string_view wide);

}  // namespace platform::detail
