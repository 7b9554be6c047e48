#include "mainwindow/RightClickFilter.h"

#include "framework/core/WebBrowser.h"

RightClickDecision DecideRightClick(bool isAction, HookedMouseMessage message,
                                    const fw::TControl* underPointer) {
  if (!isAction || message == HookedMouseMessage::Other) return {};
  if (!dynamic_cast<const fw::TWebBrowser*>(underPointer)) return {};
  return {true, message == HookedMouseMessage::RightButtonUp && underPointer->PopupMenu != nullptr};
}
