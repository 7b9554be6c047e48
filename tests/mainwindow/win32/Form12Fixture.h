#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "framework/core/Scaling.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Win32Application.h"
#include "framework/win32/WindowPeer.h"
#include "mainwindow/Unit12.h"
#include "tests/mainwindow/win32/TestNavigationTargets.h"
#include "tests/support/win32/LoopbackHttpServer.h"

inline HWND WindowOf(fw::TControl* control) {
  return dynamic_cast<fw::win32::WindowPeer*>(control->Peer())->Handle();
}

// The start-up block, up to the loop, with the targets pointed at a loopback server.
class Form12Fixture : public testing::Test {
 protected:
  testing_win32::LoopbackHttpServer server;
  fw::win32::Win32Application application;
  int dpi = 96;

  int Scaled(int designLength) const { return fw::MulDiv(designLength, dpi, 96); }

  void SetUp() override {
    TestNavigationTargets() = {server.Url("/clinic"), server.Url("/site"), server.Url("/overview"),
                               server.Url("/guide"), server.Url("/playlist")};
    dpi = fw::win32::MonitorPixelsPerInch(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY));
    if (const char* expected = std::getenv("EXPECT_PIXELS_PER_INCH")) {
      ASSERT_EQ(dpi, std::atoi(expected))
          << "the screen does not have the resolution this run is for";
    }
    BeforeStartupBlock();
    application.Initialize();
    application.UseMetropolisUI();
    application.SetMainFormOnTaskBar(true);
    application.SetTitle("Кабинет Duvuzezera");
    application.CreateForm(Form12);
  }
  void TearDown() override { Form12 = nullptr; }
  virtual void BeforeStartupBlock() {}
};
