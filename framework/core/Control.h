#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/Color.h"
#include "framework/core/Component.h"
#include "framework/core/Font.h"
#include "framework/core/Geometry.h"

namespace fw {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The native side of a control, supplied by a platform backend. The control tells it what
// changed; the peer reads the new state back from the control.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void BoundsChanged() = 0;
  virtual void VisibleChanged() = 0;
  virtual void AppearanceChanged() = 0;
  virtual void BringToFront() = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
};

// Every concrete control class. The backends switch over it with no default, so a new class
// cannot be left without a native window on either platform.
enum class TControlKind { Form, Panel, SplitView, Button, Image, WebBrowser };

class TWinControl;
class TPopupMenu;

class TControl : public TComponent {
 public:
  using TComponent::TComponent;
  ~TControl() override;

  virtual TControlKind Kind() const = 0;

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);

  // Bounds relative to the parent's client area, in device pixels.
  const TBounds& Bounds() const { return bounds_; }
  void SetBounds(const TBounds& bounds);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent up to the form.
  bool Showing() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // The control's own font and colour, or its parent's while ParentFont / ParentColor hold.
  TFont Font;
  bool ParentFont = true;
  TColor Color = clBtnFace;
  bool ParentColor = true;
  const TFont& EffectiveFont() const;
  TColor EffectiveColor() const;

  // Position in the parent's tab order; the layout gives it.
  int TabOrder = 0;
  // Whether Tab and the first focus stop at this control.
  virtual bool TabStop() const { return false; }
  // Whether strokes that begin on this control are tracked as gestures.
  virtual bool TakesPartInGestures() const { return false; }

  TNotifyEvent OnClick;
  virtual void Click();

  // The context menu, if the control has one.
  TPopupMenu* PopupMenu = nullptr;

  bool CanFocus() const { return Showing(); }
  void SetFocus();
  bool Focused() const;
  void BringToFront();

  // Scales every length and the own font by numerator / denominator.
  virtual void ChangeScale(int numerator, int denominator);

  ControlPeer* Peer() const { return peer_.get(); }
  void AttachPeer(std::unique_ptr<ControlPeer> peer);
  void ReleasePeer() { peer_.reset(); }

 protected:
  // Places the control without asking the parent to realign (the parent does the asking).
  void PlaceAt(const TBounds& bounds);
  virtual void Resized() {}
  void NotifyAppearance();

 private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  TBounds bounds_;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  std::string caption_;
  std::unique_ptr<ControlPeer> peer_;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;

  // Child controls in creation order: later ones lie above earlier ones.
  const std::vector<TControl*>& Controls() const { return controls_; }

  // Lays out the aligned children: top, bottom, left, right, then client, each taking its
  // strip from what is left of the client area. Hidden children take no part.
  void AlignControls();

  // Children ordered by TabOrder (ties by creation order).
  std::vector<TControl*> TabOrderList() const;
  // The first control, depth first in tab order, that is a tab stop and can take the focus.
  TControl* FirstFocusable() const;

  void ChangeScale(int numerator, int denominator) override;

 protected:
  void Resized() override { AlignControls(); }

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
};

}  // namespace fw
