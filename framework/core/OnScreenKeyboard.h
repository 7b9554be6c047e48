#pragma once

#include <string>
#include <vector>

#include "framework/core/KeyboardLayouts.h"

namespace fw {

// What a tap on a key asks of the backend.
struct TKeyOutcome {
  enum class Kind {
    None,          // only the keyboard changed (page, shift)
    Commit,        // `Text` goes into the field
    DeleteBefore,  // one character before the caret goes
    SendKey,       // `Key` (Enter, Tab, Left, Right) as a key press to the page
    Hide,
  };
  Kind What = Kind::None;
  std::string Text;
  TKeyAction Key = TKeyAction::Text;
  friend bool operator==(const TKeyOutcome&, const TKeyOutcome&) = default;
};

// The keyboard's state between taps: the page, shift, the chosen language.
class TOnScreenKeyboard {
 public:
  // A field got the focus: its page is the digits pad for numbers, phones and codes, English
  // letters for e-mail and web addresses, otherwise the letters of the last chosen language.
  void Begin(TInputPurpose purpose);
  TOnScreenKeyboard() { Begin(TInputPurpose::FreeForm); }

  TKeyOutcome Tap(int row, int index);

  TKeyboardPageId Page() const { return page_; }
  TInputPurpose Purpose() const { return purpose_; }
  bool Shifted() const { return shifted_; }
  const std::vector<TKeyRow>& Rows() const { return rows_; }
  // The key's label as it shows now.
  const std::string& Label(const TKeySpec& key) const;

 private:
  void ShowPage(TKeyboardPageId page);

  TInputPurpose purpose_ = TInputPurpose::FreeForm;
  TKeyboardPageId page_ = TKeyboardPageId::Russian;
  TKeyboardPageId letters_ = TKeyboardPageId::Russian;   // this field's letters
  TKeyboardPageId language_ = TKeyboardPageId::Russian;  // the visitor's choice for free text
  bool shifted_ = false;
  std::vector<TKeyRow> rows_;
};

}  // namespace fw
