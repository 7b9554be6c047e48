#include "mainwindow/Unit12.h"

#include <algorithm>
#include <memory>
#include <string>

#include "framework/core/Application.h"
#include "framework/core/EventLog.h"
#include "framework/core/KeyRouting.h"
#include "mainwindow/PageRecovery.h"

TForm12* Form12 = nullptr;

void TForm12::Publish(fw::Publisher& p) {
  p.Field("AppBar", AppBar);
  p.Field("CloseButton", CloseButton);
  p.Field("ActionList1", ActionList1);
  p.Field("Action1", Action1);
  p.Field("GestureManager1", GestureManager1);
  p.Field("WebBrowser1", WebBrowser1);
  p.Field("SplitView1", SplitView1);
  p.Field("Button1", Button1);
  p.Field("Button2", Button2);
  p.Field("Button3", Button3);
  p.Field("PanelZastava", PanelZastava);
  p.Field("Button4", Button4);
  p.Field("Button5", Button5);
  p.Field("Button6", Button6);
  p.Handler("CloseButtonClick", this, &TForm12::CloseButtonClick);
  p.Handler("Action1Execute", this, &TForm12::Action1Execute);
  p.Handler("FormResize", this, &TForm12::FormResize);
  p.Handler("FormKeyDown", this, &TForm12::FormKeyDown);
  p.Handler("FormGesture", this, &TForm12::FormGesture);
  p.Handler("Button1Click", this, &TForm12::Button1Click);
  p.Handler("Button2Click", this, &TForm12::Button2Click);
  p.Handler("Button3Click", this, &TForm12::Button3Click);
  p.Handler("Button4Click", this, &TForm12::Button4Click);
  p.Handler("Button5Click", this, &TForm12::Button5Click);
  p.Handler("Button6Click", this, &TForm12::Button6Click);
  p.Handler("WebBrowser1GiveUp", this, &TForm12::WebBrowser1GiveUp);
}

void TForm12::AppBarResize() {
  AppBar->SetBounds({0, Bounds().Height - AppBarHeight, Bounds().Width, AppBarHeight});
}

void TForm12::AppBarShow(int mode) {
  if (mode == -1) mode = AppBar->Visible() ? 0 : 1;
  // Never both along the bottom edge: the keyboard stays away while the bar shows.
  WebBrowser1->AllowOnScreenKeyboard(mode == 0);
  if (mode == 0) {
    AppBar->Hide();
  } else {
    AppBar->Show();
    AppBar->BringToFront();
  }
}

void TForm12::CloseButtonClick(fw::TObject*) { Leave(); }

// Nothing under the pad changes while it shows: the bar would rise above it.
void TForm12::Action1Execute(fw::TObject*) {
  if (!ExitCodeShown()) AppBarShow(-1);
}

void TForm12::FormResize(fw::TObject*) {
  AppBarResize();
  if (PanelExitCode) PlaceExitCodePad();
}

void TForm12::FormKeyDown(fw::TObject*, std::uint16_t& Key, fw::TShiftState) {
  // A keyboard reaches nothing while the pad shows; the pad is for the finger.
  if (ExitCodeShown()) {
    Key = 0;
    return;
  }
  if (Key == fw::vkEscape) WebBrowser1->HideOnScreenKeyboard();
  AppBarShow(Key == fw::vkEscape ? -1 : 0);
}

void TForm12::FormGesture(fw::TObject*, const fw::TGestureEventInfo&, bool&) {
  if (!ExitCodeShown()) AppBarShow(0);
}

