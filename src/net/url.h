// Taking an address apart into what the HTTP request routine hands to the
// internet library: host, port, and object (path plus query). Lenient: an
// address without a scheme reads as http://, nothing is rejected, and odd input
// gives odd but fully defined pieces.
#pragma once

#include "text/text.h"

namespace merravine {

// The lower-cased host: the bytes between the scheme and the next "/".
// lastTwoLabels keeps only the last two dot-separated labels (a port suffix
// rides along on the last one); keepPort keeps the ":port" suffix.
Text UrlHost(const Text& address, bool lastTwoLabels = false, bool keepPort = false);

// The number after the last ":" of the host, else 443 for an address that
// begins with "https" (any case), else 80.
int UrlPort(const Text& address);

// Path and query, from the first "/" at or after the host; "/" when none.
// Keeps the letter case of the address.
Text UrlPath(const Text& address);

// The three pieces at once, exactly as UrlHost(address), UrlPort(address) and
// UrlPath(address) give them, taking the host out of the address only once.
struct UrlParts {
  Text host;
  int port = 0;
  Text path;
};
UrlParts UrlSplit(const Text& address);

}  // namespace merravine
