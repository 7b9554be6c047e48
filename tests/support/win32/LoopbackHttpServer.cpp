#include "tests/support/win32/LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include "tests/support/win32/NetworkFence.h"

namespace testing_win32 {

LoopbackHttpServer::LoopbackHttpServer(int port) {
  RequirePrivateNetwork();
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  int length = sizeof address;
  if (listener_ == INVALID_SOCKET ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) +
                             (port ? " (is the port taken by another program?)" : ""));
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  closesocket(listener_);  // ends accept()
  thread_.join();
  WSACleanup();
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The request line and the headers of a request's head (up to the blank line).
HttpRequest ParseHead(const std::string& head) {
  HttpRequest request;
  std::size_t start = 0;
  for (std::size_t end; (end = head.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = head.substr(start, end - start);
    if (line.empty()) break;
    if (start == 0) {
      request.line = line;
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      const auto value = line.find_first_not_of(' ', colon + 1);
      request.headers.emplace_back(line.substr(0, colon),
                                   value == std::string::npos ? "" : line.substr(value));
    }
  }
  return request;
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (SameName(key, name)) return value;
  }
  return {};
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::vector<std::string> lines;
  for (const HttpRequest& request : ReceivedRequests()) lines.push_back(request.line);
  return lines;
}

std::vector<HttpRequest> LoopbackHttpServer::ReceivedRequests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::AddToNextResponse(std::vector<std::string> headerLines) {
  std::lock_guard lock(mutex_);
  nextHeaders_ = std::move(headerLines);
}

void LoopbackHttpServer::Serve() {
  for (;;) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    std::string extraHeaders;
    if (request.find("\r\n") != std::string::npos) {
      std::lock_guard lock(mutex_);
      requests_.push_back(ParseHead(request));
      for (const std::string& header : nextHeaders_) extraHeaders += header + "\r\n";
      nextHeaders_.clear();
    }
    const std::string body = "<html><body>ok</body></html>";
    const std::string response = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\nConnection: close\r\n" +
                                 extraHeaders + "\r\n" + body;
    send(client, response.data(), static_cast<int>(response.size()), 0);
    shutdown(client, SD_BOTH);
    closesocket(client);
  }
}

}  // namespace testing_win32
