#include "framework/gtk/EngineMemory.h"

#include <memory>

namespace fw::gtk {

namespace {

std::uint32_t limitMib = 0;

using UniquePressureSettings =
    std::unique_ptr<WebKitMemoryPressureSettings, decltype(&webkit_memory_pressure_settings_free)>;

// The engine starts releasing memory at half the limit and hard at three quarters; it never
// kills a process itself: a page a visitor reads is not taken away, the idle reset recycles.
UniquePressureSettings PressureSettings() {
  UniquePressureSettings settings(webkit_memory_pressure_settings_new(),
                                  webkit_memory_pressure_settings_free);
  webkit_memory_pressure_settings_set_memory_limit(settings.get(), limitMib);
  // Each must stay below the next: the strict one is raised first.
  webkit_memory_pressure_settings_set_strict_threshold(settings.get(), 0.75);
  webkit_memory_pressure_settings_set_conservative_threshold(settings.get(), 0.5);
  webkit_memory_pressure_settings_set_kill_threshold(settings.get(), 0);
  return settings;
}

}  // namespace

void LimitEngineMemory(std::uint32_t mib) {
  limitMib = mib;
  if (mib == 0) return;
  // The network process takes its settings from here, before the first is started.
  webkit_website_data_manager_set_memory_pressure_settings(PressureSettings().get());
}

ObjectRef<WebKitWebContext> KioskWebContext() {
  if (limitMib == 0) return ObjectRef<WebKitWebContext>::Retain(webkit_web_context_get_default());
  const UniquePressureSettings settings = PressureSettings();
  return ObjectRef<WebKitWebContext>::Adopt(WEBKIT_WEB_CONTEXT(
      g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", settings.get(), nullptr)));
}

}  // namespace fw::gtk
