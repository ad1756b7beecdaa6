// CookieMerge against a model of the merge over the model text operations, and
// the properties of its output: no blank but the one after each separator, the
// arguments updated as promised, and a second merge with the same answer
// changing nothing.
//
// Input: the fields cookies and returnedCookies separated by a NUL byte.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "net/cookie.h"
#include "text/text.h"
#include "text_model.h"

namespace merravine {
namespace {

using model::Str;

Str ModelName(const Str& entry) {
  const int equals = model::Find(entry, "=", std::nullopt, false);
  return model::Trim(equals != -1 ? model::Left(entry, equals - 1) : entry);
}

bool HasName(const std::vector<Str>& list, const Str& name) {
  for (const Str& entry : list) {
    if (ModelName(entry) == name) return true;
  }
  return false;
}

Str ModelUnique(const Str& t, const Str& separator) {
  std::vector<Str> taken;
  Str out;
  for (const Str& piece : model::Split(t, separator)) {
    bool seen = false;
    for (const Str& earlier : taken) seen = seen || earlier == piece;
    if (!seen) {
      taken.push_back(piece);
      out += piece + separator;
    }
  }
  return model::Left(out, static_cast<int>(out.size() - separator.size()));
}

Str ModelMerge(const Str& cookies, const Str& returned) {
  const std::vector<Str> old = model::Split(model::RemoveSpaces(cookies), ";");
  std::vector<Str> working = model::Split(model::RemoveSpaces(returned), ";");
  for (const Str& entry : old) {
    if (!HasName(working, ModelName(entry))) working.push_back(entry);
  }
  Str out;
  for (const Str& entry : working) {
    if (model::Right(entry, 8) != "=deleted") out += entry + "; ";
  }
  out = model::Left(out, static_cast<int>(out.size()) - 2);
  return ModelUnique(out, "; ");
}

}  // namespace
}  // namespace merravine

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const std::vector<std::string> fields = model::Fields(data, size, 2);
  Text cookies(fields[0]);
  Text returned(fields[1]);

  const Text merged = CookieMerge(cookies, returned);
  fuzz::ExpectEqual(merged.View(), ModelMerge(fields[0], fields[1]), "CookieMerge");
  fuzz::Expect(cookies == merged, "CookieMerge stores its result into cookies");
  fuzz::ExpectEqual(returned.View(), model::RemoveSpaces(fields[1]),
                    "CookieMerge leaves returnedCookies without blanks");

  // No blank is left but the space of each "; " separator.
  const Text joinedTight = TextReplace(merged, "; ", ";", true);
  fuzz::Expect(TextRemoveSpaces(joinedTight) == joinedTight, "CookieMerge output holds no blank");

  // The answer's cookies are already in: merging them again changes nothing.
  Text again = merged;
  Text returnedAgain = returned;
  fuzz::ExpectEqual(CookieMerge(again, returnedAgain).View(), merged.View(),
                    "CookieMerge with the same answer again");
  return 0;
}
