#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/DisplaySleep.h"
#include "framework/core/Form.h"
#include "framework/core/IdleTimer.h"
#include "framework/core/Metrics.h"
#include "framework/core/ServiceStatus.h"

namespace fw {

// The application object: one per process. A platform backend supplies the message loop,
// the native windows and the message boxes; this part holds what every platform shares.
class TApplication {
 public:
  TApplication();
  virtual ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Prepares the thread for the controls (COM, on platforms that have it).
  virtual void Initialize() = 0;
  // Switches to the touch-first mode.
  virtual void UseMetropolisUI() { touchFirst_ = true; }
  bool TouchFirst() const { return touchFirst_; }
  // Makes the main form, not the application's own hidden window, own the taskbar button.
  virtual void SetMainFormOnTaskBar(bool value) { mainFormOnTaskBar_ = value; }
  bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
  virtual void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Title() const { return title_; }

  // Builds a form of class T from its layout resource; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    auto form = std::make_unique<T>();
    T* raw = form.get();
    AddForm(std::move(form));
    reference = raw;
  }
  // Gives a control made after its form its native window, above its siblings; its parent
  // must have one already.
  void AttachControl(TControl& control);
  TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }

  // Shows the main form and dispatches messages until Terminate.
  virtual void Run() = 0;
  // Asks the loop to end once it reaches the request; returns at once.
  virtual void Terminate() = 0;

  // Runs an event handler; whatever it throws goes to the handler below, not further.
  void Guard(const std::function<void()>& handler);
  // Shows the exception's message (closing full stop added) unless it is an EAbort.
  void HandleException(const std::exception& e);
  // The same for the exception being handled, of whatever type (call it in a catch block).
  void HandleCurrentException();

  // Runs `onIdle` (guarded) once no input has reached the program for `timeout`; a held key,
  // button or touch point holds it off. That ends the watch, as StopWatchingIdle does. A zero
  // timeout watches nothing and starts no timer; a watch under way goes on unchanged.
  void WatchIdle(std::chrono::milliseconds timeout, std::function<void()> onIdle);
  // The same with a warning over the spell's last `Warning`: `OnCountdown` runs with the whole
  // seconds left when it starts and each time the count goes down, `OnWarningEnd` when it
  // ends for any reason (input, sound, the end of the spell, the watch stopped). Each runs
  // guarded.
  struct TIdleWatch {
    std::chrono::milliseconds Timeout{};
    std::chrono::milliseconds Warning{};
    std::function<void(int secondsLeft)> OnCountdown;
    std::function<void()> OnWarningEnd;
    std::function<void()> OnIdle;
  };
  void WatchIdle(TIdleWatch watch);
  void StopWatchingIdle();
  bool WatchingIdle() const { return idle_.Armed(); }
  bool IdleWarningShown() const { return countShown_ > 0; }
  // What a backend reports of every input message that reaches one of the program's windows,
  // and of its timer going off. True from InputArrived: the input ended the warning, and it
  // and the rest of its press (up to the release) must go no further.
  [[nodiscard]] bool InputArrived(TInputEdge edge, TInputSource source = {});
  // A pointer that moves while the warning shows is not taken for the visitor's return: on a
  // touch screen it comes with the tap that then dismisses the warning.
  void PointerAt(TPoint at);
  // Whether the page plays sound: it holds the spell off, and its end starts the spell again.
  void SoundPlaying(bool playing);
  void IdleTimerElapsed();
  // Runs `onAlarm` (guarded) once `delay` has passed, whatever the input; setting it again
  // replaces the alarm under way. It shares the idle watch's timer.
  void SetAlarm(std::chrono::milliseconds delay, std::function<void()> onAlarm);
  void CancelAlarm();
  // The clock of the idle watch and the alarm.
  virtual TIdleTimer::Clock::time_point Now() const { return TIdleTimer::Clock::now(); }
  // The clock and time zone the display's hours are read by.
  virtual std::chrono::system_clock::time_point WallNow() const {
    return std::chrono::system_clock::now();
  }
  virtual TWeekMinute LocalMinute(std::chrono::system_clock::time_point at) const {
    return LocalWeekMinute(at);
  }

  // Switches the display off and on by `rules`, from now on, the splash showing; `onChange`
  // runs (guarded) with true when it goes off, false when it comes on. While it is off every
  // input is claimed (InputArrived returns true), and a press switches it on.
  void WatchDisplay(TDisplaySleep::TRules rules, std::function<void(bool off)> onChange);
  bool DisplayOff() const { return displayOff_ != TDisplayOff::No; }
  // A listener's place in the visitor's input; it leaves when this goes (or is reset), even
  // after the application.
  class TInputSubscription {
   public:
    TInputSubscription() = default;
    ~TInputSubscription() { Reset(); }
    TInputSubscription(TInputSubscription&& other) noexcept;
    TInputSubscription& operator=(TInputSubscription&& other) noexcept;
    TInputSubscription(const TInputSubscription&) = delete;
    TInputSubscription& operator=(const TInputSubscription&) = delete;
    void Reset();

   private:
    friend class TApplication;
    struct TListeners;
    TInputSubscription(std::weak_ptr<TListeners> listeners, int id)
        : listeners_(std::move(listeners)), id_(id) {}
    std::weak_ptr<TListeners> listeners_;
    int id_ = 0;
  };
  // `listener` runs (guarded), in the order subscribed, on every press and other input
  // InputArrived sees: the browser drops a pending retry when the visitor acts. From the first
  // subscription on the backend reports all input, whether an idle watch runs or not.
  [[nodiscard]] TInputSubscription SubscribeVisitorInput(std::function<void()> listener);

  // What the screen shows now, for whatever watches the program; the same line again says
  // nothing new and is not passed on.
  void ScreenShows(TScreenShows shows, std::string_view address = {});
  const std::string& Status() const { return status_; }
  // The counts and states published for monitoring; the screen's and the idle warning's are
  // kept here.
  TMetrics& Metrics() { return metrics_; }

 protected:
  // The layout resource `name` as the program carries it; throws when there is none.
  virtual std::string_view LayoutResource(const std::string& name) = 0;
  // Creates the form's native window and attaches it as the form's peer. Returns the
  // resolution of the monitor the window will appear on, which the layout is scaled for.
  virtual int CreateFormPeer(TForm& form) = 0;
  // Creates the control's native window inside its parent's and attaches it as its peer.
  virtual void CreateControlPeer(TControl& control, TWinControl& parent) = 0;
  // Shows `text` in an error box captioned with the title.
  virtual void ShowErrorMessage(const std::string& text) = 0;
  // Destroys the forms, newest first (the exit procedure).
  void DestroyForms();
  // A one-shot timer that calls IdleTimerElapsed after `delay`; starting it again replaces
  // the one under way. A backend that has none refuses any watch and any alarm.
  virtual void StartIdleTimer(std::chrono::milliseconds delay);
  virtual void StopIdleTimer() {}
  // Switches the monitors' power off or on where the system can, and hides the pointer while
  // off (the form's black cover shows either way); input keeps reaching InputArrived.
  virtual void SwitchDisplay(bool) {}
  // Passes a new status line on to the service manager, where the platform has one.
  virtual void ReportStatus(const std::string&) {}
  // From now on every input reaches InputArrived; a backend that reports input only while an
  // idle watch runs starts reporting it all.
  virtual void WatchInput() {}

  std::vector<std::unique_ptr<TForm>> forms_;

 private:
  // Loads the form's layout, creates its native windows and takes ownership of it.
  void AddForm(std::unique_ptr<TForm> form);

  bool touchFirst_ = false;
  bool mainFormOnTaskBar_ = false;
  std::string title_;
  std::string status_;
  TMetrics metrics_;
  void EndIdleWarning();
  // Starts the timer for whichever comes first, the idle watch's next change or the alarm;
  // stops it when neither is under way.
  void ScheduleTimer();

  // Applies the display's rules to the clocks and carries out a change.
  void UpdateDisplay(std::string_view whyOn = "the display hours began");

  TIdleTimer idle_;
  TIdleWatch watch_;
  TDisplaySleep display_;
  TDisplayOff displayOff_ = TDisplayOff::No;
  std::function<void(bool)> onDisplayChange_;
  int countShown_ = 0;       // the count the warning shows; 0: no warning
  bool swallowing_ = false;  // the press that ended the warning is not over yet
  std::optional<TIdleTimer::Clock::time_point> alarmAt_;
  std::function<void()> onAlarm_;
  std::shared_ptr<TInputSubscription::TListeners> visitorListeners_;
};

// The process's application object, while one exists.
extern TApplication* Application;

}  // namespace fw
