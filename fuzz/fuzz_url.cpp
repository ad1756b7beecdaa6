// UrlHost, UrlPort and UrlPath: each against a model written from the address
// rules over the model text operations, and against each other.
//
// Input: the address (NUL bytes end it).
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "net/url.h"
#include "text/text.h"
#include "text_model.h"

namespace merravine {
namespace {

using model::Str;

Str ModelHost(const Str& address, bool lastTwoLabels, bool keepPort) {
  Str work = model::ToLower(address);
  if (model::Right(work, 1) != "/") work += "/";
  Str scheme = "https://";
  if (model::Left(work, 8) != scheme) {
    scheme = "http://";
    if (model::Find(work, scheme, std::nullopt, false) == -1) work = scheme + work;
  }
  work = model::BetweenEx(work, scheme, "/");
  if (lastTwoLabels) {
    const std::vector<Str> labels = model::Split(work, ".");
    if (labels.size() >= 2) work = labels[labels.size() - 2] + "." + labels.back();
  }
  if (keepPort) return work;
  const int colon = model::Find(work, ":", std::nullopt, false);
  return colon != -1 ? model::Left(work, colon - 1) : work;
}

int ModelPort(const Str& address) {
  const Str hostAndPort = ModelHost(address, false, true);
  const int colon = model::FindLast(hostAndPort, ":", false);
  if (colon != -1) {
    return model::ToInt(model::Right(hostAndPort, static_cast<int>(hostAndPort.size()) - colon));
  }
  return model::Left(model::ToLower(address), 5) == "https" ? 443 : 80;
}

Str ModelPath(const Str& address) {
  const Str host = ModelHost(address, false, false);
  const int a = model::Find(address, host, 1, true);
  const int b = model::Find(address, "/", a, true);
  if (b == -1) return "/";
  return model::Right(address, static_cast<int>(address.size()) - b + 1);
}

}  // namespace
}  // namespace merravine

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const std::string a = model::Fields(data, size, 1)[0];
  const Text address(a);

  const Text host = UrlHost(address);
  const Text hostAndPort = UrlHost(address, false, true);
  fuzz::ExpectEqual(host.View(), ModelHost(a, false, false), "UrlHost");
  fuzz::ExpectEqual(hostAndPort.View(), ModelHost(a, false, true), "UrlHost keepPort");
  fuzz::ExpectEqual(UrlHost(address, true).View(), ModelHost(a, true, false),
                    "UrlHost lastTwoLabels");
  fuzz::ExpectEqual(UrlHost(address, true, true).View(), ModelHost(a, true, true),
                    "UrlHost lastTwoLabels keepPort");

  const int port = UrlPort(address);
  fuzz::ExpectEqual(port, ModelPort(a), "UrlPort");
  const Text path = UrlPath(address);
  fuzz::ExpectEqual(path.View(), ModelPath(a), "UrlPath");

  // The pieces agree with one another.
  fuzz::Expect(TextToLower(host) == host, "UrlHost is lower case");
  fuzz::Expect(hostAndPort.View().substr(0, host.View().size()) == host.View(),
               "UrlHost is the start of UrlHost keepPort");
  const int colon = TextFind(hostAndPort, ":");
  if (colon == -1) {
    fuzz::Expect(host == hostAndPort, "without a port both hosts agree");
    fuzz::Expect(port == 80 || port == 443, "without a port, port 80 or 443");
  } else {
    fuzz::ExpectEqual(TextLength(host), colon - 1, "UrlHost stops at the first colon");
    const int lastColon = TextFindLast(hostAndPort, ":");
    fuzz::ExpectEqual(port, TextToInt(TextRight(hostAndPort, TextLength(hostAndPort) - lastColon)),
                      "UrlPort is the number after the last colon");
  }
  fuzz::Expect(TextLeft(path, 1) == Text("/"), "UrlPath starts with a slash");
  return 0;
}
