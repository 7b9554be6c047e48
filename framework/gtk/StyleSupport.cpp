#include "framework/gtk/StyleSupport.h"

#include "framework/gtk/Resources.h"

namespace fw::gtk {

std::vector<fw::TStyleManager::EmbeddedStyle> EmbeddedStyles() {
  std::vector<fw::TStyleManager::EmbeddedStyle> styles;
  for (const EmbeddedResource& resource : EmbeddedResources()) {
    if (resource.Type != std::string_view(kStyleType)) continue;
    styles.push_back({resource.Name, {resource.Data.begin(), resource.Data.end()}});
  }
  return styles;
}

void ShowMessageDialog(GtkWindow* owner, const std::string& title, const std::string& text,
                       const char* button) {
  GtkWidget* dialog = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                             GTK_BUTTONS_NONE, "%s", text.c_str());
  if (!dialog) return;
  gtk_dialog_add_button(GTK_DIALOG(dialog), button, GTK_RESPONSE_CLOSE);
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

void ShowStyleNotFoundDialog(const std::string& text) {
  ShowMessageDialog(nullptr, "Error", text, "_Close");
}

}  // namespace fw::gtk
