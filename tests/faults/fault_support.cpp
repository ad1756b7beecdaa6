#include "fault_support.h"

#include <string_view>

namespace merravine::faults {

char PatternByte(std::size_t i) {
  static constexpr std::string_view kPattern =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\n";
  return kPattern[i % kPattern.size()];
}

}  // namespace merravine::faults
