#pragma once

#include <winsock2.h>

#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace testing_win32 {

// One request as the server received it.
struct HttpRequest {
  std::string line;                                          // "GET /path HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;  // in order, names as sent
  // The first header of that name (any case), or empty.
  std::string Header(std::string_view name) const;
};

// A tiny HTTP server on 127.0.0.1, at a port the system picks or at a given one. It answers
// every request with a small page and records each request.
class LoopbackHttpServer {
 public:
  // Throws, naming the port, when it cannot listen there.
  explicit LoopbackHttpServer(int port = 0);
  ~LoopbackHttpServer();
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  // The request lines, or the whole requests.
  std::vector<std::string> Requests() const;
  std::vector<HttpRequest> ReceivedRequests() const;
  // The next response also carries these header lines ("Set-Cookie: a=1").
  void AddToNextResponse(std::vector<std::string> headerLines);

 private:
  void Serve();
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<HttpRequest> requests_;
  std::vector<std::string> nextHeaders_;
};

}  // namespace testing_win32
