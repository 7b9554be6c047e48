#include <windows.h>
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/FloatingPoint.h"
#include "framework/core/StandardControls.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Errors.h"
#include "framework/win32/PlatformApplication.h"
#include "framework/win32/StartupSupport.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/WindowPeer.h"
#include "tests/support/win32/ReceivedMouseMessages.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

class TTestForm : public fw::TForm {
 public:
  fw::TButton* ThrowButton = nullptr;
  fw::TButton* ThrowOtherButton = nullptr;
  fw::TButton* AbortButton = nullptr;
  fw::TButton* QuitButton = nullptr;
  fw::TImage* Image1 = nullptr;
  int imageClicks = 0;
  bool returnedFromTerminate = false;

  std::string ClassName() const override { return "TTestForm"; }
  std::string LayoutResourceName() const override { return "TTESTFORM"; }
  void Publish(fw::Publisher& p) override {
    p.Field("ThrowButton", ThrowButton);
    p.Field("ThrowOtherButton", ThrowOtherButton);
    p.Field("AbortButton", AbortButton);
    p.Field("QuitButton", QuitButton);
    p.Field("Image1", Image1);
    p.Handler("ThrowClick", this, &TTestForm::ThrowClick);
    p.Handler("ThrowOtherClick", this, &TTestForm::ThrowOtherClick);
    p.Handler("AbortClick", this, &TTestForm::AbortClick);
    p.Handler("QuitClick", this, &TTestForm::QuitClick);
    p.Handler("ImageClick", this, &TTestForm::ImageClick);
  }
  void ThrowClick(fw::TObject*) { throw fw::Exception("Кнопка сломалась"); }
  void ThrowOtherClick(fw::TObject*) { throw 42; }  // not a standard exception at all
  void AbortClick(fw::TObject*) { throw fw::EAbort(); }
  void QuitClick(fw::TObject*) {
    fw::Application->Terminate();
    returnedFromTerminate = true;
  }
  void ImageClick(fw::TObject*) { ++imageClicks; }
};

using fw::win32::WindowOf;

class ApplicationFixture : public testing::Test {
 protected:
  fw::win32::PlatformApplication application;
  TTestForm* form = nullptr;
  void SetUp() override {
    application.Initialize();
    application.UseMetropolisUI();  // touch-first: strokes are tracked alongside clicks
    application.SetMainFormOnTaskBar(true);
    application.SetTitle("Кабинет Test");
    application.CreateForm(form);
  }
};

TEST_F(ApplicationFixture, HandlerExceptionsShowTheirMessageAndTheLoopGoesOn) {
  MessageBoxWatcher watcher;
  std::size_t boxesAfterAbort = 0;
  const bool ended = RunWithScript(application, [&] {
    ClickAt(CentreOf(WindowOf(form->ThrowButton)));
    PumpUntil([&] { return watcher.Seen().size() == 1; });
    ClickAt(CentreOf(WindowOf(form->AbortButton)));
    PumpFor(std::chrono::milliseconds(500));
    boxesAfterAbort = watcher.Seen().size();
    ClickAt(CentreOf(WindowOf(form->ThrowOtherButton)));
    PumpUntil([&] { return watcher.Seen().size() == 2; });
    ClickAt(CentreOf(WindowOf(form->QuitButton)));
  });
  EXPECT_TRUE(ended) << "the loop did not end after Terminate";
  EXPECT_TRUE(form->returnedFromTerminate) << "Terminate must only post the quit request";
  ASSERT_EQ(watcher.Seen().size(), 2u);
  EXPECT_EQ(boxesAfterAbort, 1u) << "an abort shows nothing";
  EXPECT_EQ(watcher.Seen()[0].title, L"Кабинет Test");
  EXPECT_EQ(watcher.Seen()[0].text, L"Кнопка сломалась.");
  EXPECT_TRUE(watcher.Seen()[0].hasErrorIcon);
  EXPECT_EQ(watcher.Seen()[1].title, L"Кабинет Test");
  EXPECT_EQ(watcher.Seen()[1].text, L"An exception of an unknown type was raised.");
}

// A window whose own message handling fails, as framework code may (out of memory, a failing
// system call): what it throws must stop at the window procedure.
class FailingPeer : public fw::win32::WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  static constexpr UINT kThrowStandard = WM_APP + 1, kThrowOther = WM_APP + 2;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kThrowStandard) throw std::runtime_error("Окно сломалось");
    if (message == kThrowOther) throw 7;
    return WindowPeer::HandleMessage(message, wParam, lParam);
  }
};

