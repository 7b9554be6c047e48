#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fw {

// What the kiosk does about its memory once an idle reset has brought the splash back.
enum class TMemoryStep {
  Keep,           // within the limit, no limit, nothing measured, or a visitor's page shows
  RecycleEngine,  // end the page engine's process and warm a fresh one under the splash
  Restart,        // end the program, for its supervisor to start it again at once
  Report,         // over the limit with no way to give the memory back: say so and go on
};

// The operator's limit and what the platform can do to keep to it.
struct TMemoryBudget {
  std::uint64_t LimitBytes = 0;  // zero: no limit
  // The engine runs in a process of its own that can be ended and started afresh; otherwise
  // it lives inside the program, and only a new program gives its memory back.
  bool EngineRecyclable = false;
  // A supervisor starts the program again when it ends.
  bool Supervised = false;
};

// Only at an idle reset: a visitor never loses a page to it. `usedBytes` is what the program
// holds (its process tree where the engine has processes of its own), if it could be read.
TMemoryStep MemoryStepAtIdleReset(const TMemoryBudget& budget,
                                  std::optional<std::uint64_t> usedBytes, bool visitorPageShows);

// The log's detail: what was held against the limit, in MiB, and what was done.
std::string MemoryStepDetail(TMemoryStep step, std::uint64_t usedBytes, std::uint64_t limitBytes);

inline constexpr std::uint64_t Mebibytes(std::uint64_t mib) { return mib * 1024 * 1024; }

}  // namespace fw
