#include "framework/gtk/KeyboardPanel.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Scaling.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/FormPeer.h"

namespace fw::gtk {

namespace {

struct EventDeleter {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};

struct FontDeleter {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

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
  connections_.push_back(Connect(panel, "draw", OnDraw, this));
  connections_.push_back(Connect(panel, "button-press-event", OnPress, this));
  connections_.push_back(Connect(panel, "button-release-event", OnRelease, this));
  connections_.push_back(Connect(panel, "motion-notify-event", OnMotion, this));
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
      SendKey(KeyvalOf(outcome.Key));
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

// A key press and release for the view, as the keyboard would deliver them.
void KeyboardPanel::SendKey(guint keyval) {
  GtkWidget* view = view_.Widget();
  GdkWindow* window = gtk_widget_get_window(view);
  if (!window) return;
  GdkDisplay* display = gtk_widget_get_display(view);
  guint16 keycode = 0;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                        &count) &&
      count > 0)
    keycode = static_cast<guint16>(keys[0].keycode);
  g_free(keys);
  GdkSeat* seat = gdk_display_get_default_seat(display);
  GdkDevice* keyboard = seat ? gdk_seat_get_keyboard(seat) : nullptr;
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    std::unique_ptr<GdkEvent, EventDeleter> event(gdk_event_new(type));
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.send_event = TRUE;
    event->key.time = gtk_get_current_event_time();
    event->key.keyval = keyval;
    event->key.hardware_keycode = keycode;
    if (keyboard) gdk_event_set_device(event.get(), keyboard);
    gtk_widget_event(view, event.get());
  }
}

gboolean KeyboardPanel::OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(TRUE, [&]() -> gboolean {
    auto& self = *static_cast<KeyboardPanel*>(data);
    if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS) return TRUE;
    const int scale = self.view_.ScaleFactor();
    const fw::TKeyPlace* key = fw::KeyAt(
        self.places_, {static_cast<int>(event->x * scale), static_cast<int>(event->y * scale)});
    if (key) self.pressed_ = static_cast<std::size_t>(key - self.places_.data());
    gtk_widget_queue_draw(self.panel_.get());
    // Taken here: a press on the keyboard starts no stroke on the form beneath.
    return TRUE;
  });
}

gboolean KeyboardPanel::OnMotion(GtkWidget*, GdkEventMotion*, gpointer) { return TRUE; }

gboolean KeyboardPanel::OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(TRUE, [&]() -> gboolean {
    auto& self = *static_cast<KeyboardPanel*>(data);
    if (event->button != GDK_BUTTON_PRIMARY || !self.pressed_) return TRUE;
    const std::size_t pressed = *std::exchange(self.pressed_, std::nullopt);
    gtk_widget_queue_draw(self.panel_.get());
    const int scale = self.view_.ScaleFactor();
    const fw::TKeyPlace* key = fw::KeyAt(
        self.places_, {static_cast<int>(event->x * scale), static_cast<int>(event->y * scale)});
    // A finger that slides off the key takes the tap back.
    if (!key || static_cast<std::size_t>(key - self.places_.data()) != pressed) return TRUE;
    const fw::TKeyOutcome outcome = self.keyboard_.Tap(key->Row, key->Index);
    fw::Application->Guard([&] { self.Apply(outcome); });
    return TRUE;
  });
}

gboolean KeyboardPanel::OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    static_cast<KeyboardPanel*>(data)->Draw(cr);
    return TRUE;
  });
}

// In the active style's colours, as the push buttons are drawn: the panel's background, each
// key a button in its normal state, the held one pressed.
void KeyboardPanel::Draw(cairo_t* cr) {
  const fw::TStyle none{};
  const fw::TStyle* active = fw::TStyleManager::ActiveStyle();
  const fw::TStyle& style = active ? *active : none;
  const int scale = view_.ScaleFactor();
  cairo_scale(cr, 1.0 / scale, 1.0 / scale);  // device pixels from here on
  SetSourceColor(cr, fw::StyleColor(style, "Panel", fw::clBtnFace));
  cairo_paint(cr);
  const fw::TFont& font = TopOf(view_.Control()).EffectiveFont();
  std::unique_ptr<PangoFontDescription, FontDeleter> description(pango_font_description_new());
  pango_font_description_set_family(description.get(), font.Name.c_str());
  const int keyHeight = fw::ScaleToDpi(fw::KeyHeightDesign, PixelsPerInch());
  pango_font_description_set_absolute_size(description.get(), keyHeight * 0.4 * PANGO_SCALE);
  const auto layout = ObjectRef<PangoLayout>::Adopt(pango_cairo_create_layout(cr));
  pango_layout_set_font_description(layout.get(), description.get());
  for (std::size_t k = 0; k < places_.size(); ++k) {
    const fw::TKeyPlace& place = places_[k];
    const fw::TKeySpec& key = keyboard_.Rows()[place.Row][place.Index];
    const bool pressed = pressed_ == k;
    const bool shiftOn = key.Action == fw::TKeyAction::Shift && keyboard_.Shifted();
    const fw::TButtonLook look = fw::ButtonLook(
        style, pressed || shiftOn ? fw::TButtonState::Pressed : fw::TButtonState::Normal);
    const fw::TBounds& b = place.Bounds;
    const double inset = look.BorderWidth / 2.0;
    cairo_rectangle(cr, b.Left + inset, b.Top + inset, b.Width - 2 * inset, b.Height - 2 * inset);
    if (look.Face) {
      SetSourceColor(cr, *look.Face);
      cairo_fill_preserve(cr);
    }
    SetSourceColor(cr, look.Border);
    cairo_set_line_width(cr, look.BorderWidth);
    cairo_stroke(cr);
    const std::string& label = keyboard_.Label(key);
    if (label.empty()) continue;
    pango_layout_set_text(layout.get(), label.c_str(), -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);
    SetSourceColor(cr, look.Text);
    cairo_move_to(cr, b.Left + (b.Width - width) / 2.0, b.Top + (b.Height - height) / 2.0);
    pango_cairo_show_layout(cr, layout.get());
  }
}

}  // namespace fw::gtk
