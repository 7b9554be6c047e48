#pragma once

#include <functional>
#include <map>
#include <string>
#include <variant>

#include "framework/core/Control.h"
#include "framework/core/Scaling.h"

namespace fw {

class TGestureManager;

enum class TFormBorderStyle { bsNone, bsSizeable };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TPosition { poDesigned, poDefault };

using THandler = std::variant<TNotifyEvent, TKeyEvent, TGestureEvent>;

// What a form class makes known to its layout: the members that the layout's components
// fill, and the handlers that the layout's events name.
class Publisher {
 public:
  // Assigns the component to the member when its type fits; false when it does not.
  using FieldSlot = std::function<bool(TComponent*)>;

  template <class C>
  void Field(const std::string& name, C*& member) {
    fields_[name] = [&member](TComponent* c) {
      member = dynamic_cast<C*>(c);
      return member != nullptr;
    };
  }
  template <class F>
  void Handler(const std::string& name, F* form, void (F::*method)(TObject*)) {
    handlers_[name] = TNotifyEvent([form, method](TObject* s) { (form->*method)(s); });
  }
  template <class F>
  void Handler(const std::string& name, F* form,
               void (F::*method)(TObject*, std::uint16_t&, TShiftState)) {
    handlers_[name] = TKeyEvent([form, method](TObject* s, std::uint16_t& k, TShiftState sh) {
      (form->*method)(s, k, sh);
    });
  }
  template <class F>
  void Handler(const std::string& name, F* form,
               void (F::*method)(TObject*, const TGestureEventInfo&, bool&)) {
    handlers_[name] = TGestureEvent([form, method](TObject* s, const TGestureEventInfo& i,
                                                   bool& h) { (form->*method)(s, i, h); });
  }

  const std::map<std::string, FieldSlot>& Fields() const { return fields_; }
  const THandler* FindHandler(const std::string& name) const;

 private:
  std::map<std::string, FieldSlot> fields_;
  std::map<std::string, THandler> handlers_;
};

// A top-level window built from a layout resource. It owns every component of its layout.
class TForm : public TWinControl {
 public:
  TForm() : TWinControl(nullptr) {}
  ~TForm() override;

  // The class name the layout must state, and the name of the layout resource.
  virtual std::string ClassName() const = 0;
  virtual std::string LayoutResourceName() const = 0;
  virtual void Publish(Publisher& publisher) = 0;

  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
  TWindowState WindowState = TWindowState::wsNormal;
  TPosition Position = TPosition::poDesigned;
  bool KeyPreview = false;
  TGestureManager* GestureManager = nullptr;
  // The resolution the layout is currently scaled for.
  int PixelsPerInch = DesignPixelsPerInch;

  TKeyEvent OnKeyDown;
  TGestureEvent OnGesture;
  TNotifyEvent OnResize;

  TControlKind Kind() const override { return TControlKind::Form; }
  bool TakesPartInGestures() const override { return true; }

  // Asked when the window manager or the system's key for it (Alt+F4) closes the window; false
  // keeps it open. The session's end and the signals end the program whatever it answers.
  virtual bool CloseQuery() { return true; }

  // The platform reports a new client size: realign, then raise OnResize.
  void ClientResized(int width, int height);
  // Rescales the whole layout for a screen of `pixelsPerInch`.
  void ScaleForPixelsPerInch(int pixelsPerInch);
};

}  // namespace fw
