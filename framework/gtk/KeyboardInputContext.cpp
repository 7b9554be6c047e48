#include "framework/gtk/KeyboardInputContext.h"

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"

namespace fw::gtk {

namespace {

struct DzKeyboardContext {
  WebKitInputMethodContext parent;
  FieldFocusListener* listener;
  bool fieldFocused;
  // The focused field's type as the listener last heard it.
  WebKitInputPurpose purpose;
  bool keyboardUnwanted;
};
struct DzKeyboardContextClass {
  WebKitInputMethodContextClass parent_class;
};

GType dz_keyboard_context_get_type();
G_DEFINE_TYPE(DzKeyboardContext, dz_keyboard_context, WEBKIT_TYPE_INPUT_METHOD_CONTEXT)

DzKeyboardContext* Self(WebKitInputMethodContext* context) {
  return G_TYPE_CHECK_INSTANCE_CAST(context, dz_keyboard_context_get_type(), DzKeyboardContext);
}

fw::TInputPurpose PurposeOf(WebKitInputPurpose purpose) {
  switch (purpose) {
    case WEBKIT_INPUT_PURPOSE_DIGITS:
      return fw::TInputPurpose::Digits;
    case WEBKIT_INPUT_PURPOSE_NUMBER:
      return fw::TInputPurpose::Number;
    case WEBKIT_INPUT_PURPOSE_PHONE:
      return fw::TInputPurpose::Phone;
    case WEBKIT_INPUT_PURPOSE_URL:
      return fw::TInputPurpose::Url;
    case WEBKIT_INPUT_PURPOSE_EMAIL:
      return fw::TInputPurpose::Email;
    case WEBKIT_INPUT_PURPOSE_PASSWORD:
      return fw::TInputPurpose::Password;
    case WEBKIT_INPUT_PURPOSE_FREE_FORM:
      break;
  }
  return fw::TInputPurpose::FreeForm;
}

// The page asked for no on-screen keyboard (inputmode="none").
bool KeyboardUnwanted(WebKitInputMethodContext* context) {
  return (webkit_input_method_context_get_input_hints(context) & WEBKIT_INPUT_HINT_INHIBIT_OSK) !=
         0;
}

void ReportField(DzKeyboardContext* self) {
  WebKitInputMethodContext* context = &self->parent;
  self->purpose = webkit_input_method_context_get_input_purpose(context);
  self->keyboardUnwanted = KeyboardUnwanted(context);
  if (self->listener)
    self->listener->FieldFocused(PurposeOf(self->purpose), self->keyboardUnwanted);
}

void FocusIn(WebKitInputMethodContext* context) {
  AtCallbackBoundary([&] {
    DzKeyboardContext* self = Self(context);
    self->fieldFocused = true;
    ReportField(self);
  });
}

void FocusOut(WebKitInputMethodContext* context) {
  AtCallbackBoundary([&] {
    DzKeyboardContext* self = Self(context);
    self->fieldFocused = false;
    if (self->listener) self->listener->FieldBlurred();
  });
}

// When the focus moves straight from one field to another the engine reports no focus change,
// only the new field's purpose and hints; both come at once, so the first notification
// carries the new type whole and the second finds nothing new.
void TypeChanged(GObject* object, GParamSpec* property) {
  AtCallbackBoundary([&] {
    DzKeyboardContext* self = Self(WEBKIT_INPUT_METHOD_CONTEXT(object));
    if (!self->fieldFocused) return;  // the focus-in that follows reports it
    WebKitInputMethodContext* context = &self->parent;
    if (webkit_input_method_context_get_input_purpose(context) != self->purpose ||
        KeyboardUnwanted(context) != self->keyboardUnwanted)
      ReportField(self);
  });
  if (auto notify = G_OBJECT_CLASS(dz_keyboard_context_parent_class)->notify)
    notify(object, property);
}

// Every key goes on to the page as it is; the program's own carry send_event.
gboolean PassKey(WebKitInputMethodContext* context, GdkEventKey* event) {
  AtCallbackBoundary([&] {
    FieldFocusListener* listener = Self(context)->listener;
    if (listener && event->type == GDK_KEY_PRESS && !event->send_event)
      listener->HardwareKeyPressed();
  });
  return FALSE;
}

// Text goes in committed whole: there is never a composition under way.
void NoPreedit(WebKitInputMethodContext*, gchar** text, GList** underlines, guint* cursor) {
  if (text) *text = g_strdup("");
  if (underlines) *underlines = nullptr;
  if (cursor) *cursor = 0;
}

void dz_keyboard_context_class_init(DzKeyboardContextClass* klass) {
  WebKitInputMethodContextClass* base = WEBKIT_INPUT_METHOD_CONTEXT_CLASS(klass);
  base->notify_focus_in = FocusIn;
  base->notify_focus_out = FocusOut;
  base->filter_key_event = PassKey;
  base->get_preedit = NoPreedit;
  base->set_enable_preedit = [](WebKitInputMethodContext*, gboolean) {};
  base->notify_cursor_area = [](WebKitInputMethodContext*, int, int, int, int) {};
  base->notify_surrounding = [](WebKitInputMethodContext*, const gchar*, guint, guint, guint) {};
  base->reset = [](WebKitInputMethodContext*) {};
  G_OBJECT_CLASS(klass)->notify = TypeChanged;
}

void dz_keyboard_context_init(DzKeyboardContext* self) {
  self->listener = nullptr;
  self->fieldFocused = false;
  self->purpose = WEBKIT_INPUT_PURPOSE_FREE_FORM;
  self->keyboardUnwanted = false;
}

}  // namespace

KeyboardInputContext::KeyboardInputContext(FieldFocusListener& listener)
    : context_(ObjectRef<WebKitInputMethodContext>::Adopt(
          WEBKIT_INPUT_METHOD_CONTEXT(g_object_new(dz_keyboard_context_get_type(), nullptr)))) {
  if (!context_) throw fw::Exception("Cannot create the keyboard's input context");
  Self(context_.get())->listener = &listener;
}

KeyboardInputContext::~KeyboardInputContext() { Self(context_.get())->listener = nullptr; }

fw::TInputPurpose KeyboardInputContext::Purpose() const {
  return PurposeOf(webkit_input_method_context_get_input_purpose(context_.get()));
}

void KeyboardInputContext::Commit(const std::string& text) {
  g_signal_emit_by_name(context_.get(), "committed", text.c_str());
}

void KeyboardInputContext::DeleteBefore() {
  g_signal_emit_by_name(context_.get(), "delete-surrounding", -1, 1u);
}

}  // namespace fw::gtk