void TForm12::OpenInBrowser(const std::string& url) {
  PanelZastava->Hide();
  fw::TApplication::TIdleWatch watch;
  watch.Timeout = idleReset_;
  watch.Warning = std::min(idleWarning_, idleReset_ / 2);
  watch.OnCountdown = [this](int secondsLeft) { ShowIdleWarning(secondsLeft); };
  watch.OnWarningEnd = [this] { IdleWarningPanel().Hide(); };
  watch.OnIdle = [this] {
    fw::Application->Metrics().IdleReset();
    fw::LogEvent(fw::TEvent::IdleReset,
                 "no input for " + std::to_string(idleReset_.count()) + " s");
    // The memory is seen to with the splash back, before the browser forgets the visitor: a
    // restart it asks for still lets the browser forget first.
    ShowSplash(fw::TScreenShows::Splash);
    KeepWithinMemoryLimit();
    ForgetVisitor();
  };
  fw::Application->WatchIdle(std::move(watch));
  if (OnSplash) OnSplash(false);
  WebBrowser1->Navigate(url);
}

void TForm12::UseSettings(const NavigationConfig& navigation, std::chrono::seconds idleReset,
                          std::chrono::seconds idleWarning) {
  targets_ = ComposeNavigationTargets(navigation);
  Button2->SetCaption(navigation.SiteDomain);
  idleReset_ = idleReset;
  idleWarning_ = idleWarning;
}

void TForm12::UseDisplaySleep(std::chrono::seconds offAfter, const fw::TDisplayHours& hours) {
  // Never watched unless asked for; once watched, new settings may also end the watch.
  if (offAfter.count() == 0 && hours.Always() && !displayWatched_) return;
  displayWatched_ = true;
  fw::TDisplaySleep::TRules rules;
  rules.OffAfter = offAfter;
  rules.Hours = hours;
  rules.IdleReset = idleReset_.count() > 0;
  fw::Application->WatchDisplay(rules, [this](bool off) {
    if (off) {
      // Nobody is there to see it: the next visitor, or the waking tap, finds the splash.
      if (!PanelZastava->Visible() || ExitCodeShown()) {
        fw::Application->StopWatchingIdle();
        ReturnToSplash(fw::TScreenShows::Splash);
      } else {
        AppBarShow(0);
      }
    }
    CoverDisplay(off);
  });
}

void TForm12::CoverDisplay(bool off) {
  if (!PanelDisplayOff) {
    if (!off) return;
    auto* panel = static_cast<fw::TPanel*>(fw::Adopt(*this, std::make_unique<fw::TPanel>(this)));
    panel->SetName("PanelDisplayOff");
    panel->BevelOuter = fw::TBevelCut::bvNone;
    panel->ParentColor = false;
    panel->Color = fw::clBlack;
    panel->SetVisible(false);
    panel->SetParent(this);
    fw::Application->AttachControl(*panel);
    PanelDisplayOff = panel;
  }
  if (off) {
    // The whole window, the pane too: nothing under it takes the waking tap.
    PanelDisplayOff->SetBounds({0, 0, Bounds().Width, Bounds().Height});
    PanelDisplayOff->Show();
    PanelDisplayOff->BringToFront();
  } else {
    PanelDisplayOff->Hide();
  }
}

void TForm12::UseRetryDelay(std::chrono::seconds retryDelay) {
  WebBrowser1->SetRecovery({.RetryDelay = retryDelay, .LoadTimeout = BuildLoadTimeout()});
}

void TForm12::UseLockdown(bool lockdown, const std::vector<std::string>& allowedHosts) {
  if (!lockdown) {
    WebBrowser1->Unlock();
    return;
  }
  std::vector<std::string> allowed = {targets_.Clinic, targets_.Site, targets_.OverviewVideo,
                                      targets_.UserGuide, targets_.Playlist};
  allowed.insert(allowed.end(), allowedHosts.begin(), allowedHosts.end());
  WebBrowser1->Lock(fw::NavigationAllowList(std::move(allowed)));
}

void TForm12::KeepWithinMemoryLimit() {
  if (memoryLimit_ == 0) return;
  const std::optional<std::uint64_t> used = WebBrowser1->MemoryInUse();
  const fw::TMemoryBudget budget{memoryLimit_, WebBrowser1->EngineRecyclable(),
                                 static_cast<bool>(restartForMemory_)};
  const fw::TMemoryStep step = fw::MemoryStepAtIdleReset(budget, used, !PanelZastava->Visible());
  if (step == fw::TMemoryStep::Keep) return;
  fw::LogEvent(fw::TEvent::OverMemoryLimit, fw::MemoryStepDetail(step, *used, memoryLimit_));
  if (step == fw::TMemoryStep::Report) return;
  fw::Application->Metrics().MemoryRecycled();
  if (step == fw::TMemoryStep::RecycleEngine) {
    WebBrowser1->RecycleEngine();
  } else {
    restartForMemory_();
  }
}

