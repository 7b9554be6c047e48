#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "framework/gtk/DisplayPower.h"

namespace fw::gtk {
namespace {

// An X server's DPMS as the program sees it, each request written down.
class RecordedDpms : public DisplayPower::Dpms {
 public:
  RecordedDpms(bool capable, bool enabled, std::string& requests)
      : capable_(capable), enabled_(enabled), requests_(requests) {}
  bool Capable() override { return capable_; }
  bool Enabled() override { return enabled_; }
  void Enable(bool enable) override {
    enabled_ = enable;
    requests_ += enable ? "enable " : "disable ";
  }
  void ForceOff(bool off) override { requests_ += off ? "off " : "on "; }

 private:
  bool capable_;
  bool enabled_;
  std::string& requests_;
};

TEST(DisplayPower, DpmsForcesTheLevelAndLeavesTheServerAsItFoundIt) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  if (G_OBJECT_TYPE_NAME(gdk_display_get_default()) != std::string("GdkX11Display"))
    GTEST_SKIP() << "not an X display";
  const struct {
    const char* what;
    bool capable, enabled;
    DisplayPower::Method method;
    const char* requests;
  } cases[] = {
      {"enabled by the operator", true, true, DisplayPower::Method::Dpms, "off on "},
      {"disabled: enabled only while off", true, false, DisplayPower::Method::Dpms,
       "enable off on disable "},
      {"no DPMS: the cover alone", false, true, DisplayPower::Method::CoverOnly, ""},
  };
  for (const auto& c : cases) {
    std::string requests;
    DisplayPower power(gdk_display_get_default(),
                       std::make_unique<RecordedDpms>(c.capable, c.enabled, requests));
    EXPECT_EQ(power.Available(), c.method) << c.what;
    power.Switch(false);
    power.Switch(true);
    EXPECT_EQ(requests, c.requests) << c.what;
  }
}

}  // namespace
}  // namespace fw::gtk
