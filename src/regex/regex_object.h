// The program's regular-expression object: one Create runs a pattern over a
// subject through the script engine's "VBScript.RegExp" (or the built-in
// engine that stands in for it); the other operations read that run out.
//
// Failures are silent: with no engine, or a pattern the engine refuses, Create
// returns false, the counts are 0 and the texts empty.
#pragma once

#include "platform/automation.h"
#include "text/text.h"

namespace merravine {

class RegexObject {
 public:
  // Enters COM on the constructing thread.
  RegexObject();
  // Shares the engine and the match collection of `other` and copies its
  // subject. It enters COM too, so that each object's destructor has its own
  // entry to balance.
  RegexObject(const RegexObject& other);
  RegexObject& operator=(const RegexObject& other);
  // Releases the match collection and the engine, empties the subject, and
  // leaves COM.
  ~RegexObject();

  // Runs pattern over subject; the options default to true. True when the run
  // produced a match collection, also one without matches.
  bool Create(const Text& pattern, const Text& subject, bool ignoreCase = true,
              bool multiline = true, bool global = true);
  // Does nothing.
  void Reserved() {}
  // The engine's pattern; empty before the first Create.
  Text GetPattern() const;
  // The subject of the last Create with its matches replaced.
  Text Replace(const Text& replacement = Text()) const;
  int MatchCount() const;
  // Match `index` (from 1). With `position`, also its byte offset from 0 in the
  // subject, or -2 when the match text is not found there.
  Text MatchText(int index, int* position = nullptr) const;
  // Group `subIndex` (from 1) of match `matchIndex` (from 1); with `position`,
  // the byte offset of the group's text searched from the match's start.
  Text SubMatchText(int matchIndex, int subIndex, int* position = nullptr) const;
  // The number of groups, read from the first match; 0 without matches.
  int SubMatchCount() const;

 private:
  int BytePosition(const platform::ComObject& match, const Text& needle) const;

  platform::ComObject engine;
  platform::ComObject matches;
  Text subject;
};

}  // namespace merravine
