#include "framework/gtk/StyleSheet.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "framework/core/StyleManager.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/StyleSupport.h"

namespace {

fw::TColor ToColor(const GdkRGBA& c) {
  const auto channel = [](double v) { return static_cast<std::uint8_t>(v * 255 + 0.5); };
  return fw::TColor::Rgb(channel(c.red), channel(c.green), channel(c.blue));
}

// The program's own style, as compiled into this test.
fw::TStyle DarkStyle() {
  const auto styles = fw::gtk::EmbeddedStyles();
  EXPECT_EQ(styles.size(), 1u);
  auto style = fw::DecodeStyle(styles.at(0).Data);
  EXPECT_TRUE(style);
  return *style;
}

}  // namespace

// The toolkit resolves the generated sheet to the style's look in every button state,
// combined states included, as the Windows build draws them.
TEST(ButtonStyleSheet, GivesEachButtonStateTheStylesLook) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  const fw::TStyle style = DarkStyle();
  const auto sheet = fw::gtk::ObjectRef<GtkCssProvider>::Adopt(gtk_css_provider_new());
  const std::string css = fw::gtk::ButtonStyleSheet(style);
  GError* error = nullptr;
  ASSERT_TRUE(gtk_css_provider_load_from_data(sheet.get(), css.c_str(), -1, &error)) << css;
  const auto button = fw::gtk::ObjectRef<GtkWidget>::Adopt(gtk_button_new_with_label("Кабинет"));
  GtkStyleContext* context = gtk_widget_get_style_context(button.get());
  gtk_style_context_add_class(context, fw::gtk::kButtonClass);
  gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(sheet.get()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

  const struct {
    GtkStateFlags flags;
    fw::TButtonState state;
  } cases[] = {
      {GTK_STATE_FLAG_NORMAL, fw::TButtonState::Normal},
      {GTK_STATE_FLAG_FOCUSED, fw::TButtonState::Focused},
      {GtkStateFlags(GTK_STATE_FLAG_PRELIGHT | GTK_STATE_FLAG_FOCUSED), fw::TButtonState::Hot},
      {GtkStateFlags(GTK_STATE_FLAG_ACTIVE | GTK_STATE_FLAG_PRELIGHT | GTK_STATE_FLAG_FOCUSED),
       fw::TButtonState::Pressed},
      {GtkStateFlags(GTK_STATE_FLAG_INSENSITIVE | GTK_STATE_FLAG_ACTIVE),
       fw::TButtonState::Disabled},
  };
  for (const auto& c : cases) {
    const fw::TButtonLook look = fw::ButtonLook(style, c.state);
    gtk_style_context_set_state(context, c.flags);
    GdkRGBA text;
    GdkRGBA* face = nullptr;
    GdkRGBA* border = nullptr;
    gtk_style_context_get_color(context, c.flags, &text);
    gtk_style_context_get(context, c.flags, "background-color", &face, "border-left-color", &border,
                          nullptr);
    const fw::TColor borderColor = ToColor(*border);
    gdk_rgba_free(border);
    GtkBorder width;
    gtk_style_context_get_border(context, c.flags, &width);
    const int state = static_cast<int>(c.state);
    EXPECT_EQ(ToColor(text), look.Text) << state;
    EXPECT_EQ(borderColor, look.Border) << state;
    EXPECT_EQ(width.left, look.BorderWidth) << state;
    if (look.Face) {
      EXPECT_EQ(ToColor(*face), *look.Face) << state;
      EXPECT_EQ(face->alpha, 1.0) << state;
    } else {
      EXPECT_EQ(face->alpha, 0.0) << state << ": the background shows through";
    }
    gdk_rgba_free(face);
  }
}
