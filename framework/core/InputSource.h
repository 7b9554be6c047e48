#pragma once

#include <compare>
#include <cstdint>

namespace fw {

// What one input message does to a key, a mouse button or a touch point.
enum class TInputEdge { Press, Release, Other };

enum class TInputDevice : std::uint8_t { None, Key, Button, Touch, Pen };

// What a press or a release is of: a hold ends only with the release of its own source, and
// a key, a button and a contact of the same number are three holds.
struct TInputSource {
  TInputDevice Device = TInputDevice::None;
  std::uint32_t Id = 0;

  // A key by the code of its place on the keyboard, which the modifiers leave alone: the
  // virtual-key code on Windows, the hardware code on Linux (a keysym changes with Shift, so
  // its release could miss its press).
  static constexpr TInputSource Key(std::uint32_t code) { return {TInputDevice::Key, code}; }
  // A mouse button by its number: kLeftButton and the rest below.
  static constexpr TInputSource Button(std::uint32_t number) {
    return {TInputDevice::Button, number};
  }
  // A touch or pen contact by the id the system gives it while it lasts.
  static constexpr TInputSource Touch(std::uint32_t contact) {
    return {TInputDevice::Touch, contact};
  }
  static constexpr TInputSource Pen(std::uint32_t contact) { return {TInputDevice::Pen, contact}; }

  friend constexpr auto operator<=>(const TInputSource&, const TInputSource&) = default;
};

// Mouse buttons as the X protocol numbers them; Windows maps its own to these.
inline constexpr std::uint32_t kLeftButton = 1, kMiddleButton = 2, kRightButton = 3,
                               kBackButton = 8, kForwardButton = 9;

}  // namespace fw
