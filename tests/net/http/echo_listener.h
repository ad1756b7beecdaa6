// A one-request listener on the loopback address. By default it answers with
// the request exactly as it arrived (the tests use it as an HTTP proxy, whose
// request line carries the absolute address); given an answer head, it sends
// that head instead, for answers the sample service does not give; with
// `answerAtOnce` it does not wait for the request first.
#pragma once

#include <string>
#include <thread>

namespace merravine::servicetest {

class EchoListener {
 public:
  explicit EchoListener(std::string answerHead = std::string(), bool answerAtOnce = false);
  ~EchoListener();
  EchoListener(const EchoListener&) = delete;
  EchoListener& operator=(const EchoListener&) = delete;

  // "127.0.0.1:PORT"; empty when no socket could be opened.
  std::string Address() const;

 private:
  void Serve();

  std::string answerHead_;
  bool answerAtOnce_ = false;
  long long listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace merravine::servicetest
