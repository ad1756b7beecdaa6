// The built-in automation objects behind a real IDispatch, so that on Windows
// a ComObject always holds an IDispatch, whichever engine made it.
#pragma once

#include <oaidl.h>

#include "platform/builtin_regexp/dispatch_object.h"

namespace platform::win32 {

// A new IDispatch (one reference, owned by the caller) over `object`.
IDispatch* WrapBuiltin(builtin::Ref<builtin::DispatchObject> object);

}  // namespace platform::win32
