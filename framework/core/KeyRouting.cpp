#include "framework/core/KeyRouting.h"

#include <algorithm>
#include <vector>

#include "framework/core/Application.h"
#include "framework/core/Form.h"
#include "framework/core/StandardControls.h"

namespace fw {

namespace {

void CollectTabStops(const TWinControl& parent, std::vector<TControl*>& out) {
  for (TControl* c : parent.TabOrderList()) {
    if (c->TabStop() && c->CanFocus()) out.push_back(c);
    if (auto* container = dynamic_cast<const TWinControl*>(c); container && c->CanFocus()) {
      CollectTabStops(*container, out);
    }
  }
}

TControl* Step(const std::vector<TControl*>& ring, const TControl* current, bool forward) {
  if (ring.empty()) return nullptr;
  const auto at = std::find(ring.begin(), ring.end(), current);
  if (at == ring.end()) return forward ? ring.front() : ring.back();
  const std::size_t i = static_cast<std::size_t>(at - ring.begin());
  const std::size_t n = ring.size();
  return ring[forward ? (i + 1) % n : (i + n - 1) % n];
}

}  // namespace

TKeyRoute RouteKeyDown(std::uint16_t key, TShiftState shift, bool focusInPage,
                       bool focusOnPushButton) {
  if (focusInPage) return TKeyRoute::Page;
  if (shift & ssAlt) return TKeyRoute::Preview;
  switch (key) {
    case vkReturn:
      return focusOnPushButton ? TKeyRoute::ClickFocused : TKeyRoute::Preview;
    case vkTab:
      if (shift & ssCtrl) return TKeyRoute::Preview;
      return shift & ssShift ? TKeyRoute::TabBackward : TKeyRoute::TabForward;
    case vkRight:
    case vkDown:
      return TKeyRoute::NextSibling;
    case vkLeft:
    case vkUp:
      return TKeyRoute::PreviousSibling;
    default:
      return TKeyRoute::Preview;
  }
}

TControl* NextTabStop(const TForm& form, const TControl* current, bool forward) {
  std::vector<TControl*> ring;
  CollectTabStops(form, ring);
  return Step(ring, current, forward);
}

TControl* NextSiblingTabStop(const TControl& current, bool forward) {
  if (!current.Parent()) return nullptr;
  std::vector<TControl*> ring;
  for (TControl* c : current.Parent()->TabOrderList()) {
    if (c == &current || (c->TabStop() && c->CanFocus())) ring.push_back(c);
  }
  return Step(ring, &current, forward);
}

bool DispatchKeyDown(TForm& form, TControl& focused, std::uint16_t& key, TShiftState shift) {
  const bool onButton = dynamic_cast<TButton*>(&focused) != nullptr;
  TControl* next = nullptr;
  switch (RouteKeyDown(key, shift, false, onButton)) {
    case TKeyRoute::Page:
      return false;
    case TKeyRoute::ClickFocused:
      Application->Guard([&focused] { focused.Click(); });
      return true;
    case TKeyRoute::TabForward:
    case TKeyRoute::TabBackward:
      next = NextTabStop(form, &focused, !(shift & ssShift));
      if (next) next->SetFocus();
      return true;
    case TKeyRoute::NextSibling:
    case TKeyRoute::PreviousSibling:
      next = NextSiblingTabStop(focused, key == vkRight || key == vkDown);
      if (next) next->SetFocus();
      return true;
    case TKeyRoute::Preview:
      if (form.KeyPreview && form.OnKeyDown) {
        Application->Guard([&] { form.OnKeyDown(&form, key, shift); });
        return key == 0;  // the handler took the key
      }
      return false;
  }
  return false;
}

bool RouteKey(TControl& focused, bool focusInPage, bool keyDown, std::uint16_t& key,
              TShiftState shift, const TPageKeyHook& toPage) {
  if (focusInPage) return toPage && toPage();
  if (!keyDown) return false;
  TControl* top = &focused;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<TForm*>(top);
  return form && DispatchKeyDown(*form, focused, key, shift);
}

}  // namespace fw
