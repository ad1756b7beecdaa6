#include "net/url.h"

#include "text/delimited.h"

namespace merravine {

namespace {

Text WithoutPort(const Text& hostAndPort) {
  const int colon = TextFind(hostAndPort, ":");
  return colon != -1 ? TextLeft(hostAndPort, colon - 1) : hostAndPort;
}

int PortOf(const Text& hostAndPort, const Text& address) {
  // The last colon, so that only the final suffix counts as the port.
  const int colon = TextFindLast(hostAndPort, ":");
  if (colon != -1) return TextToInt(TextRight(hostAndPort, TextLength(hostAndPort) - colon));
  // The address itself decides, not the host: "httpsx.y/a" gets 443 too.
  return TextCompare(TextLeft(TextToLower(address), 5), "https") == 0 ? 443 : 80;
}

Text PathOf(const Text& host, const Text& address) {
  // The host is looked up in the address as typed; when it also occurs earlier
  // (inside the scheme, say), the path starts at the first "/" after that.
  const int hostAt = TextFind(address, host, 1, true);
  const int slashAt = TextFind(address, "/", hostAt, true);
  if (slashAt == -1) return "/";
  return TextRight(address, TextLength(address) - slashAt + 1);
}

}  // namespace

Text UrlHost(const Text& address, bool lastTwoLabels, bool keepPort) {
  Text work = TextToLower(address);
  // A final "/" guarantees that the end delimiter below is found once the
  // scheme is, so "https://a.b" still yields "a.b".
  if (TextCompare(TextRight(work, 1), "/") != 0) work = TextJoin(work, "/");

  Text scheme = "https://";
  if (TextCompare(TextLeft(work, 8), scheme) != 0) {
    scheme = "http://";
    if (TextFind(work, scheme) == -1) work = TextJoin(scheme, work);
  }
  work = TextBetweenEx(work, scheme, "/");

  if (lastTwoLabels) {
    // Runs before the port is cut, so "w.x.y:8080" gives "x.y:8080".
    TextList labels = TextSplit(work, ".");
    const int count = TextListCount(labels);
    if (count >= 2) {
      work = TextJoin(TextListAt(labels, count - 1), ".", TextListAt(labels, count));
    }
  }

  return keepPort ? work : WithoutPort(work);
}

int UrlPort(const Text& address) {
  return PortOf(UrlHost(address, false, true), address);
}

Text UrlPath(const Text& address) {
  return PathOf(UrlHost(address), address);
}

UrlParts UrlSplit(const Text& address) {
  const Text hostAndPort = UrlHost(address, false, true);
  UrlParts parts;
  parts.host = WithoutPort(hostAndPort);
  parts.port = PortOf(hostAndPort, address);
  parts.path = PathOf(parts.host, address);
  return parts;
}

}  // namespace merravine