void TForm12::UseOnScreenKeyboard(bool use) { WebBrowser1->UseOnScreenKeyboard(use); }

fw::TPanel& TForm12::IdleWarningPanel() {
  if (PanelIdleWarning) return *PanelIdleWarning;
  auto* panel = static_cast<fw::TPanel*>(fw::Adopt(*this, std::make_unique<fw::TPanel>(this)));
  panel->SetName("PanelIdleWarning");
  panel->BevelOuter = fw::TBevelCut::bvNone;
  panel->ParentFont = false;
  panel->Font = EffectiveFont();
  panel->SetVisible(false);
  panel->SetParent(this);
  panel->SetAlign(fw::TAlign::alClient);
  fw::Application->AttachControl(*panel);
  PanelIdleWarning = panel;
  return *panel;
}

void TForm12::ShowIdleWarning(int secondsLeft) {
  fw::TPanel& panel = IdleWarningPanel();
  panel.SetCaption(IdleWarningText(secondsLeft));
  if (!panel.Visible()) {
    panel.Show();
    panel.BringToFront();
  }
}

void TForm12::ReportScreen() {
  // The blank document the splash hides is no page the visitor sees.
  WebBrowser1->OnPageShown = [this](const std::string& address, bool errorPage) {
    if (PanelZastava->Visible()) return;
    fw::Application->ScreenShows(errorPage ? fw::TScreenShows::ErrorPage : fw::TScreenShows::Page,
                                 address);
  };
  fw::Application->ScreenShows(fw::TScreenShows::Splash);
  fw::Application->Metrics().DeclareButtons(
      {"clinic", "site", "exit", "overview_video", "user_guide", "playlist"});
}

void TForm12::ReturnToSplash(fw::TScreenShows shows) {
  // The visible part first: it comes back even when the browser fails to forget.
  ShowSplash(shows);
  ForgetVisitor();
}

void TForm12::ShowSplash(fw::TScreenShows shows) {
  if (ExitCodeShown()) CloseExitCodePad();
  AppBarShow(0);
  WebBrowser1->HideOnScreenKeyboard();
  PanelZastava->Show();
  fw::Application->ScreenShows(shows);
  if (fw::TControl* first = FirstFocusable()) first->SetFocus();
}

void TForm12::ForgetVisitor() {
  WebBrowser1->StartOver();
  // The quiet moment for what waits for one, such as changed settings.
  if (OnSplash) OnSplash(true);
}

// Counted only: the file is written later, off the tap's path.
void TForm12::Button1Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("clinic", true);
  OpenInBrowser(targets_.Clinic);
}
void TForm12::Button2Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("site", true);
  OpenInBrowser(targets_.Site);
}
void TForm12::Button3Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("exit", false);
  Leave();
}
void TForm12::Button4Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("overview_video", true);
  OpenInBrowser(targets_.OverviewVideo);
}
void TForm12::Button5Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("user_guide", true);
  OpenInBrowser(targets_.UserGuide);
}
void TForm12::Button6Click(fw::TObject*) {
  fw::Application->Metrics().Tapped("playlist", true);
  OpenInBrowser(targets_.Playlist);
}

// The page's engine keeps dying: the next visitor starts from the splash, as after a quiet
// spell, and a tap tries again.
void TForm12::WebBrowser1GiveUp(fw::TObject*) {
  fw::Application->Metrics().GaveUp();
  fw::LogEvent(fw::TEvent::GaveUp, "the web process ended too often");
  fw::Application->StopWatchingIdle();
  ReturnToSplash(fw::TScreenShows::GivenUp);
}
