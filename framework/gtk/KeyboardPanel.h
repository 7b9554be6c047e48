#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <vector>

#include "framework/core/KeyboardGeometry.h"
#include "framework/core/OnScreenKeyboard.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/KeyboardInputContext.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

// The program's keyboard for a web view's fields: a panel along the bottom edge of the
// form, full width, over every control. It shows when a field gets the focus and hides when
// it loses it or on the hide key. Its taps take no part in strokes.
class KeyboardPanel : public FieldFocusListener {
 public:
  // `onShown` runs after the panel shows or hides, `onFieldFocused` when a field gets the
  // focus while it shows already.
  KeyboardPanel(WidgetPeer& view, std::function<void(bool shown)> onShown,
                std::function<void()> onFieldFocused);
  ~KeyboardPanel() override;
  KeyboardPanel(const KeyboardPanel&) = delete;
  KeyboardPanel& operator=(const KeyboardPanel&) = delete;

  bool Shown() const { return shown_; }
  void Hide();
  // While not allowed it stays hidden; afterwards it comes at the next focus or tap.
  void Allow(bool allowed);
  // The panel's top edge in the form's client area, device pixels.
  int Top() const;
  // Along the bottom edge of the form at its current size and resolution.
  void Place();

  void FieldFocused(fw::TInputPurpose purpose, bool keyboardUnwanted) override;
  void FieldBlurred() override;
  // A visitor who types on a keyboard needs none on the screen: the page gets its height back.
  void HardwareKeyPressed() override { Hide(); }
  // A tap into the page while a field has the focus brings back a keyboard the hide key took.
  void PageTapped();

 private:
  void Show();
  void SetShown(bool shown);
  void Apply(const fw::TKeyOutcome& outcome);
  int PixelsPerInch() const;
  int Width() const;
  GtkLayout* FormContainer() const;
  gboolean Draw(GtkWidget*, cairo_t* cr);
  gboolean Press(GtkWidget*, GdkEventButton* event);
  gboolean Release(GtkWidget*, GdkEventButton* event);
  gboolean Motion(GtkWidget*, GdkEventMotion*);

  WidgetPeer& view_;
  std::function<void(bool)> onShown_;
  std::function<void()> onFieldFocused_;
  KeyboardInputContext input_;
  ObjectRef<GtkWidget> panel_;
  std::vector<SignalConnection> connections_;
  fw::TOnScreenKeyboard keyboard_;
  std::vector<fw::TKeyPlace> places_;
  std::optional<std::size_t> pressed_;  // index into places_ while a key is held
  bool shown_ = false;
  bool fieldFocused_ = false;
  bool allowed_ = true;
};

}  // namespace fw::gtk
