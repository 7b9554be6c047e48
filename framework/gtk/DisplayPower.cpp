#include "framework/gtk/DisplayPower.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
#include <wayland-client.h>

#include <cstring>
#include <vector>

#include "wlr-output-power-management-unstable-v1-client-protocol.h"

namespace fw::gtk {

// The compositor's power manager, bound on a queue of its own so the toolkit's dispatch
// never sees its events.
struct DisplayPower::Wayland {
  wl_display* display = nullptr;
  wl_event_queue* queue = nullptr;
  wl_registry* registry = nullptr;
  zwlr_output_power_manager_v1* manager = nullptr;

  ~Wayland() {
    if (manager) zwlr_output_power_manager_v1_destroy(manager);
    if (registry) wl_registry_destroy(registry);
    if (queue) wl_event_queue_destroy(queue);
  }

  static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t) {
    auto* self = static_cast<Wayland*>(data);
    if (std::strcmp(interface, zwlr_output_power_manager_v1_interface.name) == 0 &&
        !self->manager) {
      self->manager = static_cast<zwlr_output_power_manager_v1*>(
          wl_registry_bind(registry, name, &zwlr_output_power_manager_v1_interface, 1));
    }
  }
  static void GlobalRemove(void*, wl_registry*, uint32_t) {}
  static constexpr wl_registry_listener kListener{Global, GlobalRemove};
};

namespace {

class ServerDpms : public DisplayPower::Dpms {
 public:
  explicit ServerDpms(Display* x) : x_(x) {}
  bool Capable() override {
    int event = 0, error = 0;
    return DPMSQueryExtension(x_, &event, &error) && DPMSCapable(x_);
  }
  bool Enabled() override {
    CARD16 level = 0;
    BOOL enabled = False;
    return DPMSInfo(x_, &level, &enabled) && enabled;
  }
  void Enable(bool enable) override {
    if (enable) {
      DPMSEnable(x_);
    } else {
      DPMSDisable(x_);
    }
    XFlush(x_);
  }
  void ForceOff(bool off) override {
    DPMSForceLevel(x_, off ? DPMSModeOff : DPMSModeOn);
    XFlush(x_);
  }

 private:
  Display* x_;
};

}  // namespace

DisplayPower::DisplayPower(GdkDisplay* display, std::unique_ptr<Dpms> dpms) : display_(display) {
  if (GDK_IS_X11_DISPLAY(display)) {
    if (!dpms) dpms = std::make_unique<ServerDpms>(gdk_x11_display_get_xdisplay(display));
    if (dpms->Capable()) dpms_ = std::move(dpms);
  } else if (GDK_IS_WAYLAND_DISPLAY(display)) {
    auto wayland = std::make_unique<Wayland>();
    wayland->display = gdk_wayland_display_get_wl_display(display);
    wayland->queue = wl_display_create_queue(wayland->display);
    if (!wayland->queue) return;
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(wayland->display));
    if (!wrapped) return;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), wayland->queue);
    wayland->registry = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    if (!wayland->registry) return;
    wl_registry_add_listener(wayland->registry, &Wayland::kListener, wayland.get());
    if (wl_display_roundtrip_queue(wayland->display, wayland->queue) < 0) return;
    if (wayland->manager) wayland_ = std::move(wayland);
  }
}

DisplayPower::~DisplayPower() = default;

DisplayPower::Method DisplayPower::Available() const {
  if (dpms_) return Method::Dpms;
  if (wayland_) return Method::OutputPower;
  return Method::CoverOnly;
}

void DisplayPower::Switch(bool on) {
  if (dpms_) {
    if (!on) {
      dpmsWasEnabled_ = dpms_->Enabled();
      // Forcing a level needs DPMS enabled; the server is left as it was once back on.
      if (!dpmsWasEnabled_) dpms_->Enable(true);
      dpms_->ForceOff(true);
    } else {
      dpms_->ForceOff(false);
      if (!dpmsWasEnabled_) dpms_->Enable(false);
    }
    return;
  }
  if (!wayland_) return;
  std::vector<zwlr_output_power_v1*> powers;
  const int monitors = gdk_display_get_n_monitors(display_);
  for (int i = 0; i < monitors; ++i) {
    GdkMonitor* monitor = gdk_display_get_monitor(display_, i);
    wl_output* output = monitor ? gdk_wayland_monitor_get_wl_output(monitor) : nullptr;
    if (!output) continue;
    zwlr_output_power_v1* power =
        zwlr_output_power_manager_v1_get_output_power(wayland_->manager, output);
    if (!power) continue;
    zwlr_output_power_v1_set_mode(
        power, on ? ZWLR_OUTPUT_POWER_V1_MODE_ON : ZWLR_OUTPUT_POWER_V1_MODE_OFF);
    powers.push_back(power);
  }
  // The mode outlives the objects; the round trip only makes sure the compositor has it.
  wl_display_roundtrip_queue(wayland_->display, wayland_->queue);
  for (zwlr_output_power_v1* power : powers) zwlr_output_power_v1_destroy(power);
  wl_display_flush(wayland_->display);
}

}  // namespace fw::gtk
