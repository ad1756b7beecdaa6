#include "net/web_request.h"

#include <cstdint>
#include <utility>

#include "net/cookie.h"
#include "net/url.h"
#include "platform/internet.h"
#include "text/delimited.h"

namespace merravine {
namespace {

constexpr int kPieceBytes = 1024;
constexpr std::uint32_t kRawHeaderBytes = 5000;
// A larger header block than this is not asked for a second time.
constexpr std::uint32_t kRawHeaderLimit = 16 * 1024 * 1024;

// The three handles of one exchange, closed request first, internet last, on
// every way out of the routine.
class ExchangeHandles {
 public:
  ExchangeHandles() = default;
  ExchangeHandles(const ExchangeHandles&) = delete;
  ExchangeHandles& operator=(const ExchangeHandles&) = delete;
  ~ExchangeHandles() { CloseAll(); }

  void CloseAll() {
    platform::InternetCloseHandle(std::exchange(request, nullptr));
    platform::InternetCloseHandle(std::exchange(connection, nullptr));
    platform::InternetCloseHandle(std::exchange(internet, nullptr));
  }

  platform::InternetHandle internet = nullptr;
  platform::InternetHandle connection = nullptr;
  platform::InternetHandle request = nullptr;
};

// The agent named by a "User-Agent:" line (found ignoring case), or the
// default one. When that line is the last one, its value runs to the end of
// the block; a value that continued into the following lines would put a line
// break into the agent.
Text AgentFor(const Text& extraHeaders) {
  const Text name = "User-Agent:";
  const int at = TextFind(extraHeaders, name, std::nullopt, true);
  if (at == -1) return kDefaultAgent;
  Text agent = TextTrim(TextBetweenEx(extraHeaders, name, "\r\n"));
  if (TextLength(agent) == 0 && TextFind(extraHeaders, "\r\n", at) == -1) {
    agent = TextTrim(TextMid(extraHeaders, at + TextLength(name), TextLength(extraHeaders)));
  }
  // The agent becomes a header line of its own: any CR or LF byte in it, a lone
  // one or one that the character walk took for the second byte of a
  // double-byte character, would let the caller's text start a new line there.
  const std::size_t lineBreak = agent.View().find_first_of("\r\n");
  if (lineBreak != std::string_view::npos) {
    agent = TextTrim(TextLeft(agent, static_cast<int>(lineBreak)));
  }
  return agent;
}

void CompleteHeaders(Text& headers, const Text& address, const Text* cookies) {
  if (TextFind(headers, "Referer:") == -1) {
    headers = TextLength(headers) == 0 ? TextJoin("Referer: ", address)
                                       : TextJoin(headers, "\r\nReferer: ", address);
  }
  if (TextFind(headers, "Accept:") == -1) headers = TextJoin(headers, "\r\nAccept: */*");
  if (TextFind(headers, "Accept-Language:") == -1) {
    headers = TextJoin(headers, "\r\nAccept-Language: zh-cn");
  }
  if (TextFind(headers, "Content-Type:") == -1) {
    headers = TextJoin(headers, "\r\nContent-Type: application/x-www-form-urlencoded");
  }
  if (cookies != nullptr && TextLength(*cookies) > 0) {
    headers = TextJoin(headers, "\r\nCookie: ", *cookies);
  }
}

Bytes ReadBody(platform::InternetHandle request) {
  Bytes body;
  Bytes piece = BytesBlank(kPieceBytes);
  while (true) {
    std::uint32_t count = 0;
    platform::InternetReadFile(request, piece.MutableData(), kPieceBytes, &count);
    if (count == 0 || count > static_cast<std::uint32_t>(kPieceBytes)) break;
    body = BytesJoin(std::move(body), BytesLeft(piece, static_cast<int>(count)));
  }
  return body;
}

// The raw header block of the answer. A block that does not fit the first
// buffer is asked for again with the size the call reports, so that cookie and
// Location lines beyond it are not lost. A failed query gives an empty text.
Text QueryRawHeaders(platform::InternetHandle request) {
  Text raw = TextBlank(static_cast<int>(kRawHeaderBytes));
  std::uint32_t length = kRawHeaderBytes;
  bool ok = platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF,
                                     raw.BufferData(), &length, nullptr);
  if (!ok && length > kRawHeaderBytes && length <= kRawHeaderLimit) {
    raw = TextBlank(static_cast<int>(length));
    ok = platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF, raw.BufferData(),
                                  &length, nullptr);
  }
  if (!ok) return Text();
  raw.CutAtNul();
  return raw;
}

}  // namespace

