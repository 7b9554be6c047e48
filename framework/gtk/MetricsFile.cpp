#include "framework/gtk/MetricsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/gtk/ProcessMemory.h"

namespace fw::gtk {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw fw::Exception(what + ": " + std::strerror(errno));
}

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  // The close's own failure counts: a full disk may only show there.
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

}  // namespace

void ReplaceFile(const std::string& path, const std::string& content) {
  // Not "*.prom": the collector skips it while it is being written.
  const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
  UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) ThrowErrno(temporary);
  for (std::size_t done = 0; done < content.size();) {
    const ssize_t written = write(fd.get(), content.data() + done, content.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int error = errno;
      unlink(temporary.c_str());
      errno = error;
      ThrowErrno(temporary);
    }
    done += static_cast<std::size_t>(written);
  }
  if (!fd.Close() || rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    ThrowErrno(path);
  }
}

MetricsFileKeeper::MetricsFileKeeper(const std::string& path, fw::TMetrics& metrics)
    : file_(path, metrics, {ReplaceFile, ProcessTreeMemory}) {}

std::optional<std::string> MetricsFileKeeper::Start() {
  std::optional<std::string> failure = file_.Start(fw::TMetricsFile::Clock::now());
  tick_.Reset(g_timeout_add_seconds(1, OnTick, this));
  return failure;
}

gboolean MetricsFileKeeper::OnTick(gpointer self) {
  return fw::AtCallbackBoundary<gboolean>(G_SOURCE_CONTINUE, [&] {
    static_cast<MetricsFileKeeper*>(self)->file_.Tick(fw::TMetricsFile::Clock::now());
    return G_SOURCE_CONTINUE;
  });
}

}  // namespace fw::gtk
