// The typed operations of automation.h over the platform's one late-bound call,
// and the value conversions that an automation client applies.
#include <atomic>
#include <charconv>
#include <cmath>
#include <utility>

#include "platform/automation.h"
#include "platform/automation/invoke.h"

namespace platform {

ComObject::ComObject(const ComObject& other) noexcept : ref_(other.ref_) {
  if (ref_) detail::AddRefObject(ref_);
}

ComObject::ComObject(ComObject&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}

ComObject& ComObject::operator=(const ComObject& other) noexcept {
  if (this != &other) {
    if (other.ref_) detail::AddRefObject(other.ref_);
    Clear();
    ref_ = other.ref_;
  }
  return *this;
}

ComObject& ComObject::operator=(ComObject&& other) noexcept {
  if (this != &other) {
    Clear();
    ref_ = std::exchange(other.ref_, nullptr);
  }
  return *this;
}

ComObject::~ComObject() {
  Clear();
}

void ComObject::Clear() noexcept {
  if (void* ref = std::exchange(ref_, nullptr)) detail::ReleaseObject(ref);
}

ComObject ComObject::Adopt(void* ref) noexcept {
  ComObject object;
  object.ref_ = ref;
  return object;
}

double ValueNumber(const ComValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
  if (const auto* i = std::get_if<std::int32_t>(&value)) return *i;
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* t = std::get_if<Text>(&value)) {
    double number = 0;
    const std::string_view s = t->View();
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), number);
    return error == std::errc() && end == s.data() + s.size() ? number : 0;
  }
  return 0;
}

Text ValueText(const ComValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return Text(*b ? "-1" : "0");
  if (const auto* i = std::get_if<std::int32_t>(&value)) return merravine::NumberToText(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *d);
    return error == std::errc() ? Text::Result(std::string_view(buffer, end - buffer)) : Text();
  }
  if (const auto* t = std::get_if<Text>(&value)) return *t;
  return Text();
}

namespace {

ComValue Read(const ComObject& object, std::string_view name, std::span<const ComValue> arguments) {
  ComValue result;
  if (!detail::InvokeMember(object, name, detail::Access::Get, arguments, &result)) return {};
  return result;
}

ComObject AsObject(ComValue value) {
  if (auto* object = std::get_if<ComObject>(&value)) return std::move(*object);
  return {};
}

ComValue Call(const ComObject& object, std::string_view name,
              std::initializer_list<Text> arguments) {
  std::vector<ComValue> values(arguments.begin(), arguments.end());
  ComValue result;
  if (!detail::InvokeMember(object, name, detail::Access::Call, values, &result)) return {};
  return result;
}

std::atomic<RegExpEngines> g_allowedEngines{RegExpEngines::Any};

}  // namespace

bool WriteProperty(const ComObject& object, std::string_view name, bool value) {
  const ComValue v = value;
  return detail::InvokeMember(object, name, detail::Access::Put, {&v, 1}, nullptr);
}

bool WriteProperty(const ComObject& object, std::string_view name, const Text& value) {
  const ComValue v = value;
  return detail::InvokeMember(object, name, detail::Access::Put, {&v, 1}, nullptr);
}

double ReadNumber(const ComObject& object, std::string_view name) {
  return ValueNumber(Read(object, name, {}));
}
double ReadNumber(const ComObject& object, std::string_view name, const ComValue& argument) {
  return ValueNumber(Read(object, name, {&argument, 1}));
}
Text ReadText(const ComObject& object, std::string_view name) {
  return ValueText(Read(object, name, {}));
}
Text ReadText(const ComObject& object, std::string_view name, const ComValue& argument) {
  return ValueText(Read(object, name, {&argument, 1}));
}
ComObject ReadObject(const ComObject& object, std::string_view name) {
  return AsObject(Read(object, name, {}));
}
ComObject ReadObject(const ComObject& object, std::string_view name, const ComValue& argument) {
  return AsObject(Read(object, name, {&argument, 1}));
}
ComValue ReadValue(const ComObject& object, std::string_view name) {
  return Read(object, name, {});
}
ComValue ReadValue(const ComObject& object, std::string_view name, const ComValue& argument) {
  return Read(object, name, {&argument, 1});
}

Text CallText(const ComObject& object, std::string_view name,
              std::initializer_list<Text> arguments) {
  return ValueText(Call(object, name, arguments));
}

ComObject CallObject(const ComObject& object, std::string_view name,
                     std::initializer_list<Text> arguments) {
  return AsObject(Call(object, name, arguments));
}

void SetRegExpEnginesForTesting(RegExpEngines engines) {
  g_allowedEngines.store(engines);
}

namespace detail {

RegExpEngines AllowedRegExpEngines() {
  return g_allowedEngines.load();
}

bool IsRegExpProgId(const Text& progId) {
  constexpr std::string_view kProgId = "vbscript.regexp";
  const std::string_view s = progId.View();
  if (s.size() != kProgId.size()) return false;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const char c = s[k] >= 'A' && s[k] <= 'Z' ? static_cast<char>(s[k] + 32) : s[k];
    if (c != kProgId[k]) return false;
  }
  return true;
}

}  // namespace detail
}  // namespace platform
