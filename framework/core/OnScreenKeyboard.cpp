#include "framework/core/OnScreenKeyboard.h"

namespace fw {

namespace {

bool TypesLetters(TInputPurpose purpose) {
  return purpose == TInputPurpose::FreeForm || purpose == TInputPurpose::Password;
}

}  // namespace

void TOnScreenKeyboard::Begin(TInputPurpose purpose) {
  purpose_ = purpose;
  shifted_ = false;
  switch (purpose) {
    case TInputPurpose::Digits:
    case TInputPurpose::Number:
    case TInputPurpose::Phone:
    case TInputPurpose::Pin:
      letters_ = language_;
      ShowPage(TKeyboardPageId::Digits);
      return;
    case TInputPurpose::Email:
    case TInputPurpose::Url:
      letters_ = TKeyboardPageId::English;
      break;
    case TInputPurpose::FreeForm:
    case TInputPurpose::Password:
      letters_ = language_;
      break;
  }
  ShowPage(letters_);
}

void TOnScreenKeyboard::ShowPage(TKeyboardPageId page) {
  page_ = page;
  rows_ = KeyboardPage(page, purpose_);
}

const std::string& TOnScreenKeyboard::Label(const TKeySpec& key) const {
  return shifted_ ? key.ShiftedLabel : key.Label;
}

TKeyOutcome TOnScreenKeyboard::Tap(int row, int index) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || index < 0 ||
      index >= static_cast<int>(rows_[row].size()))
    return {};
  const TKeySpec key = rows_[row][index];
  switch (key.Action) {
    case TKeyAction::Text: {
      TKeyOutcome outcome{TKeyOutcome::Kind::Commit, shifted_ ? key.ShiftedText : key.Text,
                          key.Action};
      shifted_ = false;  // one letter, as a phone's keyboard does
      return outcome;
    }
    case TKeyAction::Shift:
      shifted_ = !shifted_;
      return {};
    case TKeyAction::Language:
      letters_ = letters_ == TKeyboardPageId::Russian ? TKeyboardPageId::English
                                                      : TKeyboardPageId::Russian;
      if (TypesLetters(purpose_)) language_ = letters_;
      shifted_ = false;
      ShowPage(letters_);
      return {};
    case TKeyAction::Symbols:
      shifted_ = false;
      ShowPage(TKeyboardPageId::Symbols);
      return {};
    case TKeyAction::Letters:
      ShowPage(letters_);
      return {};
    case TKeyAction::Backspace:
      return {TKeyOutcome::Kind::DeleteBefore, "", key.Action};
    case TKeyAction::Enter:
    case TKeyAction::Tab:
    case TKeyAction::Left:
    case TKeyAction::Right:
      return {TKeyOutcome::Kind::SendKey, "", key.Action};
    case TKeyAction::Hide:
      return {TKeyOutcome::Kind::Hide, "", key.Action};
  }
  return {};
}

}  // namespace fw
