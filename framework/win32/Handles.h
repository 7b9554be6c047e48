#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace fw::win32 {

// Owns one handle and closes it with `Close` when it goes.
template <class Handle, BOOL(WINAPI* Close)(Handle)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : handle_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle h = nullptr) {
    if (handle_ && handle_ != h) Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = nullptr;
};

template <class T>
BOOL WINAPI DeleteGdiObject(T h) {
  return DeleteObject(h);
}
inline BOOL WINAPI CloseRegistryKey(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
inline BOOL WINAPI FreeLocalText(wchar_t* text) { return LocalFree(text) == nullptr; }

using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject<HBRUSH>>;
using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject<HFONT>>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject<HBITMAP>>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDC>;  // a device context created by us
using UniqueKey = UniqueHandle<HKEY, CloseRegistryKey>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueLocalText = UniqueHandle<wchar_t*, FreeLocalText>;  // filled by FormatMessageW
using UniqueHook = UniqueHandle<HHOOK, UnhookWindowsHookEx>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;  // a process, thread or event

// A window's device context, borrowed from the system and given back.
class BorrowedDc {
 public:
  explicit BorrowedDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~BorrowedDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  BorrowedDc(const BorrowedDc&) = delete;
  BorrowedDc& operator=(const BorrowedDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of one WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context; the previous one goes back when this ends.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A reference-counted COM interface pointer.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr& operator=(ComPtr other) {
    std::swap(p_, other.p_);
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // Takes over a reference the caller already holds.
  void attach(T* p) {
    reset();
    p_ = p;
  }

 private:
  T* p_ = nullptr;
};

// A BSTR that frees itself.
class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  ~UniqueBstr() { SysFreeString(bstr_); }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  BSTR get() const { return bstr_; }
  // For out-parameters: frees what is held and hands out the slot.
  BSTR* put() {
    SysFreeString(std::exchange(bstr_, nullptr));
    return &bstr_;
  }
  std::wstring str() const { return bstr_ ? std::wstring(bstr_, SysStringLen(bstr_)) : L""; }

 private:
  BSTR bstr_ = nullptr;
};

// OLE for this thread, from OleInitialize to OleUninitialize.
class OleInitialization {
 public:
  OleInitialization();  // throws when OLE cannot be initialized
  ~OleInitialization() { OleUninitialize(); }
  OleInitialization(const OleInitialization&) = delete;
  OleInitialization& operator=(const OleInitialization&) = delete;
};

// COM for this thread as a single-threaded apartment, from CoInitialize to CoUninitialize.
// S_FALSE (COM was already initialized) still takes a matching CoUninitialize.
class ComInitialization {
 public:
  ComInitialization();  // throws when COM cannot be initialized
  ~ComInitialization() { CoUninitialize(); }
  ComInitialization(const ComInitialization&) = delete;
  ComInitialization& operator=(const ComInitialization&) = delete;
};

}  // namespace fw::win32
