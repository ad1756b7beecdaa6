// The automation facility: late-bound calls on COM automation objects.
//
// What the regular-expression object asks of COM: create an object by ProgID,
// write a property, read a property (with or without one argument) as a
// number, a Text, an object or any value, call a method with Text arguments,
// test a reference for emptiness and clear it. None of these raises, shows a
// message or stops the program: a failure (no object, unknown name, value
// refused, the call raised an error) shows only in the result.
//
// Text crosses into the object's wide strings through code page 936 and comes
// back the same way, so a position that the object reports counts UTF-16 units
// of the converted text.
//
// Implementations: win32/automation_win.cpp (COM late binding, falling back to
// the built-in regular-expression engine over the system's icu.dll where the
// script engine is missing) and posix/automation_posix.cpp (the built-in
// engine over libicu).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>

#include "text/text.h"

namespace platform {

using merravine::Text;

// Empty, or one counted reference to an automation object. Copying adds a
// reference to the same object; clearing or destroying releases it.
class ComObject {
 public:
  ComObject() noexcept = default;
  ComObject(const ComObject& other) noexcept;
  ComObject(ComObject&& other) noexcept;
  ComObject& operator=(const ComObject& other) noexcept;
  ComObject& operator=(ComObject&& other) noexcept;
  ~ComObject();

  bool IsEmpty() const noexcept { return ref_ == nullptr; }
  void Clear() noexcept;

  // For the platform layer: take over a reference that the caller owns, and
  // look at the held one without adding a reference.
  static ComObject Adopt(void* ref) noexcept;
  void* Raw() const noexcept { return ref_; }

 private:
  void* ref_ = nullptr;
};

// "Any value": empty, a boolean, a number, a Text or an object.
using ComValue = std::variant<std::monostate, bool, std::int32_t, double, Text, ComObject>;

// The conversions an automation client applies to a value read back: a boolean
// gives -1 or 0 as a number and "-1" or "0" as Text, an empty value 0 or an
// empty Text, an object 0 or an empty Text.
double ValueNumber(const ComValue& value);
Text ValueText(const ComValue& value);

// Creates the object named by progId into `object`, releasing what it held
// before. On failure `object` is left as it was.
bool CreateObject(ComObject& object, const Text& progId);

bool WriteProperty(const ComObject& object, std::string_view name, bool value);
bool WriteProperty(const ComObject& object, std::string_view name, const Text& value);
// A literal is Text, not a boolean.
inline bool WriteProperty(const ComObject& object, std::string_view name, const char* value) {
  return WriteProperty(object, name, Text(value));
}

// Property reads. Failure gives 0, an empty Text, an empty ComObject or an
// empty value.
double ReadNumber(const ComObject& object, std::string_view name);
double ReadNumber(const ComObject& object, std::string_view name, const ComValue& argument);
Text ReadText(const ComObject& object, std::string_view name);
Text ReadText(const ComObject& object, std::string_view name, const ComValue& argument);
ComObject ReadObject(const ComObject& object, std::string_view name);
ComObject ReadObject(const ComObject& object, std::string_view name, const ComValue& argument);
ComValue ReadValue(const ComObject& object, std::string_view name);
ComValue ReadValue(const ComObject& object, std::string_view name, const ComValue& argument);

// Method calls with Text arguments. Failure gives an empty Text or ComObject.
Text CallText(const ComObject& object, std::string_view name,
              std::initializer_list<Text> arguments);
ComObject CallObject(const ComObject& object, std::string_view name,
                     std::initializer_list<Text> arguments);

// Enter and leave COM on the calling thread (CoInitialize(NULL) and
// CoUninitialize on Windows; nothing elsewhere). Results are not reported.
void ComInitialize();
void ComUninitialize();

// For tests: which engines "VBScript.RegExp" may come from. Any: the script
// engine where there is one, else the built-in engine. BuiltinOnly: the script
// engine is taken as missing. None: neither can be made.
enum class RegExpEngines { Any, BuiltinOnly, None };
void SetRegExpEnginesForTesting(RegExpEngines engines);

}  // namespace platform
