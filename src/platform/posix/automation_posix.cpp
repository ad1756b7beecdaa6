// Linux has no COM: "VBScript.RegExp" is the built-in engine over libicu, held
// directly as a built-in automation object, and entering or leaving COM does
// nothing.
#include <vector>

#include "platform/automation.h"
#include "platform/automation/invoke.h"
#include "platform/builtin_regexp/dispatch_object.h"
#include "platform/builtin_regexp/regexp_object.h"

namespace platform {
namespace {

using builtin::DispatchObject;
using builtin::Ref;

DispatchObject* Object(void* ref) {
  return static_cast<DispatchObject*>(ref);
}

builtin::Value ToBuiltin(const ComValue& value) {
  return std::visit(
      [](const auto& v) -> builtin::Value {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Text>) {
          return detail::WideFromText(v);
        } else if constexpr (std::is_same_v<T, ComObject>) {
          if (v.IsEmpty()) return std::monostate{};
          Object(v.Raw())->AddRef();
          return Ref<DispatchObject>::Adopt(Object(v.Raw()));
        } else {
          return v;
        }
      },
      value);
}

ComValue FromBuiltin(builtin::Value value) {
  return std::visit(
      [](auto& v) -> ComValue {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::u16string>) {
          return detail::TextFromWide(v);
        } else if constexpr (std::is_same_v<T, Ref<DispatchObject>>) {
          return ComObject::Adopt(v.Detach());
        } else {
          return v;
        }
      },
      value);
}

}  // namespace

namespace detail {

void AddRefObject(void* ref) noexcept {
  Object(ref)->AddRef();
}
void ReleaseObject(void* ref) noexcept {
  Object(ref)->Release();
}

bool InvokeMember(const ComObject& object, std::string_view name, Access access,
                  std::span<const ComValue> arguments, ComValue* result) {
  if (object.IsEmpty()) return false;
  DispatchObject* target = Object(object.Raw());
  const int id = target->MemberId(name);
  if (id < 0) return false;
  std::vector<builtin::Value> values;
  values.reserve(arguments.size());
  for (const ComValue& argument : arguments) values.push_back(ToBuiltin(argument));
  const builtin::InvokeKind kind = access == Access::Get   ? builtin::InvokeKind::Get
                                   : access == Access::Put ? builtin::InvokeKind::Put
                                                           : builtin::InvokeKind::Call;
  builtin::Value out;
  if (!target->Invoke(id, kind, values, out)) return false;
  if (result) *result = FromBuiltin(std::move(out));
  return true;
}

}  // namespace detail

bool CreateObject(ComObject& object, const Text& progId) {
  if (!detail::IsRegExpProgId(progId)) return false;
  if (detail::AllowedRegExpEngines() == RegExpEngines::None) return false;
  const builtin::IcuBinding* icu = builtin::SystemIcu();
  if (!icu) return false;
  object = ComObject::Adopt(builtin::CreateRegExp(*icu).Detach());
  return true;
}

void ComInitialize() {}
void ComUninitialize() {}

}  // namespace platform
