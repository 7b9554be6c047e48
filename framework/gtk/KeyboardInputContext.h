#pragma once

#include <webkit2/webkit2.h>

#include <string>

#include "framework/core/KeyboardLayouts.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

// Told by the web view when an editable element of its page gets or loses the focus.
class FieldFocusListener {
 public:
  virtual ~FieldFocusListener() = default;
  // Also when the focus moves on to a field of another purpose. `keyboardUnwanted`: the page
  // asked for no on-screen keyboard (inputmode="none").
  virtual void FieldFocused(fw::TInputPurpose purpose, bool keyboardUnwanted) = 0;
  virtual void FieldBlurred() = 0;
  // A key of a hardware keyboard is on its way to the field.
  virtual void HardwareKeyPressed() = 0;
};

// The web view's input-method context, for the program's own keyboard: it reports the focus
// of the page's fields and puts text into them; keys from a hardware keyboard pass through.
class KeyboardInputContext {
 public:
  explicit KeyboardInputContext(FieldFocusListener& listener);
  ~KeyboardInputContext();
  KeyboardInputContext(const KeyboardInputContext&) = delete;
  KeyboardInputContext& operator=(const KeyboardInputContext&) = delete;

  WebKitInputMethodContext* Context() const { return context_.get(); }
  // What the focused field expects now.
  fw::TInputPurpose Purpose() const;
  void Commit(const std::string& text);
  // The character before the caret.
  void DeleteBefore();

 private:
  ObjectRef<WebKitInputMethodContext> context_;
};

}  // namespace fw::gtk
