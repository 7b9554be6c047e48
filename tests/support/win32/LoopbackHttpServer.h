#pragma once

#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_win32 {

// A tiny HTTP server on 127.0.0.1, at a port the system picks or at a given one. It answers
// every request with a small page and records each request line ("GET /path HTTP/1.1").
class LoopbackHttpServer {
 public:
  // Throws, naming the port, when it cannot listen there.
  explicit LoopbackHttpServer(int port = 0);
  ~LoopbackHttpServer();
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  std::vector<std::string> Requests() const;

 private:
  void Serve();
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace testing_win32
