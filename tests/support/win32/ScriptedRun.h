#pragma once

#include <chrono>
#include <functional>

#include "framework/core/Application.h"

namespace testing_win32 {

// Runs the application's real loop and, once inside it, `script`. Returns false when the
// loop had not ended `timeout` after the script returned (the loop is then ended).
bool RunWithScript(fw::TApplication& application, std::function<void()> script,
                   std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace testing_win32
