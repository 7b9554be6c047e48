// Form12 as the program's start-up block builds it on the test's display (no window manager,
// a 1280 x 800 screen), measured in device pixels through the toolkit's own geometry.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/ProgramStartup.h"
#include "framework/core/Scaling.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/FormPeer.h"
#include "framework/gtk/PlatformApplication.h"
#include "mainwindow/Unit12.h"
#include "tests/mainwindow/gtk/Settle.h"

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 800;

// The monitor's scale factor of this run (GDK_SCALE), and the resolution it gives.
int MonitorScale() {
  const char* scale = std::getenv("GDK_SCALE");
  return scale ? std::atoi(scale) : 1;
}

void SetFontResolution(int dotsPerInch) {
  g_object_set(gtk_settings_get_default(), "gtk-xft-dpi", dotsPerInch * 1024, nullptr);
}

fw::gtk::WidgetPeer& PeerOf(const fw::TControl& control) {
  return *dynamic_cast<fw::gtk::WidgetPeer*>(control.Peer());
}

// Where the toolkit put the control's widget, in device pixels of the client area.
fw::TBounds DeviceRect(const fw::TControl& control) {
  GtkWidget* widget = PeerOf(control).Widget();
  GtkWidget* client = gtk_widget_get_parent(widget);
  while (gtk_widget_get_parent(client) && !GTK_IS_WINDOW(gtk_widget_get_parent(client)))
    client = gtk_widget_get_parent(client);
  int x = 0, y = 0;
  gtk_widget_translate_coordinates(widget, client, 0, 0, &x, &y);
  const int s = gtk_widget_get_scale_factor(widget);
  return {x * s, y * s, gtk_widget_get_allocated_width(widget) * s,
          gtk_widget_get_allocated_height(widget) * s};
}

fw::TBounds OnForm(const fw::TControl& control) {
  fw::TBounds b = control.Bounds();
  for (const fw::TControl* p = control.Parent(); p && p->Parent(); p = p->Parent()) {
    b.Left += p->Bounds().Left;
    b.Top += p->Bounds().Top;
  }
  return b;
}

// A device length as the toolkit can place it: a whole number of its pixels.
int OnScaleGrid(int length) { return fw::MulDiv(length, 1, MonitorScale()) * MonitorScale(); }
// A device rectangle as the toolkit places it: each edge outward to the next whole pixel of its
// own, so that the rectangle covers every device pixel of the layout's.
fw::TBounds OnScaleGrid(fw::TBounds b) {
  const int s = MonitorScale();
  const int left = b.Left / s * s, top = b.Top / s * s;
  const int right = (b.Left + b.Width + s - 1) / s * s, bottom = (b.Top + b.Height + s - 1) / s * s;
  return {left, top, right - left, bottom - top};
}

std::string Text(const fw::TBounds& b) {
  return std::to_string(b.Left) + "," + std::to_string(b.Top) + " " + std::to_string(b.Width) +
         "x" + std::to_string(b.Height);
}

class Form12Geometry : public ::testing::Test {
 protected:
  void Start(int fontDotsPerInch) {
    application_ = std::make_unique<fw::gtk::PlatformApplication>();
    SetFontResolution(fontDotsPerInch);
    RunStartupBlock(*application_);
    window_ = dynamic_cast<fw::gtk::FormPeer*>(Form12->Peer());
    ASSERT_TRUE(window_);
    window_->Show();
    ASSERT_TRUE(Settle([] {
      return Form12->Bounds().Width == kScreenWidth && Form12->Bounds().Height == kScreenHeight &&
             DeviceRect(*Form12->WebBrowser1).Width ==
                 OnScaleGrid(Form12->WebBrowser1->Bounds().Width);
    })) << "the window never covered the screen: "
        << Text(Form12->Bounds()) << " browser " << Text(DeviceRect(*Form12->WebBrowser1))
        << " laid out at " << Text(Form12->WebBrowser1->Bounds());
  }
  void TearDown() override {
    application_.reset();
    Form12 = nullptr;
    fw::TStyleManager::Reset();
    SetFontResolution(96);
  }

