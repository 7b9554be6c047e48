#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Actions.h"
#include "framework/core/DisplayHours.h"
#include "framework/core/Form.h"
#include "framework/core/GestureManager.h"
#include "framework/core/MemoryBudget.h"
#include "framework/core/ServiceStatus.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "mainwindow/ExitCodeEntry.h"
#include "mainwindow/IdleReset.h"
#include "mainwindow/NavigationTargets.h"

// The bar's height in device pixels; unlike every other length it is never scaled.
inline constexpr int AppBarHeight = 75;

class TForm12 : public fw::TForm {
 public:
  fw::TPanel* AppBar = nullptr;
  fw::TImage* CloseButton = nullptr;
  fw::TActionList* ActionList1 = nullptr;
  fw::TAction* Action1 = nullptr;
  fw::TGestureManager* GestureManager1 = nullptr;
  fw::TWebBrowser* WebBrowser1 = nullptr;
  fw::TSplitView* SplitView1 = nullptr;
  fw::TButton* Button1 = nullptr;
  fw::TButton* Button2 = nullptr;
  fw::TButton* Button3 = nullptr;
  fw::TPanel* PanelZastava = nullptr;
  fw::TButton* Button4 = nullptr;
  fw::TButton* Button5 = nullptr;
  fw::TButton* Button6 = nullptr;
  // Made only where the idle reset warns first: it covers the browser while the warning shows.
  fw::TPanel* PanelIdleWarning = nullptr;
  // Black over everything while the display is off; made the first time it goes off.
  fw::TPanel* PanelDisplayOff = nullptr;
  // Made only where a code guards the way out: the digits pad, over the whole window.
  fw::TPanel* PanelExitCode = nullptr;

  void CloseButtonClick(fw::TObject* Sender);
  void Action1Execute(fw::TObject* Sender);
  void FormResize(fw::TObject* Sender);
  void FormKeyDown(fw::TObject* Sender, std::uint16_t& Key, fw::TShiftState Shift);
  void FormGesture(fw::TObject* Sender, const fw::TGestureEventInfo& EventInfo, bool& Handled);
  void Button1Click(fw::TObject* Sender);
  void Button2Click(fw::TObject* Sender);
  void Button3Click(fw::TObject* Sender);
  void Button4Click(fw::TObject* Sender);
  void Button5Click(fw::TObject* Sender);
  void Button6Click(fw::TObject* Sender);
  void WebBrowser1GiveUp(fw::TObject* Sender);

  // Places the bar along the bottom edge, full width, AppBarHeight high.
  void AppBarResize();
  // -1 toggles, 0 hides, anything else shows the bar above every other control.
  void AppBarShow(int mode);
  // The operator's settings in place of the build's: the five targets, Button2's caption (the
  // site's domain), the idle reset and its warning (never more than half the reset).
  void UseSettings(const NavigationConfig& navigation, std::chrono::seconds idleReset,
                   std::chrono::seconds idleWarning);
  // Locked down, the browser goes no further than the five targets' hosts and `allowedHosts`,
  // and opens no window of its own. Called after UseSettings, whose targets it allows.
  void UseLockdown(bool lockdown, const std::vector<std::string>& allowedHosts);

  // How long a page that could not be reached waits before it is loaded again (zero: never);
  // the build fixes how long a load may take.
  void UseRetryDelay(std::chrono::seconds retryDelay);

  // The program's keyboard for the page's fields (Linux); it stays away while the bar shows.
  void UseOnScreenKeyboard(bool use);

  // The display goes off after `offAfter` of the splash with nobody there (of no input, with no
  // idle reset) and outside `hours`; the page, the bar and the pad go with it. Called after
  // UseSettings (it depends on the idle reset), again with each change of the settings; zero
  // and always-on hours watch nothing unless a watch was asked for before.
  void UseDisplaySleep(std::chrono::seconds offAfter, const fw::TDisplayHours& hours);

  // With a code, "Выход" and the close icon ask for it on a digits pad first; empty: they end
  // the program at once.
  void UseExitCode(const std::string& code);

  // At an idle reset, memory over `mib` (zero: no limit) is given back: the page engine's
  // process is started afresh where it has one of its own; otherwise the program ends through
  // the restart (SetMemoryRestart), and without one the log says so.
  void UseMemoryLimit(std::uint32_t mib) { memoryLimit_ = fw::Mebibytes(mib); }
  // How the program ends for a supervisor to start it again at once.
  void SetMemoryRestart(std::function<void()> restart) { restartForMemory_ = std::move(restart); }

  // From now on the status line the program gives whatever watches it follows what the screen
  // shows, starting with the splash.
  void ReportScreen();

  // Told when the splash comes back (true) and when a visitor leaves it for a page (false).
  std::function<void(bool splashShows)> OnSplash;

  // The window manager's close is one more way out: with a code, it asks for it too.
  bool CloseQuery() override;

  std::string ClassName() const override { return "TForm12"; }
  std::string LayoutResourceName() const override { return "TFORM12"; }
  void Publish(fw::Publisher& publisher) override;

 private:
  // Uncovers the browser and sends it to `url`; from then on an idle time leads back.
  void OpenInBrowser(const std::string& url);
  // The state right after start-up, for the next visitor; `shows` says why, for the status line.
  void ReturnToSplash(fw::TScreenShows shows);
  // Its visible part: the splash over everything, as after start-up.
  void ShowSplash(fw::TScreenShows shows);
  // Its other part: the browser forgets the visitor, and what waits for a quiet moment runs.
  void ForgetVisitor();
  // The warning's panel, made once with its native window when first needed.
  fw::TPanel& IdleWarningPanel();
  void CoverDisplay(bool off);
  void ShowIdleWarning(int secondsLeft);
  // Once the splash is back: memory over the limit is given back, never under a visitor.
  void KeepWithinMemoryLimit();

  // "Выход" and the close icon.
  void Leave();
  fw::TPanel& ExitCodePanel();
  bool ExitCodeShown() const { return PanelExitCode && PanelExitCode->Visible(); }
  void PlaceExitCodePad();
  // A key of the pad: a digit, or the erase or the cancel key.
  void ExitCodeKey(char key);
  void ExitCodeQuiet();
  void ShowTypedDigits();
  // Gone, with nothing typed kept; the focus goes back where it was.
  void CloseExitCodePad();

  NavigationTargets targets_ = BuildNavigationTargets();
  std::chrono::seconds idleReset_ = BuildIdleResetTimeout();
  std::chrono::seconds idleWarning_ = BuildIdleWarning();
  bool displayWatched_ = false;  // once asked for, new settings may end the watch
  std::uint64_t memoryLimit_ = 0;
  std::function<void()> restartForMemory_;
  ExitCodeEntry exitCode_;
  fw::TPanel* exitCodeDisplay_ = nullptr;
  std::vector<fw::TButton*> exitCodeKeys_;  // in the pad's order, row by row
  fw::TControl* focusBeforePad_ = nullptr;
};

extern TForm12* Form12;
