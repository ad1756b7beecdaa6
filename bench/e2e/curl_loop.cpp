// The reference for the command-line mode's wall time: the same requests that
// `merravine --list` makes for a course (the course list, then every lesson
// address found in it, one after another), made by a plain libcurl loop over
// one easy handle, so that one kept-alive connection carries them all.
//
//   merravine_bench_curl_loop HOST:PORT COURSE_ID [--bare]
//
// Each request carries the header lines the program's request routine sends
// (its agent, Referer, Accept, Accept-Language, Content-Type), so both make
// the same requests on the wire; libcurl formats request headers byte by byte,
// so their length is part of the cost of a request. With --bare the loop sends
// libcurl's own short headers only, a lower bound to compare against.
//
// Prints the number of requests and of lessons whose answer held a video address.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <curl/curl.h>

#include "net/web_request.h"

namespace {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// The routine's header lines for a GET of `url`, in its order.
HeaderList RoutineHeaders(const std::string& url) {
  curl_slist* list = nullptr;
  for (const std::string& line :
       {std::string("User-Agent: ") + merravine::kDefaultAgent, "Referer: " + url,
        std::string("Accept: */*"), std::string("Accept-Language: zh-cn"),
        std::string("Content-Type: application/x-www-form-urlencoded")}) {
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (grown == nullptr) break;
    list = grown;
  }
  return HeaderList(list);
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

bool Get(CURL* easy, const std::string& url, bool bare, std::string& body) {
  body.clear();
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  const HeaderList headers = bare ? HeaderList() : RoutineHeaders(url);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  const bool ok = curl_easy_perform(easy) == CURLE_OK;
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
  return ok;
}

// Every text between `open` and the next `close` after it, left to right.
std::vector<std::string> AllBetween(std::string_view text, std::string_view open,
                                    std::string_view close) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while ((at = text.find(open, at)) != std::string_view::npos) {
    at += open.size();
    const std::size_t end = text.find(close, at);
    if (end == std::string_view::npos) break;
    found.emplace_back(text.substr(at, end - at));
    at = end + close.size();
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const bool bare = argc == 4 && std::string_view(argv[3]) == "--bare";
  if (argc != 3 && !bare) {
    std::fprintf(stderr, "usage: %s HOST:PORT COURSE_ID [--bare]\n", argv[0]);
    return 2;
  }
  if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) return 1;
  const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) return 1;
  std::string body;
  curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
  if (bare) curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, "bench");

  const std::string host = argv[1];
  int requests = 0;
  int videos = 0;
  const std::string listUrl = "http://" + host + "/ajax/getvideolistinfo_" + argv[2] + ".shtml";
  if (!Get(easy.get(), listUrl, bare, body)) return 1;
  ++requests;
  const std::string list = body;
  for (const std::string& lessonUrl : AllBetween(list, "\"getVideoUrl\":\"", "\",\"")) {
    if (Get(easy.get(), lessonUrl, bare, body)) {
      ++requests;
      if (!AllBetween(body, ":[\"", "\"]}").empty()) ++videos;
    }
  }
  std::printf("%d requests, %d video addresses\n", requests, videos);
  curl_global_cleanup();
  return 0;
}
