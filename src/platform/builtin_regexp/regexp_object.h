// The built-in regular-expression object: the members "Pattern", "IgnoreCase",
// "Multiline", "Global", "Execute" and "Replace"; match collections with
// "Count" and "Item"; matches with "Value", "FirstIndex" and "SubMatches";
// sub-match collections with "Count" and "Item" (an empty value for a group
// that took no part). A fresh object has an empty pattern and all three
// options false, as the script engine's has.
#pragma once

#include "platform/builtin_regexp/dispatch_object.h"
#include "platform/builtin_regexp/icu_binding.h"

namespace platform::builtin {

Ref<DispatchObject> CreateRegExp(const IcuBinding& icu);

}  // namespace platform::builtin
