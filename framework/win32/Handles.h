#pragma once

#include <windows.h>
#include <oleauto.h>

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

inline BOOL WINAPI DeleteGdiObject(HGDIOBJ h) { return DeleteObject(h); }
inline BOOL WINAPI CloseRegistryKey(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }

using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteGdiObject>;
using UniqueKey = UniqueHandle<HKEY, CloseRegistryKey>;

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
  explicit UniqueBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  ~UniqueBstr() { SysFreeString(bstr_); }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_;
};

}  // namespace fw::win32
