#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// What a key of the on-screen keyboard does when tapped.
enum class TKeyAction {
  Text,       // commits its text (its shifted text while shift is on)
  Shift,      // the next letter comes in its shifted form
  Language,   // Russian <-> English letters
  Symbols,    // the digits-and-symbols page
  Letters,    // back to the letters of the last language
  Backspace,  // deletes the character before the caret
  Enter,      // the Enter key, as the page would get it from a keyboard
  Tab,
  Left,
  Right,
  Hide,  // hides the keyboard; the field keeps the focus
};

struct TKeySpec {
  // How tests and the report name the key: its text for a text key, else the action's name.
  std::string Id;
  std::string Label;
  std::string ShiftedLabel;
  std::string Text;
  std::string ShiftedText;
  TKeyAction Action = TKeyAction::Text;
  int HalfUnits = 2;  // width, in halves of the widest page's key width
};

using TKeyRow = std::vector<TKeySpec>;

enum class TKeyboardPageId { Russian, English, Symbols, Digits };

// What the focused field expects, as the web engine reports it.
enum class TInputPurpose { FreeForm, Digits, Number, Phone, Url, Email, Password, Pin };

// The rows of one page. E-mail and web-address fields get keys of their own in the bottom
// row of the letters and symbols pages ("@" for e-mail, "/" for addresses, where "," is).
std::vector<TKeyRow> KeyboardPage(TKeyboardPageId page, TInputPurpose purpose);

std::string_view PageName(TKeyboardPageId page);
std::string_view ActionName(TKeyAction action);

// Every page has this many rows, so the keyboard keeps its height from page to page.
inline constexpr int KeyboardRows = 4;
// Half units across the widest row: twelve keys of the Russian letters.
inline constexpr int KeyboardHalfUnitsAcross = 24;

}  // namespace fw
