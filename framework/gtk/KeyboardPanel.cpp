#include "framework/gtk/KeyboardPanel.h"

#include <algorithm>
#include <cmath>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Scaling.h"
#include "framework/gtk/FormPeer.h"
#include "framework/gtk/KeyboardDrawing.h"
#include "framework/gtk/MemberCallback.h"
#include "framework/gtk/SyntheticKeys.h"

namespace fw::gtk {

namespace {

const fw::TControl& TopOf(const fw::TControl& control) {
  const fw::TControl* top = &control;
  while (top->Parent()) top = top->Parent();
  return *top;
}

guint KeyvalOf(fw::TKeyAction action) {
  switch (action) {
    case fw::TKeyAction::Tab:
      return GDK_KEY_Tab;
    case fw::TKeyAction::Left:
      return GDK_KEY_Left;
    case fw::TKeyAction::Right:
      return GDK_KEY_Right;
    default:
      return GDK_KEY_Return;
  }
}

}  // namespace

KeyboardPanel::KeyboardPanel(WidgetPeer& view, std::function<void(bool shown)> onShown,
                             std::function<void()> onFieldFocused)
    : view_(view),
      onShown_(std::move(onShown)),
      onFieldFocused_(std::move(onFieldFocused)),
      input_(*this),
      panel_(ObjectRef<GtkWidget>::Adopt(gtk_drawing_area_new())) {
  GtkWidget* panel = panel_.get();
  // Tapping a key must leave the focus in the page's field.
  gtk_widget_set_can_focus(panel, FALSE);
  gtk_widget_add_events(panel,
                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  gtk_widget_set_no_show_all(panel, TRUE);
  // Presses and releases are taken (TRUE) even when they fail: a press on the keyboard starts
  // no stroke on the form beneath.
  connections_.push_back(ConnectMember<&KeyboardPanel::Draw>(panel, "draw", this));
  connections_.push_back(
      ConnectMember<&KeyboardPanel::Press, TRUE>(panel, "button-press-event", this));
  connections_.push_back(
      ConnectMember<&KeyboardPanel::Release, TRUE>(panel, "button-release-event", this));
  connections_.push_back(
      ConnectMember<&KeyboardPanel::Motion, TRUE>(panel, "motion-notify-event", this));
  GtkLayout* form = FormContainer();
  if (!form) throw fw::Exception("The keyboard has no window to show in");
  gtk_layout_put(form, panel, 0, 0);
  Place();
  webkit_web_view_set_input_method_context(WEBKIT_WEB_VIEW(view_.Widget()), input_.Context());
}

KeyboardPanel::~KeyboardPanel() {
  webkit_web_view_set_input_method_context(WEBKIT_WEB_VIEW(view_.Widget()), nullptr);
  connections_.clear();
  if (GtkWidget* parent = gtk_widget_get_parent(panel_.get()))
    gtk_container_remove(GTK_CONTAINER(parent), panel_.get());
}

GtkLayout* KeyboardPanel::FormContainer() const {
  const WidgetPeer* form = PeerOf(TopOf(view_.Control()));
  return form ? form->Container() : nullptr;
}

int KeyboardPanel::PixelsPerInch() const {
  const auto* form = dynamic_cast<const FormPeer*>(PeerOf(TopOf(view_.Control())));
  return form ? form->PixelsPerInch() : fw::DesignPixelsPerInch;
}

int KeyboardPanel::Width() const { return TopOf(view_.Control()).Bounds().Width; }

int KeyboardPanel::Top() const {
  return TopOf(view_.Control()).Bounds().Height - fw::KeyboardHeight(PixelsPerInch());
}

void KeyboardPanel::Place() {
  const int scale = view_.ScaleFactor();
  places_ = fw::PlaceKeys(keyboard_.Rows(), Width(), PixelsPerInch());
  pressed_.reset();
  GtkWidget* panel = panel_.get();
  gtk_widget_set_size_request(panel, std::max(1, ToToolkit(Width(), scale)),
                              ToToolkit(fw::KeyboardHeight(PixelsPerInch()), scale));
  if (GtkWidget* parent = gtk_widget_get_parent(panel); parent && GTK_IS_LAYOUT(parent))
    gtk_layout_move(GTK_LAYOUT(parent), panel, 0, ToToolkit(Top(), scale));
  gtk_widget_queue_draw(panel);
}

void KeyboardPanel::FieldFocused(fw::TInputPurpose purpose, bool keyboardUnwanted) {
  fieldFocused_ = true;
  if (keyboardUnwanted || !allowed_) {
    Hide();
    return;
  }
  keyboard_.Begin(purpose);
  const bool wasShown = shown_;
  Show();
  if (wasShown && onFieldFocused_) onFieldFocused_();
}

void KeyboardPanel::FieldBlurred() {
  fieldFocused_ = false;
  Hide();
}

void KeyboardPanel::PageTapped() {
  if (fieldFocused_ && !shown_ && allowed_) {
    keyboard_.Begin(input_.Purpose());
    Show();
  }
}

void KeyboardPanel::Show() {
  Place();
  GtkWidget* panel = panel_.get();
  // Above every control of the form, the app bar and the idle warning included: a container
  // stacks its children in the order they were put in.
  if (GtkWidget* parent = gtk_widget_get_parent(panel); parent && GTK_IS_LAYOUT(parent)) {
    gtk_container_remove(GTK_CONTAINER(parent), panel);
    gtk_layout_put(GTK_LAYOUT(parent), panel, 0, ToToolkit(Top(), view_.ScaleFactor()));
  }
  gtk_widget_show(panel);
  SetShown(true);
}

void KeyboardPanel::Allow(bool allowed) {
  allowed_ = allowed;
  if (!allowed) Hide();
}

void KeyboardPanel::Hide() {
  gtk_widget_hide(panel_.get());
  pressed_.reset();
  SetShown(false);
}

void KeyboardPanel::SetShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (onShown_) onShown_(shown);
}

void KeyboardPanel::Apply(const fw::TKeyOutcome& outcome) {
  switch (outcome.What) {
    case fw::TKeyOutcome::Kind::Commit:
      input_.Commit(outcome.Text);
      break;
    case fw::TKeyOutcome::Kind::DeleteBefore:
      input_.DeleteBefore();
      break;
    case fw::TKeyOutcome::Kind::SendKey:
      SendKeyTo(view_.Widget(), KeyvalOf(outcome.Key));
      break;
    case fw::TKeyOutcome::Kind::Hide:
      Hide();
      return;
    case fw::TKeyOutcome::Kind::None:
      break;
  }
  // The page or the shift state may have changed.
  places_ = fw::PlaceKeys(keyboard_.Rows(), Width(), PixelsPerInch());
  gtk_widget_queue_draw(panel_.get());
}

gboolean KeyboardPanel::Press(GtkWidget*, GdkEventButton* event) {
  if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS) return TRUE;
  const int scale = view_.ScaleFactor();
  const fw::TKeyPlace* key =
      fw::KeyAt(places_, {static_cast<int>(event->x * scale), static_cast<int>(event->y * scale)});
  if (key) pressed_ = static_cast<std::size_t>(key - places_.data());
  gtk_widget_queue_draw(panel_.get());
  return TRUE;
}