  // Every control where the layout, scaled for `pixelsPerInch`, puts it.
  void ExpectLayoutAt(int pixelsPerInch) {
    const auto k = [&](int design) { return fw::ScaleToDpi(design, pixelsPerInch); };
    EXPECT_EQ(Form12->PixelsPerInch, pixelsPerInch);
    const struct {
      const fw::TControl* control;
      fw::TBounds designed;
    } cases[] = {
        {Form12->SplitView1, {0, 0, k(200), kScreenHeight}},
        {Form12->Button1, {k(16), k(24), k(161), k(34)}},
        {Form12->Button2, {k(16), k(72), k(161), k(34)}},
        {Form12->Button3, {k(16), k(288), k(161), k(33)}},
        {Form12->Button4, {k(16), k(119), k(161), k(34)}},
        {Form12->Button5, {k(16), k(213), k(161), k(34)}},
        {Form12->Button6, {k(16), k(165), k(161), k(34)}},
        {Form12->WebBrowser1, {k(200), 0, kScreenWidth - k(200), kScreenHeight}},
        {Form12->PanelZastava, {k(200), 0, kScreenWidth - k(200), kScreenHeight}},
    };
    // The toolkit places widgets in its next layout pass.
    Settle([&] {
      for (const auto& c : cases) {
        if (Text(DeviceRect(*c.control)) != Text(OnScaleGrid(c.designed))) return false;
      }
      return true;
    });
    for (const auto& c : cases) {
      EXPECT_EQ(Text(OnForm(*c.control)), Text(c.designed)) << c.control->Name();
      EXPECT_EQ(Text(DeviceRect(*c.control)), Text(OnScaleGrid(c.designed))) << c.control->Name();
    }
    EXPECT_EQ(Form12->PanelZastava->EffectiveFont().Height, -k(64));
    ExpectBarAlongTheBottom(k(60));
  }

  // The bar is AppBarHeight device pixels high at every resolution.
  void ExpectBarAlongTheBottom(int closeIconWidth) {
    Form12->AppBarShow(1);
    const fw::TBounds bar{0, kScreenHeight - AppBarHeight, kScreenWidth, AppBarHeight};
    const fw::TBounds icon{kScreenWidth - closeIconWidth, kScreenHeight - AppBarHeight,
                           closeIconWidth, AppBarHeight};
    ASSERT_TRUE(Settle([&] { return DeviceRect(*Form12->AppBar) == OnScaleGrid(bar); }))
        << Text(DeviceRect(*Form12->AppBar));
    EXPECT_EQ(Text(OnForm(*Form12->CloseButton)), Text(icon));
    EXPECT_TRUE(Settle([&] { return DeviceRect(*Form12->CloseButton) == OnScaleGrid(icon); }))
        << Text(DeviceRect(*Form12->CloseButton));
    Form12->AppBarShow(0);
  }

  std::unique_ptr<fw::gtk::PlatformApplication> application_;
  fw::gtk::FormPeer* window_ = nullptr;
};

TEST_F(Form12Geometry, TheWindowIsUndecoratedCaptionedForm12AndCoversTheScreen) {
  Start(96);
  EXPECT_STREQ(gtk_window_get_title(window_->Window()), "Form12");
  EXPECT_FALSE(gtk_window_get_decorated(window_->Window()));
  EXPECT_STREQ(g_get_application_name(), "Кабинет Duvuzezera");
  int x = -1, y = -1, width = 0, height = 0;
  gtk_window_get_position(window_->Window(), &x, &y);
  gtk_window_get_size(window_->Window(), &width, &height);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(width * MonitorScale(), kScreenWidth);
  EXPECT_EQ(height * MonitorScale(), kScreenHeight);
}

TEST_F(Form12Geometry, ScaledForTheMonitorAtCreation) {
  Start(96);
  ExpectLayoutAt(96 * MonitorScale());
}

TEST_F(Form12Geometry, ScaledForTheFontResolutionAtCreation) {
  Start(144);
  ExpectLayoutAt(144 * MonitorScale());
}

TEST_F(Form12Geometry, ScaledAgainWhenTheResolutionChanges) {
  Start(96);
  SetFontResolution(144);
  ASSERT_TRUE(Settle([] { return Form12->PixelsPerInch == 144 * MonitorScale(); }));
  ExpectLayoutAt(144 * MonitorScale());
}

}  // namespace
