#include "app/SettingsReload.h"

#include <algorithm>

#include "app/ProgramSettings.h"
#include "framework/core/Application.h"
#include "framework/core/EventLog.h"
#include "mainwindow/Unit12.h"

namespace {

bool Same(const EffectiveSettings& a, const EffectiveSettings& b, std::string_view key) {
  const auto find = [key](const EffectiveSettings& settings) -> const EffectiveSetting* {
    for (const EffectiveSetting& setting : settings.settings)
      if (setting.key == key) return &setting;
    return nullptr;
  };
  const EffectiveSetting* x = find(a);
  const EffectiveSetting* y = find(b);
  return x && y ? x->value == y->value : x == y;
}

bool Same(const EffectiveSettings& a, const EffectiveSettings& b) {
  if (a.settings.size() != b.settings.size()) return false;
  for (const EffectiveSetting& setting : a.settings)
    if (!Same(a, b, setting.key)) return false;
  return true;
}

std::string SourceOf(const EffectiveSettings& settings, std::string_view key) {
  for (const EffectiveSetting& setting : settings.settings)
    if (setting.key == key) return setting.source;
  return {};
}

}  // namespace

SettingsReload::SettingsReload(fw::TApplication& application, TForm12& form,
                               const CommandLine& line, EffectiveSettings running,
                               Platform platform)
    : application_(application),
      form_(form),
      line_(line),
      running_(std::move(running)),
      platform_(std::move(platform)) {
  // Those of the sources only: a read again never holds the command line's.
  for (const SettingProblem& problem : running_.problems) {
    if (std::find(line.problems.begin(), line.problems.end(), problem) == line.problems.end())
      reported_.push_back(problem);
  }
  form_.OnSplash = [this](bool splashShows) {
    Handle(splashShows ? fw::TSettingsReload::TInput::SplashShown
                       : fw::TSettingsReload::TInput::PageOpened);
  };
}

SettingsReload::~SettingsReload() { form_.OnSplash = nullptr; }

void SettingsReload::SourceChanged() { Handle(fw::TSettingsReload::TInput::SourceChanged); }

void SettingsReload::TimerDue() { Handle(fw::TSettingsReload::TInput::Settled); }

void SettingsReload::Handle(fw::TSettingsReload::TInput input) {
  switch (machine_.Handle(input)) {
    case fw::TSettingsReload::TCommand::None:
      break;
    case fw::TSettingsReload::TCommand::StartSettleTimer:
      platform_.StartTimer(fw::TSettingsReload::Settle);
      break;
    case fw::TSettingsReload::TCommand::Read:
      Read();
      break;
    case fw::TSettingsReload::TCommand::Apply:
      Apply();
      break;
  }
}

// The command line's own problems were told at start: only the sources count here.
void SettingsReload::Read() {
  EffectiveSettings read = ResolveSettings(SettingsSources(line_), BuiltInSettings());
  if (read.problems != reported_) {
    for (const SettingProblem& problem : read.problems)
      fw::LogEvent(fw::TEvent::SettingsProblem, problem.Describe());
    reported_ = read.problems;
  }
  application_.Metrics().SettingsProblems(static_cast<int>(read.problems.size()));
  if (!read.problems.empty()) {
    Handle(fw::TSettingsReload::TInput::ReadInvalid);
    return;
  }
  next_ = std::move(read);
  Handle(fw::TSettingsReload::TInput::ReadValid);
}

// The one place the running program takes new settings: the main window's through the same
// UseSettings as at start, then what the platform's start-up keeps.
void SettingsReload::Apply() {
  if (Same(running_, next_)) return;
  UseSettings(form_, next_);
  if (platform_.HideCursor && !Same(running_, next_, "hideCursor"))
    platform_.HideCursor(next_.Switch("hideCursor"));
  if (platform_.UseMetricsFile && !Same(running_, next_, "metricsFile")) {
    if (const auto failure = platform_.UseMetricsFile(next_.Text("metricsFile"))) {
      const SettingProblem problem{SourceOf(next_, "metricsFile"), "metricsFile", *failure};
      fw::LogEvent(fw::TEvent::SettingsProblem, problem.Describe());
      reported_ = {problem};
      application_.Metrics().SettingsProblems(1);
    }
  }
  running_ = next_;
}
