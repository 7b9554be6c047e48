#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/core/SettingsReload.h"
#include "tests/support/TestNames.h"

namespace {

using In = fw::TSettingsReload::TInput;
using Out = fw::TSettingsReload::TCommand;

struct ReloadCase {
  std::string name;
  // Each input and the command it must give.
  std::vector<std::pair<In, Out>> steps;
};

class SettingsReload : public testing::TestWithParam<ReloadCase> {};

TEST_P(SettingsReload, AppliesOnceTheWritesSettleAndOnlyUnderTheSplash) {
  fw::TSettingsReload reload;
  int index = 0;
  for (const auto& [input, command] : GetParam().steps) {
    EXPECT_EQ(reload.Handle(input), command) << "step " << index;
    ++index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SettingsReload,
    testing::Values(ReloadCase{"under_the_splash_at_once",
                               {{In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::Apply}}},
                    ReloadCase{"writes_in_a_row_are_read_once",
                               {{In::SourceChanged, Out::StartSettleTimer},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::Settled, Out::None},
                                {In::ReadValid, Out::Apply}}},
                    ReloadCase{"a_timer_with_no_change_reads_nothing", {{In::Settled, Out::None}}},
                    ReloadCase{"under_a_page_it_waits_for_the_splash",
                               {{In::PageOpened, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::None},
                                {In::PageOpened, Out::None},
                                {In::SplashShown, Out::Apply},
                                {In::SplashShown, Out::None}}},
                    ReloadCase{"a_change_that_lands_on_the_splash_after_a_page",
                               {{In::PageOpened, Out::None},
                                {In::SplashShown, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::Apply}}},
                    ReloadCase{"problems_change_nothing",
                               {{In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadInvalid, Out::None},
                                {In::SplashShown, Out::None}}},
                    ReloadCase{"a_broken_edit_drops_the_settings_waiting_under_a_page",
                               {{In::PageOpened, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadInvalid, Out::None},
                                {In::SplashShown, Out::None}}},
                    ReloadCase{"a_fix_after_a_broken_edit_applies",
                               {{In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadInvalid, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::Apply}}},
                    ReloadCase{"a_change_while_settings_wait_is_read_and_applied_once",
                               {{In::PageOpened, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::None},
                                {In::SourceChanged, Out::StartSettleTimer},
                                {In::Settled, Out::Read},
                                {In::ReadValid, Out::None},
                                {In::SplashShown, Out::Apply},
                                {In::SplashShown, Out::None}}}),
    [](const testing::TestParamInfo<ReloadCase>& info) { return TestName(info.param.name); });

}  // namespace
