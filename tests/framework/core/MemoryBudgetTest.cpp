#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/core/MemoryBudget.h"
#include "tests/support/TestNames.h"

namespace {

using fw::Mebibytes;
using fw::TMemoryStep;

struct StepCase {
  std::string name;
  fw::TMemoryBudget budget;
  std::optional<std::uint64_t> used;
  bool visitorPageShows;
  TMemoryStep expected;
};

constexpr std::uint64_t kLimit = Mebibytes(512);

class MemoryStep : public testing::TestWithParam<StepCase> {};

TEST_P(MemoryStep, AtAnIdleResetOnlyAMeasuredExcessActsAndNeverUnderAVisitor) {
  const StepCase& c = GetParam();
  EXPECT_EQ(fw::MemoryStepAtIdleReset(c.budget, c.used, c.visitorPageShows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryStep,
    testing::Values(
        StepCase{"no_limit_keeps_any_amount",
                 {0, true, true},
                 Mebibytes(60000),
                 false,
                 TMemoryStep::Keep},
        StepCase{
            "at_the_limit_is_within_it", {kLimit, true, false}, kLimit, false, TMemoryStep::Keep},
        StepCase{"over_it_a_separate_engine_is_recycled",
                 {kLimit, true, false},
                 kLimit + 1,
                 false,
                 TMemoryStep::RecycleEngine},
        StepCase{"recycling_in_place_is_preferred_to_a_restart",
                 {kLimit, true, true},
                 kLimit + 1,
                 false,
                 TMemoryStep::RecycleEngine},
        StepCase{"an_engine_inside_the_program_restarts_it_under_a_supervisor",
                 {kLimit, false, true},
                 kLimit + 1,
                 false,
                 TMemoryStep::Restart},
        StepCase{"without_a_supervisor_it_is_only_reported",
                 {kLimit, false, false},
                 kLimit + 1,
                 false,
                 TMemoryStep::Report},
        StepCase{"a_visitors_page_is_never_taken",
                 {kLimit, true, true},
                 kLimit * 4,
                 true,
                 TMemoryStep::Keep},
        StepCase{
            "a_restart_never_either", {kLimit, false, true}, kLimit * 4, true, TMemoryStep::Keep},
        StepCase{"nothing_measured_does_nothing",
                 {kLimit, true, true},
                 std::nullopt,
                 false,
                 TMemoryStep::Keep}),
    [](const testing::TestParamInfo<StepCase>& info) { return TestName(info.param.name); });

TEST(MemoryStepDetail, SaysTheFiguresInMebibytesAndWhatWasDone) {
  EXPECT_EQ(fw::MemoryStepDetail(TMemoryStep::RecycleEngine, Mebibytes(700) + 5, kLimit),
            "700 MiB in use, limit 512 MiB; a fresh web process is started");
  EXPECT_EQ(fw::MemoryStepDetail(TMemoryStep::Restart, Mebibytes(600), kLimit),
            "600 MiB in use, limit 512 MiB; the program ends to be started again");
  EXPECT_EQ(fw::MemoryStepDetail(TMemoryStep::Report, Mebibytes(600), kLimit),
            "600 MiB in use, limit 512 MiB; it goes on (not run under --supervise)");
}

}  // namespace