TEST_F(ApplicationFixture, WhatAWindowProcedureThrowsReachesTheHandlerAndTheLoopGoesOn) {
  MessageBoxWatcher watcher;
  fw::TPanel control(nullptr);
  FailingPeer peer(control);
  peer.Create(WindowOf(form));
  std::vector<LRESULT> results;
  const bool ended = RunWithScript(application, [&] {
    results.push_back(SendMessageW(peer.Handle(), FailingPeer::kThrowStandard, 0, 0));
    results.push_back(SendMessageW(peer.Handle(), FailingPeer::kThrowOther, 0, 0));
    ClickAt(CentreOf(WindowOf(form->QuitButton)));
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(results, (std::vector<LRESULT>{0, 0}));
  ASSERT_EQ(watcher.Seen().size(), 2u);
  EXPECT_EQ(watcher.Seen()[0].text, L"Окно сломалось.");
  EXPECT_EQ(watcher.Seen()[1].text, L"An exception of an unknown type was raised.");
}

TEST_F(ApplicationFixture, ImageClickRaisesOnClickOnlyWhenPressedAndReleasedInside) {
  struct Row {
    const char* what;
    std::function<void(POINT inside, POINT outside)> input;
    int clicks;
  };
  const std::vector<Row> rows{
      {"pressed and released inside", [](POINT inside, POINT) { ClickAt(inside); }, 1},
      {"released outside",
       [](POINT inside, POINT outside) {
         MoveTo(inside);
         PressButton(false, true);
         MoveTo(outside);
         PressButton(false, false);
       },
       0},
      {"a swipe from the image, out and back in",
       [](POINT inside, POINT outside) {
         DragThrough({inside, outside, inside});
       },
       0},
      {"the capture taken by another window before the release",
       [this](POINT inside, POINT) {
         MoveTo(inside);
         PressButton(false, true);
         PumpUntil([] { return GetCapture() != nullptr; });
         SetCapture(WindowOf(form));
         ReleaseCapture();
         PressButton(false, false);
       },
       0},
      {"pressed and released inside again", [](POINT inside, POINT) { ClickAt(inside); }, 1},
  };
  std::vector<std::pair<std::string, int>> clicks, expected;
  const bool ended = RunWithScript(application, [&] {
    const POINT inside = CentreOf(WindowOf(form->Image1));
    const POINT outside{inside.x, inside.y + 120};
    for (const Row& row : rows) {
      ReceivedMouseMessages received;
      const int before = form->imageClicks;
      row.input(inside, outside);
      // A click is raised while the release is handled: once it has been, the count is final.
      PumpUntil([&] { return received.Received(WM_LBUTTONUP, WindowOf(form)); });
      clicks.emplace_back(row.what, form->imageClicks - before);
      expected.emplace_back(row.what, row.clicks);
    }
    application.Terminate();
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(clicks, expected);
  EXPECT_EQ(clicks.size(), std::size(rows));
}

TEST_F(ApplicationFixture, HiddenApplicationWindowLeavesTheTaskbarToTheForm) {
  HWND hidden = application.Handle();
  EXPECT_EQ(ClassOf(hidden), L"TApplication");
  EXPECT_EQ(TextOf(hidden), L"");
  EXPECT_TRUE(GetWindowLongW(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(IsWindowVisible(hidden));
  HWND main = WindowOf(form);
  EXPECT_EQ(ClassOf(main), L"TTestForm");
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST(StartupSupport, FloatingPointExceptionsMaskedFlagsClearedRoundingKept) {
  const unsigned original = _mm_getcsr();
  _mm_setcsr((original & ~0x1F80u & ~0x6000u) | 0x4000u | 0x0001u);  // unmasked, round up, a flag
  fw::MaskFloatingPointExceptions();
  const unsigned now = _mm_getcsr();
  _mm_setcsr(original);
  EXPECT_EQ(now & 0x1F80u, 0x1F80u);
  EXPECT_EQ(now & 0x3Fu, 0u);
  EXPECT_EQ(now & 0x6000u, 0x4000u);
}

TEST(StartupSupport, FailureCodesBecomeExceptionsCarryingTheSystemsDescription) {
  EXPECT_NO_THROW(fw::win32::OleCheck(S_FALSE));
  try {
    fw::win32::OleCheck(E_ACCESSDENIED);
    FAIL();
  } catch (const fw::EOleException& e) {
    EXPECT_EQ(e.ErrorCode(), E_ACCESSDENIED);
    EXPECT_EQ(fw::win32::Widen(e.what()), fw::win32::DescribeHResult(E_ACCESSDENIED));
  }
}

TEST(StartupSupport, HResultsAreDescribedInWords) {
  const std::wstring text = fw::win32::DescribeHResult(E_INVALIDARG);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find(L"OLE error"), std::wstring::npos) << "the system knows this one";
  EXPECT_EQ(fw::win32::DescribeHResult(static_cast<HRESULT>(0xA0001234)), L"OLE error A0001234");
}

}  // namespace
