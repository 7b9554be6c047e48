#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Application.h"

// An application object with no windows, whose clock and idle timer the test moves by hand.
class ManualApplication : public fw::TApplication {
 public:
  std::vector<std::string> errors;  // the messages shown
  // The delay of the idle timer under way, if one is.
  std::optional<std::chrono::milliseconds> timer;
  fw::TIdleTimer::Clock::time_point now{};

  void Initialize() override {}
  void Run() override {}
  void Terminate() override {}

  // Moves the clock on; the timer goes off whenever the clock reaches its end.
  void Wait(std::chrono::milliseconds span) {
    const auto end = now + span;
    while (timer && now + *timer <= end) {
      now += *std::exchange(timer, std::nullopt);
      IdleTimerElapsed();
    }
    if (timer) *timer -= std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
    now = end;
  }

 protected:
  std::string_view LayoutResource(const std::string&) override { return {}; }
  int CreateFormPeer(fw::TForm&) override { return fw::DesignPixelsPerInch; }
  void CreateControlPeer(fw::TControl&, fw::TWinControl&) override {}
  void ShowErrorMessage(const std::string& text) override { errors.push_back(text); }
  void StartIdleTimer(std::chrono::milliseconds delay) override { timer = delay; }
  void StopIdleTimer() override { timer.reset(); }

 public:
  fw::TIdleTimer::Clock::time_point Now() const override { return now; }
};
