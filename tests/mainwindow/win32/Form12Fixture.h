#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/ProgramStartup.h"
#include "framework/core/Scaling.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/PlatformApplication.h"
#include "framework/win32/SystemInfo.h"
#include "mainwindow/Unit12.h"
#include "tests/mainwindow/win32/TestNavigationTargets.h"
#include "tests/support/win32/LoopbackHttpServer.h"

using fw::win32::WindowOf;

// The program's start-up block, up to the loop, with the targets pointed at a loopback server.
class Form12Fixture : public testing::Test {
 protected:
  testing_win32::LoopbackHttpServer server;
  fw::win32::PlatformApplication application;
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
    RunStartupBlock(application, SelectsStyle());
  }
  void TearDown() override { Form12 = nullptr; }
  virtual void BeforeStartupBlock() {}
  // The program selects its dark style; a test of the plain look says otherwise.
  virtual bool SelectsStyle() const { return true; }
};