Bytes WebRequest(const Text& address, int method, const Text& postText, Text* cookies,
                 Text* returnedCookies, Text* extraHeaders, Text* redirectTarget, bool noRedirect,
                 Bytes* postBytes, const Text* proxyAddress, Text* rawHeaders) {
  // Omitted in-and-out parameters get a variable of their own.
  Text ownHeaders;
  Text ownRedirect;
  Text ownReturnedCookies;
  Text ownRawHeaders;
  Bytes ownPostBytes;
  Text& headers = extraHeaders != nullptr ? *extraHeaders : ownHeaders;
  Text& redirect = redirectTarget != nullptr ? *redirectTarget : ownRedirect;
  Text& collected = returnedCookies != nullptr ? *returnedCookies : ownReturnedCookies;
  Text& raw = rawHeaders != nullptr ? *rawHeaders : ownRawHeaders;
  Bytes& post = postBytes != nullptr ? *postBytes : ownPostBytes;

  const Text verb = method == 1 ? "POST" : "GET";
  const Text agent = AgentFor(headers);

  ExchangeHandles handles;
  if (proxyAddress != nullptr) {
    const Text proxyList = TextJoin("http=", *proxyAddress);
    handles.internet = platform::InternetOpenA(
        agent.CStrOrNull(), platform::INTERNET_OPEN_TYPE_PROXY, proxyList.CStrOrNull(), "", 0);
  } else {
    handles.internet =
        platform::InternetOpenA(agent.CStrOrNull(), platform::INTERNET_OPEN_TYPE_DIRECT,
                                CharToText(0).CStrOrNull(), CharToText(0).CStrOrNull(), 0);
  }
  if (handles.internet == nullptr) return Bytes();

  const UrlParts target = UrlSplit(address);
  handles.connection = platform::InternetConnectA(
      handles.internet, target.host.CStrOrNull(), target.port, CharToText(0).CStrOrNull(),
      CharToText(0).CStrOrNull(), platform::INTERNET_SERVICE_HTTP, 0, 0);
  if (handles.connection == nullptr) return Bytes();

  std::uint32_t flags = platform::INTERNET_FLAG_RELOAD | platform::INTERNET_FLAG_NEED_FILE;
  if (cookies != nullptr) flags |= platform::INTERNET_FLAG_NO_COOKIES;
  if (noRedirect) flags |= platform::INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags |= TextToLower(TextLeft(address, 5)) == Text("https")
               ? platform::INTERNET_FLAG_SECURE
               : platform::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;

  handles.request =
      platform::HttpOpenRequestA(handles.connection, verb.CStrOrNull(), target.path.CStrOrNull(),
                                 "HTTP/1.1", CharToText(0).CStrOrNull(), nullptr, flags, 0);
  if (handles.request == nullptr) return Bytes();

  CompleteHeaders(headers, address, cookies);
  const auto headerLength = static_cast<std::uint32_t>(TextLength(headers));
  if (method == 0) {
    platform::HttpSendRequestA(handles.request, headers.CStrOrNull(), headerLength, "", 0);
  } else {
    if (BytesLength(post) == 0) post = TextToBytes(postText);
    platform::HttpSendRequestA(handles.request, headers.CStrOrNull(), headerLength,
                               BytesLength(post) == 0 ? nullptr : post.Data(),
                               static_cast<std::uint32_t>(BytesLength(post)));
  }

  Bytes body = ReadBody(handles.request);
  raw = QueryRawHeaders(handles.request);
  handles.CloseAll();

  collected = Text();
  for (const Text& line : TextSplit(raw, "\r\n")) {
    if (TextFind(line, "Location:") != -1) redirect = HeaderValue(line);
    if (TextFind(line, "Set-Cookie") != -1) {
      collected = TextJoin(collected, TextTrim(TextBetweenEx(line, "Set-Cookie:", ";")), "; ");
    }
  }
  if (TextLength(collected) > 0) collected = TextLeft(collected, TextLength(collected) - 2);

  if (cookies != nullptr) CookieMerge(*cookies, collected);
  if (TextLength(redirect) == 0) redirect = raw;
  return body;
}

Text WebGetText(const Text& address) {
  return BytesToText(WebRequest(address));
}

}  // namespace merravine
