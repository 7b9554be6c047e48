#include "framework/core/KeyboardLayouts.h"

namespace fw {

namespace {

// The code points of UTF-8 text, each as its own string.
std::vector<std::string> CodePoints(std::string_view text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    out.emplace_back(text.substr(i, length));
    i += length;
  }
  return out;
}

TKeySpec Character(const std::string& text, const std::string& shifted) {
  return {text, text, shifted, text, shifted, TKeyAction::Text, 2};
}

// One key per code point; `shifted` holds as many.
TKeyRow Characters(std::string_view text, std::string_view shifted) {
  const std::vector<std::string> plain = CodePoints(text), upper = CodePoints(shifted);
  TKeyRow row;
  for (std::size_t i = 0; i < plain.size(); ++i)
    row.push_back(Character(plain[i], i < upper.size() ? upper[i] : plain[i]));
  return row;
}

TKeyRow Characters(std::string_view text) { return Characters(text, text); }

TKeySpec Special(TKeyAction action, const std::string& label, int halfUnits) {
  return {std::string(ActionName(action)), label, label, "", "", action, halfUnits};
}

TKeySpec Space(int halfUnits) {
  TKeySpec key = Character(" ", " ");
  key.Id = "space";
  key.Label = key.ShiftedLabel = "";
  key.HalfUnits = halfUnits;
  return key;
}

// Where "," stands on other fields: what an e-mail or web address needs most.
std::string PunctuationFor(TInputPurpose purpose) {
  if (purpose == TInputPurpose::Email) return "@";
  if (purpose == TInputPurpose::Url) return "/";
  return ",";
}

TKeyRow LettersBottomRow(TKeyboardPageId page, TInputPurpose purpose) {
  const std::string punctuation = PunctuationFor(purpose);
  return {Special(TKeyAction::Symbols, "?123", 3),
          Special(TKeyAction::Language, page == TKeyboardPageId::Russian ? "EN" : "РУ", 2),
          Character(punctuation, punctuation),
          Space(9),
          Character(".", "."),
          Special(TKeyAction::Enter, "⏎", 4),
          Special(TKeyAction::Hide, "▼", 2)};
}

}  // namespace

std::string_view PageName(TKeyboardPageId page) {
  switch (page) {
    case TKeyboardPageId::Russian:
      return "russian";
    case TKeyboardPageId::English:
      return "english";
    case TKeyboardPageId::Symbols:
      return "symbols";
    case TKeyboardPageId::Digits:
      return "digits";
  }
  return "";
}

std::string_view ActionName(TKeyAction action) {
  switch (action) {
    case TKeyAction::Text:
      return "text";
    case TKeyAction::Shift:
      return "shift";
    case TKeyAction::Language:
      return "language";
    case TKeyAction::Symbols:
      return "symbols";
    case TKeyAction::Letters:
      return "letters";
    case TKeyAction::Backspace:
      return "backspace";
    case TKeyAction::Enter:
      return "enter";
    case TKeyAction::Tab:
      return "tab";
    case TKeyAction::Left:
      return "left";
    case TKeyAction::Right:
      return "right";
    case TKeyAction::Hide:
      return "hide";
  }
  return "";
}

std::vector<TKeyRow> KeyboardPage(TKeyboardPageId page, TInputPurpose purpose) {
  std::vector<TKeyRow> rows;
  switch (page) {
    case TKeyboardPageId::Russian:
      rows = {Characters("йцукенгшщзхъ", "ЙЦУКЕНГШЩЗХЪ"),
              Characters("фывапролджэё", "ФЫВАПРОЛДЖЭЁ"), Characters("ячсмитьбю", "ЯЧСМИТЬБЮ"),
              LettersBottomRow(page, purpose)};
      break;
    case TKeyboardPageId::English:
      rows = {Characters("qwertyuiop", "QWERTYUIOP"), Characters("asdfghjkl", "ASDFGHJKL"),
              Characters("zxcvbnm", "ZXCVBNM"), LettersBottomRow(page, purpose)};
      break;
    case TKeyboardPageId::Symbols:
      rows = {Characters("1234567890"),
              Characters("@#₽%&-+()/"),
              Characters("*\"':;!?,_="),
              {Special(TKeyAction::Letters, "АБВ", 3), Special(TKeyAction::Left, "←", 2),
               Special(TKeyAction::Right, "→", 2), Space(7), Character(".", "."),
               Special(TKeyAction::Tab, "⇥", 2), Special(TKeyAction::Enter, "⏎", 4),
               Special(TKeyAction::Hide, "▼", 2)}};
      break;
    case TKeyboardPageId::Digits:
      // A pad of wide keys: a phone number or a code is typed with one thumb.
      rows = {Characters("123"), Characters("456"), Characters("789"), Characters("+0-")};
      for (TKeyRow& row : rows) {
        for (TKeySpec& key : row) key.HalfUnits = 4;
      }
      rows[0].push_back(Special(TKeyAction::Backspace, "⌫", 4));
      rows[1].push_back(Special(TKeyAction::Tab, "⇥", 4));
      rows[2].push_back(Special(TKeyAction::Enter, "⏎", 4));
      rows[3].push_back(Special(TKeyAction::Hide, "▼", 4));
      return rows;
  }
  // Shift and Backspace flank the third row of letters and symbols.
  TKeyRow& third = rows[2];
  if (page == TKeyboardPageId::Symbols) {
    third.push_back(Special(TKeyAction::Backspace, "⌫", 3));
  } else {
    third.insert(third.begin(), Special(TKeyAction::Shift, "⇧", 3));
    third.push_back(Special(TKeyAction::Backspace, "⌫", 3));
  }
  return rows;
}

}  // namespace fw
