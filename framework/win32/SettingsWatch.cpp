#include "framework/win32/SettingsWatch.h"

#include <array>
#include <memory>
#include <optional>

#include "framework/core/CallbackBoundary.h"
#include "framework/win32/Errors.h"

namespace fw::win32 {

namespace {

constexpr wchar_t kClass[] = L"DuvuzezeraSettingsWatch";
constexpr UINT kChanged = WM_APP + 1;
constexpr UINT_PTR kSettleTimer = 1;

std::wstring Parent(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct CloseChangeNotification {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) FindCloseChangeNotification(h);
  }
};

// A change notification on the file's folder, or on the nearest folder above it that exists.
class FolderWatch {
 public:
  explicit FolderWatch(std::wstring file) : file_(std::move(file)) {}
  ~FolderWatch() { Close(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Again from the nearest folder: the one watched may have been made or removed. Nothing is
  // watched when even the root cannot be.
  void Arm() {
    Close();
    for (std::wstring folder = Parent(file_); !folder.empty(); folder = Parent(folder)) {
      if (!IsFolder(folder)) continue;
      handle_ =
          FindFirstChangeNotificationW(folder.c_str(), FALSE,
                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
      return;
    }
  }
  HANDLE Handle() const { return handle_; }

 private:
  void Close() {
    CloseChangeNotification()(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  std::wstring file_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A notification on the policy key under `root`, or on the nearest key above it that exists,
// for its values and the keys below it.
class KeyWatch {
 public:
  KeyWatch(HKEY root, std::wstring key)
      : root_(root), key_(std::move(key)), event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

  // Registered by the thread that waits: the notification ends with the thread that asked.
  void Arm() {
    opened_.reset();
    if (!event_) return;
    for (std::wstring key = key_; !key.empty(); key = Parent(key)) {
      HKEY found = nullptr;
      if (RegOpenKeyExW(root_, key.c_str(), 0, KEY_NOTIFY, &found) != ERROR_SUCCESS) continue;
      opened_.reset(found);
      if (RegNotifyChangeKeyValue(found, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                  event_.get(), TRUE) != ERROR_SUCCESS) {
        opened_.reset();
      }
      return;
    }
  }
  HANDLE Handle() const { return opened_ ? event_.get() : INVALID_HANDLE_VALUE; }

 private:
  HKEY root_;
  std::wstring key_;
  UniqueKernelHandle event_;
  UniqueKey opened_;
};

void RegisterWatchClass(WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  if (!RegisterClassExW(&wc)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS)
      ThrowSystemError(error, "Cannot register the settings watch's window class");
  }
}

}  // namespace

SettingsWatch::SettingsWatch(std::vector<std::wstring> files, std::wstring policyKey,
                             std::function<void()> changed)
    : files_(std::move(files)), policyKey_(std::move(policyKey)), changed_(std::move(changed)) {
  RegisterWatchClass(Procedure);
  window_.reset(CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (!window_) ThrowLastError("Cannot create the settings watch's window");
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_) ThrowLastError("Cannot create the settings watch's event");
  thread_.reset(CreateThread(nullptr, 0, WatchThread, this, 0, nullptr));
  if (!thread_) ThrowLastError("Cannot start the settings watch");
}

SettingsWatch::~SettingsWatch() {
  SetEvent(stop_.get());
  if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
  if (window_) KillTimer(window_.get(), kSettleTimer);
}

void SettingsWatch::StartTimer(std::chrono::milliseconds delay, std::function<void()> due) {
  due_ = std::move(due);
  if (!SetTimer(window_.get(), kSettleTimer, static_cast<UINT>(delay.count()), nullptr))
    ThrowLastError("No timer is left for the settings watch");
}

LRESULT CALLBACK SettingsWatch::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SettingsWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == kChanged) {
    fw::AtCallbackBoundary([self] { self->changed_(); });
    return 0;
  }
  if (self && message == WM_TIMER && wParam == kSettleTimer) {
    KillTimer(window, kSettleTimer);
    fw::AtCallbackBoundary([self] {
      if (self->due_) self->due_();
    });
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI SettingsWatch::WatchThread(void* self) {
  static_cast<SettingsWatch*>(self)->Watch();
  return 0;
}

// Every wait ends in a post to the window, then the source is watched again. A source that
// cannot be watched is left out; the others still are.
void SettingsWatch::Watch() noexcept {
  try {
    std::vector<std::unique_ptr<FolderWatch>> folders;
    for (const std::wstring& file : files_) folders.push_back(std::make_unique<FolderWatch>(file));
    std::array<KeyWatch, 2> keys = {KeyWatch(HKEY_LOCAL_MACHINE, policyKey_),
                                    KeyWatch(HKEY_CURRENT_USER, policyKey_)};
    for (auto& folder : folders) folder->Arm();
    for (KeyWatch& key : keys) key.Arm();
    for (;;) {
      std::vector<HANDLE> handles = {stop_.get()};
      std::vector<std::function<void()>> rearm = {nullptr};
      for (auto& folder : folders) {
        if (folder->Handle() == INVALID_HANDLE_VALUE) continue;
        handles.push_back(folder->Handle());
        rearm.push_back([&folder] { folder->Arm(); });
      }
      for (KeyWatch& key : keys) {
        if (key.Handle() == INVALID_HANDLE_VALUE) continue;
        handles.push_back(key.Handle());
        rearm.push_back([&key] { key.Arm(); });
      }
      const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                  handles.data(), FALSE, INFINITE);
      if (result - WAIT_OBJECT_0 >= handles.size()) return;
      const std::size_t index = result - WAIT_OBJECT_0;
      if (index == 0) return;
      PostMessageW(window_.get(), kChanged, 0, 0);
      rearm[index]();
    }
  } catch (...) {
    // The watch ends; the kiosk goes on with the settings it has.
  }
}

}  // namespace fw::win32
