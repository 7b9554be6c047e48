#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "framework/core/SettingsReload.h"
#include "settings/CommandLine.h"
#include "settings/SettingsLayer.h"

class TForm12;
namespace fw {
class TApplication;
}

// Settings changed while the program runs: read again with the rules of the start and taken
// at the kiosk's next quiet moment. Problems go to the log and the metrics, never to a box:
// the running settings stay.
class SettingsReload {
 public:
  // What the platform's start-up keeps besides the main window, and its watch's timer.
  struct Platform {
    // (Re)starts the one-shot timer that calls TimerDue.
    std::function<void(std::chrono::milliseconds delay)> StartTimer;
    // Hides the pointer or shows it again; empty where the key means nothing.
    std::function<void(bool hide)> HideCursor;
    // Writes the metrics to `path` from now on (none when empty); the first write's failure.
    std::function<std::optional<std::string>(const std::string& path)> UseMetricsFile;
  };

  SettingsReload(fw::TApplication& application, TForm12& form, const CommandLine& line,
                 EffectiveSettings running, Platform platform);
  ~SettingsReload();
  SettingsReload(const SettingsReload&) = delete;
  SettingsReload& operator=(const SettingsReload&) = delete;

  // A watched source may have changed.
  void SourceChanged();
  void TimerDue();

 private:
  void Handle(fw::TSettingsReload::TInput input);
  void Read();
  void Apply();

  fw::TApplication& application_;
  TForm12& form_;
  CommandLine line_;
  EffectiveSettings running_;
  EffectiveSettings next_;  // the last valid read
  std::vector<SettingProblem> reported_;
  Platform platform_;
  fw::TSettingsReload machine_;
};
