#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "framework/core/Application.h"
#include "framework/core/EventLog.h"
#include "mainwindow/Unit12.h"

namespace {

constexpr char kEraseKey = '<';
constexpr char kCancelKey = 'x';
// Row by row, as on a telephone.
constexpr char kKeys[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', kCancelKey, '0', kEraseKey};

std::string KeyCaption(char key) {
  if (key == kEraseKey) return "Стереть";
  if (key == kCancelKey) return "Отмена";
  return std::string(1, key);
}

// The keys' side: three across, and the display with four rows of keys down, a gap of an eighth
// of a key between them.
int KeySide(const fw::TBounds& window) {
  return std::max(std::min(window.Width / 5, window.Height / 7), 1);
}

}  // namespace

void TForm12::UseExitCode(const std::string& code) { exitCode_ = ExitCodeEntry(code); }

bool TForm12::CloseQuery() {
  if (!exitCode_.Guards()) {
    fw::LogEvent(fw::TEvent::Exited, "the window was closed (window manager or log-off)");
    return true;
  }
  Leave();
  return false;
}

void TForm12::Leave() {
  if (!exitCode_.Guards()) {
    fw::LogEvent(fw::TEvent::Exited, "the exit button");
    fw::Application->Terminate();
    return;
  }
  if (ExitCodeShown()) return;
  fw::TPanel& pad = ExitCodePanel();
  focusBeforePad_ = nullptr;
  for (fw::TComponent* component : Components()) {
    auto* control = dynamic_cast<fw::TControl*>(component);
    if (control && control->Focused()) focusBeforePad_ = control;
  }
  exitCode_.Start(fw::Application->Now());
  ShowTypedDigits();
  PlaceExitCodePad();
  pad.Show();
  pad.BringToFront();
  // Typing a code is no quiet moment: changed settings wait until the pad goes.
  if (OnSplash) OnSplash(false);
  fw::Application->SetAlarm(std::chrono::ceil<std::chrono::milliseconds>(ExitCodeEntry::QuietLimit),
                            [this] { ExitCodeQuiet(); });
}

fw::TPanel& TForm12::ExitCodePanel() {
  if (PanelExitCode) return *PanelExitCode;
  auto* pad = static_cast<fw::TPanel*>(fw::Adopt(*this, std::make_unique<fw::TPanel>(this)));
  pad->SetName("PanelExitCode");
  pad->BevelOuter = fw::TBevelCut::bvNone;
  pad->SetVisible(false);
  pad->SetParent(this);
  PanelExitCode = pad;

  const int side = KeySide(Bounds());
  auto font = [&](int height) {
    fw::TFont f = EffectiveFont();
    f.Height = -std::max(height, 1);
    return f;
  };
  exitCodeDisplay_ = static_cast<fw::TPanel*>(fw::Adopt(*this, std::make_unique<fw::TPanel>(this)));
  exitCodeDisplay_->SetName("ExitCodeDisplay");
  exitCodeDisplay_->BevelOuter = fw::TBevelCut::bvLowered;
  exitCodeDisplay_->ParentFont = false;
  exitCodeDisplay_->Font = font(side / 3);
  exitCodeDisplay_->SetParent(pad);
  for (const char key : kKeys) {
    auto* button = static_cast<fw::TButton*>(fw::Adopt(*this, std::make_unique<fw::TButton>(this)));
    button->SetName(std::string("ExitCodeKey") + (key == kEraseKey    ? "Erase"
                                                  : key == kCancelKey ? "Cancel"
                                                                      : std::string(1, key)));
    button->SetCaption(KeyCaption(key));
    button->ParentFont = false;
    button->Font = font(key >= '0' && key <= '9' ? side * 2 / 5 : side / 6);
    button->OnClick = [this, key](fw::TObject*) { ExitCodeKey(key); };
    button->SetParent(pad);
    exitCodeKeys_.push_back(button);
  }
  PlaceExitCodePad();
  fw::Application->AttachControl(*pad);
  fw::Application->AttachControl(*exitCodeDisplay_);
  for (fw::TButton* button : exitCodeKeys_) fw::Application->AttachControl(*button);
  return *pad;
}

void TForm12::PlaceExitCodePad() {
  const fw::TBounds window = Bounds();
  PanelExitCode->SetBounds({0, 0, window.Width, window.Height});
  const int side = KeySide(window);
  const int gap = side / 8;
  const int left = (window.Width - 3 * side - 2 * gap) / 2;
  const int top = (window.Height - 5 * side - 4 * gap) / 2;
  exitCodeDisplay_->SetBounds({left, top, 3 * side + 2 * gap, side});
  for (std::size_t i = 0; i < exitCodeKeys_.size(); ++i) {
    const int row = static_cast<int>(i / 3) + 1, column = static_cast<int>(i % 3);
    exitCodeKeys_[i]->SetBounds(
        {left + column * (side + gap), top + row * (side + gap), side, side});
  }
}

void TForm12::ExitCodeKey(char key) {
  // A key of a pad already gone (Enter on the button that kept the focus) does nothing.
  if (!ExitCodeShown()) return;
  const auto now = fw::Application->Now();
  if (key == kCancelKey) {
    CloseExitCodePad();
    return;
  }
  if (key == kEraseKey) {
    exitCode_.Erase(now);
  } else {
    switch (exitCode_.Digit(key, now)) {
      case ExitCodeEntry::Verdict::Right:
        fw::Application->CancelAlarm();
        fw::LogEvent(fw::TEvent::Exited, "the exit code was entered");
        fw::Application->Terminate();
        return;
      case ExitCodeEntry::Verdict::Wrong:
        CloseExitCodePad();
        return;
      case ExitCodeEntry::Verdict::Typing:
        break;
    }
  }
  ShowTypedDigits();
  fw::Application->SetAlarm(std::chrono::ceil<std::chrono::milliseconds>(exitCode_.Remaining(now)),
                            [this] { ExitCodeQuiet(); });
}

void TForm12::ExitCodeQuiet() {
  const auto now = fw::Application->Now();
  if (!ExitCodeShown()) return;
  if (exitCode_.TimedOut(now)) {
    CloseExitCodePad();
    return;
  }
  fw::Application->SetAlarm(std::chrono::ceil<std::chrono::milliseconds>(exitCode_.Remaining(now)),
                            [this] { ExitCodeQuiet(); });
}

// A dot for each digit typed, never the digit.
void TForm12::ShowTypedDigits() {
  std::string dots;
  for (std::size_t i = 0; i < exitCode_.Typed(); ++i) dots += i ? " ●" : "●";
  exitCodeDisplay_->SetCaption(dots.empty() ? "Введите код" : dots);
}

void TForm12::CloseExitCodePad() {
  fw::Application->CancelAlarm();
  exitCode_.Start(fw::Application->Now());
  ShowTypedDigits();
  PanelExitCode->Hide();
  if (focusBeforePad_ && focusBeforePad_->CanFocus()) focusBeforePad_->SetFocus();
  focusBeforePad_ = nullptr;
  if (OnSplash && PanelZastava->Visible()) OnSplash(true);
}
