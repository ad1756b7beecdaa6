#include "service.h"

namespace merravine::servicetest {

std::string Str(const Bytes& body) {
  return std::string(body.View());
}

}  // namespace merravine::servicetest
