#include "platform/win32/automation_dispatch_win.h"

#include <windows.h>

#include <oleauto.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

namespace platform::win32 {
namespace {

using builtin::DispatchObject;
using builtin::InvokeKind;
using builtin::Ref;
using builtin::Value;

// Member ids start at 1: DISPID 0 is the default member, which these objects
// do not offer.
constexpr DISPID kFirstMember = 1;

// A VARIANT argument as a built-in value; false for a type the objects never
// take.
bool FromVariant(const VARIANT& in, Value& out) {
  VARIANT v;
  VariantInit(&v);
  if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&in)))) return false;
  bool ok = true;
  switch (V_VT(&v)) {
    case VT_EMPTY:
      out = std::monostate{};
      break;
    case VT_BOOL:
      out = V_BOOL(&v) != VARIANT_FALSE;
      break;
    case VT_I4:
      out = static_cast<std::int32_t>(V_I4(&v));
      break;
    case VT_R8:
      out = V_R8(&v);
      break;
    case VT_BSTR: {
      const BSTR s = V_BSTR(&v);
      out = std::u16string(reinterpret_cast<const char16_t*>(s ? s : L""), SysStringLen(s));
      break;
    }
    default:
      // Other numbers (VT_I2, VT_R4, VT_UI1, VT_DECIMAL ...) as a double.
      if (SUCCEEDED(VariantChangeType(&v, &v, 0, VT_R8))) {
        out = V_R8(&v);
      } else {
        ok = false;
      }
      break;
  }
  VariantClear(&v);
  return ok;
}

// A built-in result as a VARIANT that the caller owns.
bool ToVariant(Value value, VARIANT& out);

// COM interfaces have no virtual destructor: the object deletes itself in
// Release, through its own final type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class BuiltinDispatch final : public IDispatch {
 public:
  explicit BuiltinDispatch(Ref<DispatchObject> object) : object_(std::move(object)) {}
  BuiltinDispatch(const BuiltinDispatch&) = delete;
  BuiltinDispatch& operator=(const BuiltinDispatch&) = delete;
  virtual ~BuiltinDispatch() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }

  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT k = 0; k < count; ++k) {
      std::string name;
      bool ascii = names[k] != nullptr;
      for (const wchar_t* c = names[k]; ascii && *c; ++c) {
        ascii = *c < 0x80;
        name += static_cast<char>(*c);
      }
      const int id = ascii ? object_->MemberId(name) : -1;
      ids[k] = id >= 0 ? id + kFirstMember : DISPID_UNKNOWN;
      if (id < 0) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT* argumentError) override {
    if (id < kFirstMember) return DISP_E_MEMBERNOTFOUND;
    const InvokeKind kind = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
                                ? InvokeKind::Put
                            : (flags & DISPATCH_METHOD) ? InvokeKind::Call
                                                        : InvokeKind::Get;
    // Arguments come last first; a put's value, the named argument, sits at
    // the front, so read backwards it comes after the positional ones.
    std::vector<Value> arguments;
    if (params) {
      arguments.resize(params->cArgs);
      for (UINT k = 0; k < params->cArgs; ++k) {
        const UINT from = params->cArgs - 1 - k;
        if (!FromVariant(params->rgvarg[from], arguments[k])) {
          if (argumentError) *argumentError = from;
          return DISP_E_TYPEMISMATCH;
        }
      }
    }
    Value out;
    if (!object_->Invoke(static_cast<int>(id - kFirstMember), kind, arguments, out)) {
      return E_INVALIDARG;
    }
    if (result) {
      VariantInit(result);
      if (!ToVariant(std::move(out), *result)) return E_OUTOFMEMORY;
    }
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
  Ref<DispatchObject> object_;
};
#pragma GCC diagnostic pop

bool ToVariant(Value value, VARIANT& out) {
  VariantInit(&out);
  if (auto* b = std::get_if<bool>(&value)) {
    V_VT(&out) = VT_BOOL;
    V_BOOL(&out) = *b ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (auto* i = std::get_if<std::int32_t>(&value)) {
    V_VT(&out) = VT_I4;
    V_I4(&out) = *i;
  } else if (auto* d = std::get_if<double>(&value)) {
    V_VT(&out) = VT_R8;
    V_R8(&out) = *d;
  } else if (auto* s = std::get_if<std::u16string>(&value)) {
    const BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s->data()),
                                        static_cast<UINT>(s->size()));
    if (!bstr) return false;
    V_VT(&out) = VT_BSTR;
    V_BSTR(&out) = bstr;
  } else if (auto* object = std::get_if<Ref<DispatchObject>>(&value)) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = WrapBuiltin(std::move(*object));
  }
  return true;
}

}  // namespace

IDispatch* WrapBuiltin(Ref<DispatchObject> object) {
  // Counted like every COM object: the caller owns the one reference.
  return new BuiltinDispatch(std::move(object));
}

}  // namespace platform::win32
