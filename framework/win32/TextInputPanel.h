#pragma once

#include <windows.h>
#include <unknwn.h>

// The Tablet PC Text Input Panel, which the system's headers here do not declare.
namespace fw::win32 {

// {F9B189D7-228B-4F2B-8650-B97F59E02C8C}
inline constexpr CLSID CLSID_TextInputPanel = {
    0xF9B189D7, 0x228B, 0x4F2B, {0x86, 0x50, 0xB9, 0x7F, 0x59, 0xE0, 0x2C, 0x8C}};
// {6B6A65A5-6AF3-46C2-B6EA-56CD1F80DF71}
inline constexpr IID IID_ITextInputPanel = {
    0x6B6A65A5, 0x6AF3, 0x46C2, {0xB6, 0xEA, 0x56, 0xCD, 0x1F, 0x80, 0xDF, 0x71}};

// Only the methods used here are named; the rest keep their places in the table.
struct ITextInputPanel : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_AttachedEditWindow(HWND* window) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AttachedEditWindow(HWND window) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentInteractionMode(int* mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DefaultInPlaceState(int* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DefaultInPlaceState(int state) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentInPlaceState(int* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DefaultInputArea(int* area) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DefaultInputArea(int area) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentInputArea(int* area) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentCorrectionMode(int* mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PreferredInPlaceDirection(int* direction) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_PreferredInPlaceDirection(int direction) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ExpandPostInsertionCorrection(BOOL* expand) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ExpandPostInsertionCorrection(BOOL expand) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InPlaceVisibleOnFocus(BOOL* visible) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_InPlaceVisibleOnFocus(BOOL visible) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InPlaceBoundingRectangle(RECT* bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PopUpCorrectionHeight(int* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PopDownCorrectionHeight(int* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommitPendingInput() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetInPlaceVisibility(BOOL visible) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetInPlacePosition(int x, int y, int position) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetInPlaceHoverTargetPosition(int x, int y) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(IUnknown* sink) = 0;
};

}  // namespace fw::win32
