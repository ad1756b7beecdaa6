// The program's one general HTTP routine and its plain GET entry.
#pragma once

#include "text/text.h"

namespace merravine {

// The agent sent when the extra headers name none.
inline constexpr const char* kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; XUVEN; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// Sends one request for `address` and returns the whole answer body (empty on
// failure; nothing is ever reported). Every pointer parameter is optional: null
// means the caller left it out, and a given one is the caller's variable, read
// and written as marked.
//
//   method          0: GET without body; 1: POST; any other: GET carrying a body.
//   postText        the body, used when *postBytes is empty.
//   cookies         in/out. Given (even empty): sent as a Cookie line when not
//                   empty, the platform's own cookies are off, and the answer's
//                   cookies are merged into it afterwards. Null: the platform
//                   keeps cookies itself.
//   returnedCookies out: the cookies the answer sets ("a=1; b=2").
//   extraHeaders    in/out: header lines separated by CR LF; completed with
//                   Referer, Accept, Accept-Language, Content-Type (and Cookie).
//   redirectTarget  in/out: the answer's Location value; when there is none and
//                   the variable is still empty, the raw header block.
//   noRedirect      leave redirects unfollowed.
//   postBytes       in/out: the body bytes; filled from postText when empty and
//                   method is not 0.
//   proxyAddress    given (even empty): go through the HTTP proxy "http=" + it.
//   rawHeaders      out: the raw header block of the final answer.
Bytes WebRequest(const Text& address, int method = 0, const Text& postText = Text(),
                 Text* cookies = nullptr, Text* returnedCookies = nullptr,
                 Text* extraHeaders = nullptr, Text* redirectTarget = nullptr,
                 bool noRedirect = false, Bytes* postBytes = nullptr,
                 const Text* proxyAddress = nullptr, Text* rawHeaders = nullptr);

// A plain GET of `address`: the body up to its first NUL byte, empty on failure.
Text WebGetText(const Text& address);

}  // namespace merravine
