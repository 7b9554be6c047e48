#include "framework/core/Control.h"

#include <algorithm>

#include "framework/core/Scaling.h"

namespace fw {

TControl::~TControl() {
  peer_.reset();
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent_) std::erase(parent_->controls_, this);
  parent_ = parent;
  if (parent_) parent_->controls_.push_back(this);
}

void TControl::SetBounds(const TBounds& bounds) {
  PlaceAt(bounds);
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

void TControl::PlaceAt(const TBounds& bounds) {
  if (bounds_ == bounds) return;
  const bool resized = bounds.Width != bounds_.Width || bounds.Height != bounds_.Height;
  bounds_ = bounds;
  if (peer_) peer_->BoundsChanged();
  if (resized) Resized();
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (peer_) peer_->VisibleChanged();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

void TControl::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  NotifyAppearance();
}

void TControl::NotifyAppearance() {
  if (peer_) peer_->AppearanceChanged();
}

const TFont& TControl::EffectiveFont() const {
  return ParentFont && parent_ ? parent_->EffectiveFont() : Font;
}

TColor TControl::EffectiveColor() const {
  return ParentColor && parent_ ? parent_->EffectiveColor() : Color;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::SetFocus() {
  if (peer_) peer_->SetFocus();
}

bool TControl::Focused() const { return peer_ && peer_->Focused(); }

void TControl::BringToFront() {
  if (parent_) {
    std::erase(parent_->controls_, this);
    parent_->controls_.push_back(this);
  }
  if (peer_) peer_->BringToFront();
}

void TControl::ChangeScale(int numerator, int denominator) {
  auto scale = [&](int v) { return MulDiv(v, numerator, denominator); };
  if (!ParentFont) Font.Height = scale(Font.Height);
  PlaceAt({scale(bounds_.Left), scale(bounds_.Top), scale(bounds_.Width), scale(bounds_.Height)});
  NotifyAppearance();
}

void TControl::AttachPeer(std::unique_ptr<ControlPeer> peer) { peer_ = std::move(peer); }

void TWinControl::AlignControls() {
  // Each docked child takes at most what is left, so the remaining area never leaves this
  // control's own and no sum of lengths can overflow however many children there are.
  TBounds rest{0, 0, std::max(Bounds().Width, 0), std::max(Bounds().Height, 0)};
  for (TAlign pass :
       {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* c : controls_) {
      if (!c->Visible() || c->Align() != pass) continue;
      const TBounds& b = c->Bounds();
      const int takenHeight = std::clamp(b.Height, 0, rest.Height);
      const int takenWidth = std::clamp(b.Width, 0, rest.Width);
      switch (pass) {
        case TAlign::alTop:
          c->PlaceAt({rest.Left, rest.Top, rest.Width, b.Height});
          rest.Top += takenHeight;
          rest.Height -= takenHeight;
          break;
        case TAlign::alBottom:
          c->PlaceAt({rest.Left, rest.Bottom() - b.Height, rest.Width, b.Height});
          rest.Height -= takenHeight;
          break;
        case TAlign::alLeft:
          c->PlaceAt({rest.Left, rest.Top, b.Width, rest.Height});
          rest.Left += takenWidth;
          rest.Width -= takenWidth;
          break;
        case TAlign::alRight:
          c->PlaceAt({rest.Right() - b.Width, rest.Top, b.Width, rest.Height});
          rest.Width -= takenWidth;
          break;
        case TAlign::alClient:
          // Every client-aligned child gets the same remaining area.
          c->PlaceAt(rest);
          break;
        case TAlign::alNone:
          break;
      }
    }
  }
  for (TControl* c : controls_) {
    if (auto* container = dynamic_cast<TWinControl*>(c)) container->AlignControls();
  }
}

std::vector<TControl*> TWinControl::TabOrderList() const {
  std::vector<TControl*> list = controls_;
  std::stable_sort(list.begin(), list.end(),
                   [](const TControl* a, const TControl* b) { return a->TabOrder < b->TabOrder; });
  return list;
}

TControl* TWinControl::FirstFocusable() const {
  for (TControl* c : TabOrderList()) {
    if (!c->CanFocus()) continue;
    if (c->TabStop()) return c;
    if (auto* container = dynamic_cast<TWinControl*>(c)) {
      if (TControl* inner = container->FirstFocusable()) return inner;
    }
  }
  return nullptr;
}

void TWinControl::ChangeScale(int numerator, int denominator) {
  // Children first, so that realigning inside the new size works on scaled children.
  for (TControl* c : controls_) c->ChangeScale(numerator, denominator);
  TControl::ChangeScale(numerator, denominator);
  AlignControls();
}

}  // namespace fw
