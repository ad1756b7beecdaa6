// Windows: COM late binding. Objects are created by ProgID in process, members
// are found by name with IDispatch::GetIDsOfNames and called with
// IDispatch::Invoke. Strings cross as BSTRs converted from and to code page 936.
//
// "VBScript.RegExp" is the script engine's where it is installed. Windows is
// dropping VBScript, so where the class is missing the built-in engine takes
// its place over the system's icu.dll, and where that is missing too the
// object cannot be made.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/automation/invoke.h"
#include "platform/builtin_regexp/regexp_object.h"
#include "platform/win32/automation_dispatch_win.h"

namespace platform {
namespace {

IDispatch* Dispatch(void* ref) {
  return static_cast<IDispatch*>(ref);
}

// A VARIANT that clears itself.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v); }
};

std::wstring Widen(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

bool ToVariant(const ComValue& value, VARIANT& out) {
  if (const auto* b = std::get_if<bool>(&value)) {
    V_VT(&out) = VT_BOOL;
    V_BOOL(&out) = *b ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const auto* i = std::get_if<std::int32_t>(&value)) {
    V_VT(&out) = VT_I4;
    V_I4(&out) = *i;
  } else if (const auto* d = std::get_if<double>(&value)) {
    V_VT(&out) = VT_R8;
    V_R8(&out) = *d;
  } else if (const auto* t = std::get_if<Text>(&value)) {
    const std::u16string wide = detail::WideFromText(*t);
    const BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                                        static_cast<UINT>(wide.size()));
    if (!bstr) return false;
    V_VT(&out) = VT_BSTR;
    V_BSTR(&out) = bstr;
  } else if (const auto* o = std::get_if<ComObject>(&value)) {
    if (!o->IsEmpty()) {
      V_VT(&out) = VT_DISPATCH;
      V_DISPATCH(&out) = Dispatch(o->Raw());
      V_DISPATCH(&out)->AddRef();
    }
  }
  return true;
}

ComValue FromVariant(const VARIANT& in) {
  Variant v;
  if (FAILED(VariantCopyInd(&v.v, const_cast<VARIANT*>(&in)))) return {};
  switch (V_VT(&v.v)) {
    case VT_BOOL:
      return V_BOOL(&v.v) != VARIANT_FALSE;
    case VT_I4:
      return static_cast<std::int32_t>(V_I4(&v.v));
    case VT_R8:
      return V_R8(&v.v);
    case VT_BSTR: {
      const BSTR s = V_BSTR(&v.v);
      return detail::TextFromWide(
          std::u16string_view(reinterpret_cast<const char16_t*>(s ? s : L""), SysStringLen(s)));
    }
    case VT_DISPATCH: {
      IDispatch* d = V_DISPATCH(&v.v);
      if (!d) return {};
      d->AddRef();
      return ComObject::Adopt(d);
    }
    case VT_UNKNOWN: {
      IUnknown* u = V_UNKNOWN(&v.v);
      void* d = nullptr;
      if (!u || FAILED(u->QueryInterface(IID_IDispatch, &d))) return {};
      return ComObject::Adopt(d);
    }
    case VT_EMPTY:
    case VT_NULL:
      return {};
    default:
      // Other numbers (VT_I2, VT_UI1, VT_DECIMAL, VT_CY ...) as a double.
      if (SUCCEEDED(VariantChangeType(&v.v, &v.v, 0, VT_R8))) return V_R8(&v.v);
      return {};
  }
}

// Frees what a failed call may have left in the exception record.
void ClearException(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

enum class ScriptObject { Made, Missing, Failed };

// The class named by progId, made in process. Missing: the class is not
// registered or its server is gone; Failed: any other failure, such as a
// thread that has not entered COM.
ScriptObject CreateScriptObject(const Text& progId, IDispatch** made) {
  CLSID clsid;
  const std::u16string wide = detail::WideFromText(progId);
  const std::wstring name(wide.begin(), wide.end());
  if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) return ScriptObject::Missing;
  void* object = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object);
  if (SUCCEEDED(hr)) {
    *made = static_cast<IDispatch*>(object);
    return ScriptObject::Made;
  }
  const bool missing = hr == REGDB_E_CLASSNOTREG || hr == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) ||
                       hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  return missing ? ScriptObject::Missing : ScriptObject::Failed;
}

}  // namespace

namespace detail {

void AddRefObject(void* ref) noexcept {
  Dispatch(ref)->AddRef();
}
void ReleaseObject(void* ref) noexcept {
  Dispatch(ref)->Release();
}

bool InvokeMember(const ComObject& object, std::string_view name, Access access,
                  std::span<const ComValue> arguments, ComValue* result) {
  if (object.IsEmpty()) return false;
  IDispatch* target = Dispatch(object.Raw());
  std::wstring wideName = Widen(name);
  LPOLESTR names[] = {wideName.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;

  // DISPPARAMS lists the arguments last first.
  std::vector<Variant> values(arguments.size());
  std::vector<VARIANT> packed(arguments.size());
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    Variant& v = values[arguments.size() - 1 - k];
    if (!ToVariant(arguments[k], v.v)) return false;
  }
  for (std::size_t k = 0; k < values.size(); ++k) packed[k] = values[k].v;

  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = packed.empty() ? nullptr : packed.data();
  params.cArgs = static_cast<UINT>(packed.size());
  WORD flags = DISPATCH_PROPERTYGET;
  if (access == Access::Put) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
    flags = DISPATCH_PROPERTYPUT;
  } else if (access == Access::Call) {
    flags = DISPATCH_METHOD;
  }

  Variant out;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  const HRESULT hr =
      target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                     access == Access::Put ? nullptr : &out.v, &exception, &argumentError);
  if (FAILED(hr)) {
    if (hr == DISP_E_EXCEPTION) ClearException(exception);
    return false;
  }
  if (result) *result = FromVariant(out.v);
  return true;
}

}  // namespace detail

bool CreateObject(ComObject& object, const Text& progId) {
  const bool regExp = detail::IsRegExpProgId(progId);
  const RegExpEngines engines = detail::AllowedRegExpEngines();
  if (regExp && engines == RegExpEngines::None) return false;
  if (!(regExp && engines == RegExpEngines::BuiltinOnly)) {
    IDispatch* made = nullptr;
    const ScriptObject script = CreateScriptObject(progId, &made);
    if (script == ScriptObject::Made) {
      object = ComObject::Adopt(made);
      return true;
    }
    if (script == ScriptObject::Failed) return false;
  }
  if (!regExp) return false;
  const builtin::IcuBinding* icu = builtin::SystemIcu();
  if (!icu) return false;
  object = ComObject::Adopt(win32::WrapBuiltin(builtin::CreateRegExp(*icu)));
  return true;
}

void ComInitialize() {
  CoInitialize(nullptr);
}
void ComUninitialize() {
  CoUninitialize();
}

}  // namespace platform
