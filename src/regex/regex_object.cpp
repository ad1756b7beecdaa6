#include "regex/regex_object.h"

#include <algorithm>

#include <cstdint>
#include <string_view>

namespace merravine {
namespace {

// A count or index read as a number, truncated toward zero into 32 bits.
int ToInt(double number) {
  if (!(number > -2147483649.0 && number < 2147483648.0)) return 0;
  return static_cast<int>(number);
}

}  // namespace

RegexObject::RegexObject() {
  platform::ComInitialize();
}

RegexObject::RegexObject(const RegexObject& other)
    : engine(other.engine), matches(other.matches), subject(other.subject) {
  platform::ComInitialize();
}

RegexObject& RegexObject::operator=(const RegexObject& other) {
  engine = other.engine;
  matches = other.matches;
  subject = other.subject;
  return *this;
}

RegexObject::~RegexObject() {
  // Every object of the engine goes before COM is left: after the last
  // CoUninitialize of a thread, a release could reach an unloaded engine.
  matches.Clear();
  engine.Clear();
  subject = Text();
  platform::ComUninitialize();
}

bool RegexObject::Create(const Text& pattern, const Text& subjectText, bool ignoreCase,
                         bool multiline, bool global) {
  engine.Clear();
  platform::CreateObject(engine, "VBScript.RegExp");
  platform::WriteProperty(engine, "IgnoreCase", ignoreCase);
  platform::WriteProperty(engine, "Multiline", multiline);
  // The script engine refuses this one; asked for all the same.
  platform::WriteProperty(engine, "Singleline", true);
  platform::WriteProperty(engine, "Global", global);
  platform::WriteProperty(engine, "Pattern", pattern);
  matches.Clear();
  matches = platform::CallObject(engine, "Execute", {subjectText});
  subject = subjectText;
  return !matches.IsEmpty();
}

Text RegexObject::GetPattern() const {
  if (engine.IsEmpty()) return Text();
  return platform::ReadText(engine, "Pattern");
}

Text RegexObject::Replace(const Text& replacement) const {
  return platform::CallText(engine, "Replace", {subject, replacement});
}

int RegexObject::MatchCount() const {
  return ToInt(platform::ReadNumber(matches, "Count"));
}

Text RegexObject::MatchText(int index, int* position) const {
  const platform::ComObject match = platform::ReadObject(matches, "Item", index - 1.0);
  Text value = platform::ReadText(match, "Value");
  if (position) *position = BytePosition(match, value);
  return value;
}

Text RegexObject::SubMatchText(int matchIndex, int subIndex, int* position) const {
  const platform::ComObject match = platform::ReadObject(matches, "Item", matchIndex - 1.0);
  const platform::ComObject subMatches = platform::ReadObject(match, "SubMatches");
  Text value = platform::ValueText(platform::ReadValue(subMatches, "Item", subIndex - 1.0));
  if (position) *position = BytePosition(match, value);
  return value;
}

int RegexObject::SubMatchCount() const {
  const platform::ComObject match = platform::ReadObject(matches, "Item", std::int32_t{0});
  const platform::ComObject subMatches = platform::ReadObject(match, "SubMatches");
  return ToInt(platform::ReadNumber(subMatches, "Count"));
}

// The engine counts characters, the subject bytes: a character of code page
// 936 is one byte below 0x80 and two bytes from 0x80 on, and each is one
// UTF-16 unit on the engine's side. So the match's character index is walked
// off in the subject, and the text is then searched for from that byte, which
// lies on a character boundary and is where the match begins.
int RegexObject::BytePosition(const platform::ComObject& match, const Text& needle) const {
  const int first = ToInt(platform::ReadNumber(match, "FirstIndex"));
  const bool ignoreCase = TextCompare(platform::ReadText(engine, "IgnoreCase"), "0") != 0;
  const std::string_view bytes = subject.View();
  std::size_t offset = 0;
  for (int character = 0; character < first && offset < bytes.size(); ++character) {
    offset += static_cast<unsigned char>(bytes[offset]) >= 0x80 ? 2 : 1;
  }
  // A first byte that ends the subject stands alone: the walk stops at the end.
  offset = std::min(offset, bytes.size());
  // An empty match is found nowhere by a search; its place is the offset.
  if (TextLength(needle) == 0) return static_cast<int>(offset);
  return TextFind(subject, needle, static_cast<int>(offset) + 1, ignoreCase) - 1;
}

}  // namespace merravine
