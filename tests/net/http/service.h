// Where the sample service listens (the launcher exports it) and a few helpers
// for reading its answers.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace merravine::servicetest {

// "127.0.0.1:PORT" of the HTTP listener and of the raw fault listener.
std::string ServiceHost();
std::string FaultHost();

// "http://" + host + path.
Text ServiceUrl(std::string_view path);
Text FaultUrl(std::string_view path);

// One counter of the service's /stats answer ("requests", "connections").
long ServiceCounter(std::string_view name);

// True in the Windows build when it runs under Wine, whose internet library
// departs from Windows in a few documented places.
bool UnderWine();

// The body of an answer as a plain string.
std::string Str(const Bytes& body);

}  // namespace merravine::servicetest
