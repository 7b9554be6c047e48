#include <gtest/gtest.h>

#include <sstream>

#include "framework/core/OnScreenKeyboard.h"

namespace {

using fw::TInputPurpose;
using fw::TKeyboardPageId;
using fw::TKeyOutcome;

// Taps the keys named by `ids` (space-separated; "space" for the space bar) and applies what
// each asks to a field, as the backend does.
struct Typist {
  fw::TOnScreenKeyboard keyboard;
  std::string field;
  std::vector<TKeyOutcome> others;

  void Tap(const std::string& id) {
    const auto& rows = keyboard.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
      for (int i = 0; i < static_cast<int>(rows[r].size()); ++i) {
        if (rows[r][i].Id != id) continue;
        const TKeyOutcome outcome = keyboard.Tap(r, i);
        if (outcome.What == TKeyOutcome::Kind::Commit) {
          field += outcome.Text;
        } else if (outcome.What == TKeyOutcome::Kind::DeleteBefore) {
          // One code point: strip continuation bytes, then the lead byte.
          while (!field.empty() && (static_cast<unsigned char>(field.back()) & 0xC0) == 0x80)
            field.pop_back();
          if (!field.empty()) field.pop_back();
        } else if (outcome.What != TKeyOutcome::Kind::None) {
          others.push_back(outcome);
        }
        return;
      }
    }
    ADD_FAILURE() << "no key '" << id << "' on the page " << fw::PageName(keyboard.Page());
  }
  void TapAll(const std::string& ids) {
    std::istringstream in(ids);
    for (std::string id; in >> id;) Tap(id);
  }
};

struct TypingCase {
  const char* what;
  TInputPurpose purpose;
  const char* taps;
  const char* text;
  TKeyboardPageId pageAfter;
};

TEST(OnScreenKeyboard, TapsBecomeTheFieldsText) {
  using enum TInputPurpose;
  using P = TKeyboardPageId;
  const TypingCase cases[] = {
      {"Russian letters first", FreeForm, "п р и в е т", "привет", P::Russian},
      {"shift for one letter", FreeForm, "shift п р и", "При", P::Russian},
      {"shift twice is off", FreeForm, "shift shift ё", "ё", P::Russian},
      {"the language key", FreeForm, "д а space language o k", "да ok", P::English},
      {"backspace takes one letter", FreeForm, "ж ю backspace я", "жя", P::Russian},
      {"backspace on an empty field", FreeForm, "backspace а", "а", P::Russian},
      {"symbols and back", FreeForm, "symbols 1 2 ₽ letters д", "12₽д", P::Russian},
      {"e-mail: Latin, @ and .", Email, "i @ m a i l . r u", "i@mail.ru", P::English},
      {"web address: /", Url, "a / b", "a/b", P::English},
      {"phone: the digits pad", Phone, "+ 7 9 0 backspace 1", "+791", P::Digits},
      {"PIN: the digits pad", Pin, "1 2 3 4", "1234", P::Digits},
      {"password: letters", Password, "shift q w", "Qw", P::English},
  };
  for (const TypingCase& c : cases) {
    Typist typist;
    // A password field follows the language the visitor chose before: English here.
    if (c.purpose == Password) typist.TapAll("language");
    typist.keyboard.Begin(c.purpose);
    typist.TapAll(c.taps);
    EXPECT_EQ(typist.field, c.text) << c.what;
    EXPECT_EQ(typist.keyboard.Page(), c.pageAfter) << c.what;
  }
}

TEST(OnScreenKeyboard, KeysForThePageAreSentAndHideAsks) {
  Typist typist;
  typist.TapAll("enter hide symbols tab left right");
  const std::vector<TKeyOutcome> expected{
      {TKeyOutcome::Kind::SendKey, "", fw::TKeyAction::Enter},
      {TKeyOutcome::Kind::Hide, "", fw::TKeyAction::Hide},
      {TKeyOutcome::Kind::SendKey, "", fw::TKeyAction::Tab},
      {TKeyOutcome::Kind::SendKey, "", fw::TKeyAction::Left},
      {TKeyOutcome::Kind::SendKey, "", fw::TKeyAction::Right},
  };
  EXPECT_EQ(typist.others, expected);
  EXPECT_TRUE(typist.field.empty());
}

// The visitor's language stays for the next text field; an e-mail field does not change it.
TEST(OnScreenKeyboard, TheChosenLanguageStaysForTheNextTextField) {
  Typist typist;
  typist.TapAll("language");
  typist.keyboard.Begin(TInputPurpose::Email);
  typist.TapAll("language");  // Russian for this address only
  EXPECT_EQ(typist.keyboard.Page(), TKeyboardPageId::Russian);
  typist.keyboard.Begin(TInputPurpose::FreeForm);
  EXPECT_EQ(typist.keyboard.Page(), TKeyboardPageId::English);
  typist.keyboard.Begin(TInputPurpose::Phone);
  typist.keyboard.Begin(TInputPurpose::FreeForm);
  EXPECT_EQ(typist.keyboard.Page(), TKeyboardPageId::English);
}

TEST(OnScreenKeyboard, ShiftShowsCapitalsUntilALetterIsTyped) {
  Typist typist;
  const fw::TKeySpec& first = typist.keyboard.Rows()[0][0];
  EXPECT_EQ(typist.keyboard.Label(first), "й");
  typist.TapAll("shift");
  EXPECT_EQ(typist.keyboard.Label(typist.keyboard.Rows()[0][0]), "Й");
  typist.TapAll("й");
  EXPECT_EQ(typist.keyboard.Label(typist.keyboard.Rows()[0][0]), "й");
}

TEST(OnScreenKeyboard, ATapOutsideEveryKeyDoesNothing) {
  fw::TOnScreenKeyboard keyboard;
  for (auto [row, index] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 12}})
    EXPECT_EQ(keyboard.Tap(row, index), TKeyOutcome{}) << row << "," << index;
}

}  // namespace
