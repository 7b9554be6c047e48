#include "framework/gtk/SettingsWatch.h"

#include <system_error>

#include "framework/core/EventLog.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

namespace {

std::filesystem::path PathOf(GFile* file) {
  if (!file) return {};
  const UniqueGChar path(g_file_get_path(file));
  return path ? std::filesystem::path(path.get()) : std::filesystem::path();
}

}  // namespace

SettingsWatch::SettingsWatch(const std::vector<std::string>& files, std::function<void()> changed)
    : folders_(files.size()), changed_(std::move(changed)) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    folders_[i].file = std::filesystem::absolute(files[i]);
    Watch(folders_[i]);
  }
}

void SettingsWatch::Watch(Folder& folder) {
  folder.changed.Reset();
  folder.monitor.reset();
  std::error_code error;
  std::filesystem::path watched = folder.file.parent_path();
  while (!std::filesystem::is_directory(watched, error) && watched != watched.parent_path())
    watched = watched.parent_path();
  folder.watched = watched;
  const ObjectRef<GFile> directory = ObjectRef<GFile>::Adopt(g_file_new_for_path(watched.c_str()));
  GError* failure = nullptr;
  GFileMonitor* monitor =
      g_file_monitor_directory(directory.get(), G_FILE_MONITOR_WATCH_MOVES, nullptr, &failure);
  const UniqueGError owned(failure);
  // The kiosk goes on with the settings it has; the operator learns why changes go unseen.
  if (!monitor) {
    fw::LogEvent(fw::TEvent::SettingsProblem, folder.file.string() + ": changes are not watched: " +
                                                  (owned ? owned->message : "no reason given"));
    return;
  }
  folder.monitor = ObjectRef<GFileMonitor>::Adopt(monitor);
  folder.changed = ConnectMember<&SettingsWatch::FolderChanged>(monitor, "changed", this);
}

void SettingsWatch::FolderChanged(GFileMonitor* monitor, GFile* file, GFile* other,
                                  GFileMonitorEvent) {
  for (Folder& folder : folders_) {
    if (folder.monitor.get() != monitor) continue;
    const std::filesystem::path path = PathOf(file);
    const std::filesystem::path otherPath = PathOf(other);
    if (folder.watched != folder.file.parent_path() || path == folder.watched) {
      // A folder on the way was made or removed: watched again once this signal is over, and
      // read, since the file may have come with it.
      if (!watchAgain_) {
        watchAgain_.Reset(g_idle_add_full(
            G_PRIORITY_DEFAULT, MemberCallback<&SettingsWatch::WatchAgain, G_SOURCE_REMOVE>::Call,
            this, nullptr));
      }
      changed_();
    } else if (path == folder.file || otherPath == folder.file) {
      changed_();
    }
    return;
  }
}

gboolean SettingsWatch::WatchAgain() {
  watchAgain_.Forget();
  for (Folder& folder : folders_) Watch(folder);
  return G_SOURCE_REMOVE;
}

void SettingsWatch::StartTimer(std::chrono::milliseconds delay, std::function<void()> due) {
  due_ = std::move(due);
  timer_.Reset(g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()),
                                  MemberCallback<&SettingsWatch::TimerDue, G_SOURCE_REMOVE>::Call,
                                  this, nullptr));
}

gboolean SettingsWatch::TimerDue() {
  timer_.Forget();
  if (due_) due_();
  return G_SOURCE_REMOVE;
}

}  // namespace fw::gtk
