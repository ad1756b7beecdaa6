#include "app/globals.h"

namespace merravine {

std::unique_ptr<TextList> g_courseTitles;
std::unique_ptr<TextList> g_courseUrls;
std::unique_ptr<RegexObject> g_regex;
std::mutex g_regexLock;

void InitGlobals() {
  g_courseUrls = std::make_unique<TextList>();
  g_courseTitles = std::make_unique<TextList>();
  auto regex = std::make_unique<RegexObject>();
  std::lock_guard<std::mutex> hold(g_regexLock);
  g_regex = std::move(regex);
}

void ReleaseGlobals() {
  g_courseUrls.reset();
  g_courseTitles.reset();
  // Destroyed under the lock: a worker is either done with its current use or
  // has not begun it, and from now on it finds null and stops.
  std::lock_guard<std::mutex> hold(g_regexLock);
  g_regex.reset();
}

}  // namespace merravine
