#pragma once

#include <gio/gio.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// Tells the main loop when a settings file may have changed. Each file's folder is watched,
// not the file: a file that appears, is replaced by a rename or is removed is seen too. A
// folder that does not exist is watched through the nearest one above it that does, until it
// appears. A one-shot timer lets the writes of one save settle.
class SettingsWatch {
 public:
  SettingsWatch(const std::vector<std::string>& files, std::function<void()> changed);
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // `due` after `delay`, in place of a timer started before.
  void StartTimer(std::chrono::milliseconds delay, std::function<void()> due);

 private:
  struct Folder {
    std::filesystem::path file;
    std::filesystem::path watched;  // the file's folder, or the nearest above it that exists
    ObjectRef<GFileMonitor> monitor;
    SignalConnection changed;
  };

  void Watch(Folder& folder);
  void FolderChanged(GFileMonitor* monitor, GFile* file, GFile* other, GFileMonitorEvent event);
  gboolean WatchAgain();
  gboolean TimerDue();

  std::vector<Folder> folders_;
  std::function<void()> changed_;
  std::function<void()> due_;
  SourceId timer_;
  SourceId watchAgain_;
};

}  // namespace fw::gtk
