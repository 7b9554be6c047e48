#include "framework/core/MemoryBudget.h"

namespace fw {

TMemoryStep MemoryStepAtIdleReset(const TMemoryBudget& budget,
                                  std::optional<std::uint64_t> usedBytes, bool visitorPageShows) {
  if (budget.LimitBytes == 0 || visitorPageShows || !usedBytes || *usedBytes <= budget.LimitBytes)
    return TMemoryStep::Keep;
  if (budget.EngineRecyclable) return TMemoryStep::RecycleEngine;
  return budget.Supervised ? TMemoryStep::Restart : TMemoryStep::Report;
}

std::string MemoryStepDetail(TMemoryStep step, std::uint64_t usedBytes, std::uint64_t limitBytes) {
  const auto mib = [](std::uint64_t bytes) { return std::to_string(bytes / Mebibytes(1)); };
  std::string text = mib(usedBytes) + " MiB in use, limit " + mib(limitBytes) + " MiB; ";
  switch (step) {
    case TMemoryStep::RecycleEngine:
      return text + "a fresh web process is started";
    case TMemoryStep::Restart:
      return text + "the program ends to be started again";
    case TMemoryStep::Report:
      return text + "it goes on (not run under --supervise)";
    case TMemoryStep::Keep:
      break;
  }
  return text + "nothing done";
}

}  // namespace fw
