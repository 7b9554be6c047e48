#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace fw {

// Why a page did not load, as far as the program cares.
enum class TLoadFailure {
  Replaced,        // another navigation or a download took its place: not a failure
  AddressRefused,  // the engine refuses the address itself (scheme, form): a failing navigate call
  Unreachable,     // the server did not answer, or not in time: the engine's error page
};

// What the program does about a failed load: a box only where a navigate call of its own
// would have failed; a retry of any page address that could not be reached.
struct TFailedLoadResponse {
  bool Box = false;
  bool Retry = false;
  bool operator==(const TFailedLoadResponse&) const = default;
};
TFailedLoadResponse RespondToFailedLoad(TLoadFailure failure, bool programAsked);

// Loads a page that failed again, until it loads: after the base delay, then twice as long
// each time, never longer than ten times the base. Input or another navigation cancels it.
class TLoadRetry {
 public:
  static constexpr int MaxFactor = 10;

  // Zero: never retry.
  explicit TLoadRetry(std::chrono::seconds base = {}) : base_(base) {}
  void SetBase(std::chrono::seconds base);

  // `url` failed to load. How long until it is loaded again; nothing when retrying is off.
  [[nodiscard]] std::optional<std::chrono::seconds> Failed(const std::string& url);
  // The wait is over: the address to load, unless the retry was cancelled meanwhile.
  [[nodiscard]] std::optional<std::string> Due();
  // The visitor or the program moved on: the pending retry is dropped and the next failure
  // waits the base delay again. True when a retry was pending (its timer can go).
  bool Cancel();
  // A page loaded: the next failure waits the base delay again.
  void Loaded() { attempts_ = 0; }
  bool Pending() const { return pending_.has_value(); }

 private:
  std::chrono::seconds base_;
  int attempts_ = 0;
  std::optional<std::string> pending_;
};

}  // namespace fw
