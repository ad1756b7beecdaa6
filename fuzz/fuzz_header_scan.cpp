// The HTTP routine fed a raw header block and a body by the double of the
// internet facility: the header scan (Location and Set-Cookie lines), the
// cookie merge behind it, the handles, and the body.
//
// Input: two header bytes (option bits; the size of one read), then the
// fields raw header block, body, cookies, redirect target and extra headers,
// separated by NUL bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "fake_internet.h"
#include "fuzz_check.h"
#include "net/cookie.h"
#include "net/web_request.h"
#include "text/text.h"
#include "text_model.h"

namespace merravine {
namespace {

using model::Str;

struct ScanResult {
  Str redirect;
  Str cookies;
};

// The scan of the raw block as the routine's rules state it, over the model
// operations.
ScanResult ModelScan(const Str& raw, const Str& redirectBefore) {
  ScanResult out{redirectBefore, {}};
  for (const Str& line : model::Split(raw, "\r\n")) {
    if (model::Find(line, "Location:", std::nullopt, false) != -1) {
      out.redirect = model::HeaderValue(line);
    }
    if (model::Find(line, "Set-Cookie", std::nullopt, false) != -1) {
      out.cookies += model::Trim(model::BetweenEx(line, "Set-Cookie:", ";")) + "; ";
    }
  }
  if (!out.cookies.empty()) out.cookies.resize(out.cookies.size() - 2);
  if (out.redirect.empty()) out.redirect = raw;
  return out;
}

}  // namespace
}  // namespace merravine

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const fuzz::Header header(data, size, 2);
  const std::vector<std::string> fields = model::Fields(data, size, 5);
  const bool giveCookies = header.Bit(0, 0);
  const bool queryFails = header.Bit(0, 1);
  const int failAt = header.Bit(0, 2) ? 1 + header.Byte(0) % 3 : 0;
  const bool noRedirect = header.Bit(0, 5);
  const int method = header.Bit(0, 6) ? 1 : 0;

  fake_net::Answer answer;
  answer.rawHeaders = fields[0];
  answer.body = fields[1];
  answer.headerQueryFails = queryFails;
  answer.readPiece = 1U + header.Byte(1) * 8U;
  answer.failAt = failAt;
  fake_net::Reset([&](const fake_net::Request&) { return answer; });

  Text cookies(fields[2]);
  const Text cookiesBefore = cookies;
  Text returnedCookies = "untouched";
  Text extraHeaders(fields[4]);
  Text redirect = fuzz::AsText(fields[3], true);
  const Text redirectBefore = redirect;
  Text raw;
  Bytes postBytes;
  const Text address = "http://fuzz.example/x";

  const Bytes body =
      WebRequest(address, method, "p=1", giveCookies ? &cookies : nullptr, &returnedCookies,
                 &extraHeaders, &redirect, noRedirect, &postBytes, nullptr, &raw);

  fuzz::ExpectEqual(fake_net::OpenHandles(), 0, "every handle is closed");
  fuzz::ExpectEqual(fake_net::BadCloses(), 0, "no handle is closed twice");

  if (failAt != 0) {
    fuzz::Expect(BytesLength(body) == 0, "a failed open gives an empty body");
    fuzz::ExpectEqual(returnedCookies.View(), "untouched", "a failed open changes nothing");
    fuzz::Expect(redirect == redirectBefore && cookies == cookiesBefore,
                 "a failed open changes nothing");
    fuzz::ExpectEqual(extraHeaders.View(), fields[4], "a failed open leaves the headers");
    return 0;
  }

  fuzz::ExpectEqual(body.View(), fields[1], "the body comes back whole");
  fuzz::ExpectEqual(static_cast<long long>(fake_net::Requests().size()), 1, "one request");
  const std::string& agent = fake_net::Requests()[0].agent;
  // Known fault agent-line-break: the agent is cut only at a CR LF pair that
  // the character walk sees, so a lone CR or LF, or a CR LF whose CR is the
  // second byte of a two-byte character, reaches the agent line.
  if (!fuzz::SkipKnown("agent-line-break")) {
    fuzz::Expect(agent.find('\r') == std::string::npos && agent.find('\n') == std::string::npos,
                 "the agent holds no line break");
  }

  // The request that went out.
  const fake_net::Request& sent = fake_net::Requests()[0];
  fuzz::ExpectEqual(sent.verb, method == 1 ? "POST" : "GET", "the verb");
  fuzz::ExpectEqual(sent.host, "fuzz.example", "the host");
  fuzz::ExpectEqual(sent.path, "/x", "the path");
  fuzz::ExpectEqual(sent.body, method == 0 ? "" : "p=1", "the body sent");
  fuzz::ExpectEqual(sent.headers, extraHeaders.View(), "the completed header block is sent");
  for (const char* name : {"Referer:", "Accept:", "Accept-Language:", "Content-Type:"}) {
    fuzz::Expect(TextFind(extraHeaders, name) != -1, "the header block is completed");
  }
  fuzz::Expect(((sent.flags & 0x80000U) != 0) == giveCookies,
               "the platform's cookies are off exactly when cookies are given");
  fuzz::Expect(((sent.flags & 0x200000U) != 0) == noRedirect, "no redirect when asked");

  // What the query delivers: the block up to its first NUL, or nothing.
  const std::string delivered = queryFails ? std::string() : fields[0];
  fuzz::ExpectEqual(raw.View(), delivered, "rawHeaders");

  const ScanResult expected = ModelScan(delivered, std::string(redirectBefore.View()));
  fuzz::ExpectEqual(redirect.View(), expected.redirect, "redirectTarget");
  if (giveCookies) {
    fuzz::ExpectEqual(returnedCookies.View(), model::RemoveSpaces(expected.cookies),
                      "returnedCookies after the merge");
    Text oldCookies = cookiesBefore;
    Text fromAnswer(expected.cookies);
    fuzz::ExpectEqual(cookies.View(), CookieMerge(oldCookies, fromAnswer).View(),
                      "cookies merged with the answer's");
  } else {
    fuzz::ExpectEqual(returnedCookies.View(), expected.cookies, "returnedCookies");
  }

  // Cookies come only from Set-Cookie lines: every entry is part of one.
  for (const Text& entry : TextSplit(returnedCookies, ";")) {
    const Text tight = TextTrim(entry);
    if (TextLength(tight) == 0) continue;
    bool found = false;
    for (const Text& line : TextSplit(raw, "\r\n")) {
      found = found || (TextFind(line, "Set-Cookie") != -1 &&
                        TextFind(TextRemoveSpaces(line), TextRemoveSpaces(tight), 1, true) != -1);
    }
    fuzz::Expect(found, "a returned cookie comes from a Set-Cookie line");
  }
  return 0;
}
