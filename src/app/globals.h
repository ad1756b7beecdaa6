// The program's global state: the two lists that grow in step with the rows of
// the course list, and the one regular-expression object.
//
// Ownership and threads: the lists belong to the main thread alone (a worker
// hands its lessons to the main thread, which appends them), so they need no
// lock. g_regex is used by the retrieval worker and released by the main thread
// at program end; g_regexLock keeps those two apart, and a worker that finds
// g_regex gone (null) under the lock stops without touching anything else.
#pragma once

#include <memory>
#include <mutex>

#include "regex/regex_object.h"
#include "text/text.h"

namespace merravine {

extern std::unique_ptr<TextList> g_courseTitles;
extern std::unique_ptr<TextList> g_courseUrls;
extern std::unique_ptr<RegexObject> g_regex;
// Held by whoever uses or releases g_regex. Never held across a network call or
// a window operation, so the main thread never waits on the network for it.
extern std::mutex g_regexLock;

// Creates the two empty lists and the regular-expression object (which enters
// COM on the calling thread).
void InitGlobals();
// Releases the address list, the title list and g_regex, in this order. Runs on
// the main thread; a second call finds nothing left and does nothing.
void ReleaseGlobals();

// Runs use(*g_regex) under g_regexLock; false, without calling use, once the
// object has been released.
template <typename Use>
bool WithRegex(Use&& use) {
  std::lock_guard<std::mutex> hold(g_regexLock);
  if (!g_regex) return false;
  use(*g_regex);
  return true;
}

}  // namespace merravine
