#pragma once

#include <glib.h>

#include <chrono>
#include <thread>

// Runs the main loop until `done` holds; false when it does not within ten seconds.
template <class Condition>
bool Settle(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
