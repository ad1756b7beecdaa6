// Whether the test runs under Wine. Wine puts its own variables into the
// environment of every Windows process it starts; Windows and Linux have none
// of them. Used only to skip cases where Wine's script engine is known to
// depart from Windows, each documented where it is skipped.
#pragma once

#include <cstdlib>

namespace merravine {

inline bool UnderWine() {
  return std::getenv("WINEDATADIR") != nullptr;
}

}  // namespace merravine