gboolean KeyboardPanel::Motion(GtkWidget*, GdkEventMotion*) { return TRUE; }

gboolean KeyboardPanel::Release(GtkWidget*, GdkEventButton* event) {
  if (event->button != GDK_BUTTON_PRIMARY || !pressed_) return TRUE;
  const std::size_t pressed = *std::exchange(pressed_, std::nullopt);
  gtk_widget_queue_draw(panel_.get());
  const int scale = view_.ScaleFactor();
  const fw::TKeyPlace* key =
      fw::KeyAt(places_, {static_cast<int>(event->x * scale), static_cast<int>(event->y * scale)});
  // A finger that slides off the key takes the tap back.
  if (!key || static_cast<std::size_t>(key - places_.data()) != pressed) return TRUE;
  const fw::TKeyOutcome outcome = keyboard_.Tap(key->Row, key->Index);
  fw::Application->Guard([&] { Apply(outcome); });
  return TRUE;
}

gboolean KeyboardPanel::Draw(GtkWidget*, cairo_t* cr) {
  DrawKeyboard(cr, {keyboard_, places_, pressed_, TopOf(view_.Control()).EffectiveFont(),
                    view_.ScaleFactor(), PixelsPerInch()});
  return TRUE;
}

}  // namespace fw::gtk
