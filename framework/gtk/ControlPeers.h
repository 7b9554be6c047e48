#pragma once

#include <gtk/gtk.h>

#include "framework/core/CaptionFit.h"
#include "framework/core/StandardControls.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

// A panel or the split view: a container that paints its background and its caption.
class ContainerPeer : public WidgetPeer {
 public:
  explicit ContainerPeer(fw::TControl& control);
  GtkLayout* Container() const override { return GTK_LAYOUT(Widget()); }

 private:
  gboolean OnDraw(GtkWidget* widget, cairo_t* cr);
};

class ButtonPeer : public WidgetPeer {
 public:
  explicit ButtonPeer(fw::TControl& control);
  void AppearanceChanged() override;

 private:
  void OnClicked(GtkButton*);
  void OnLabelAllocated(GtkWidget* label, GdkRectangle* allocation);
  // Sets the label to the caption as it fits `width` device pixels, when that changed.
  void FitCaption(GtkWidget* label, int width);

  fw::TCaptionFit fitted_;
};

// A picture drawn with its alpha channel; a click inside raises OnClick.
class ImagePeer : public WidgetPeer {
 public:
  explicit ImagePeer(fw::TImage& image);

 protected:
  void ButtonPressed(const GdkEventButton&) override { pressed_ = true; }
  void ButtonReleased(const GdkEventButton& event) override;

 private:
  gboolean OnDraw(GtkWidget* widget, cairo_t* cr);
  fw::TImage& image_;
  bool pressed_ = false;
};

}  // namespace fw::gtk
