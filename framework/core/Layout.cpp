#include "framework/core/Layout.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Actions.h"
#include "framework/core/Base64.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Form.h"
#include "framework/core/GestureManager.h"
#include "framework/core/Png.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"

namespace fw {

namespace {

using json = nlohmann::json;

class Loader;
using PropertyReader = std::function<void(Loader&, TComponent&, const json&, const std::string&)>;
using EventBinder = std::function<void(TComponent&, const THandler&)>;

struct EventKind {
  std::size_t Index;  // the THandler alternative that fits
  EventBinder Bind;
};

struct ClassInfo {
  std::function<std::unique_ptr<TComponent>(TComponent* owner)> Create;
  std::map<std::string, PropertyReader> Properties;
  std::map<std::string, EventKind> Events;
  bool HoldsControls = false;
};

[[noreturn]] void Fail(const std::string& resource, const std::string& where,
                       const std::string& what) {
  throw ELayoutError(resource + ": " + where + ": " + what);
}

struct Range {
  int Min;
  int Max;
};
constexpr Range kAnyInt{INT_MIN, INT_MAX};
// Bounds stay within 16 bits, so that sums of them, and scaling for any real screen
// resolution, keep far from the limits of int.
constexpr Range kPosition{-32767, 32767};
constexpr Range kLength{0, 32767};
// Negative font heights give the character height rather than the cell height.
constexpr Range kFontHeight{-32767, 32767};

template <class T>
T& As(TComponent& c) {
  return static_cast<T&>(c);
}

class Loader {
 public:
  Loader(TForm& form, std::string_view resource) : form_(form), resource_(resource) {}

  void Load(std::string_view text);

  [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
    fw::Fail(resource_, where, what);
  }
  int Int(const json& v, const std::string& where, Range range = kAnyInt) const {
    if (!v.is_number_integer()) Fail(where, "expected an integer");
    // Large positive numbers are held unsigned; compare before narrowing either kind.
    const bool inRange =
        v.is_number_unsigned()
            ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(range.Max)
            : v.get<std::int64_t>() >= range.Min && v.get<std::int64_t>() <= range.Max;
    if (!inRange) {
      Fail(where, v.dump() + " is out of range (expected " + std::to_string(range.Min) + " to " +
                      std::to_string(range.Max) + ")");
    }
    return v.get<int>();
  }
  bool Bool(const json& v, const std::string& where) const {
    if (!v.is_boolean()) Fail(where, "expected true or false");
    return v.get<bool>();
  }
  std::string String(const json& v, const std::string& where) const {
    if (!v.is_string()) Fail(where, "expected a string");
    return v.get<std::string>();
  }
  template <class E>
  E Enum(const json& v, const std::string& where,
         std::initializer_list<std::pair<const char*, E>> names) const {
    const std::string text = String(v, where);
    std::string known;
    for (const auto& [name, value] : names) {
      if (text == name) return value;
      known += known.empty() ? name : std::string(", ") + name;
    }
    Fail(where, "unknown value '" + text + "' (expected one of: " + known + ")");
  }
  TColor Color(const json& v, const std::string& where) const {
    const auto color = ParseColor(String(v, where));
    if (!color) Fail(where, "unknown colour '" + v.get<std::string>() + "'");
    return *color;
  }
  TFont Font(const json& v, const std::string& where) const;
  TBitmap Picture(const json& v, const std::string& where) const;

  // A reference to another component, resolved once every component exists.
  void Refer(const json& v, const std::string& where, std::function<void(TComponent*)> assign) {
    fixups_.push_back({String(v, where), where, std::move(assign)});
  }
  TComponent* Find(const std::string& name) const {
    return name == form_.Name() ? &form_ : form_.FindComponent(name);
  }

 private:
  void ReadComponent(TComponent& component, const ClassInfo& info, const json& node,
                     const std::string& where);
  void ReadChildren(TComponent& parent, const json& node, const std::string& where);
  void AssignFields();

  struct Fixup {
    std::string Name;
    std::string Where;
    std::function<void(TComponent*)> Assign;
  };

  TForm& form_;
  std::string resource_;
  Publisher publisher_;
  std::vector<Fixup> fixups_;
  std::set<std::string> names_;
};

template <class T>
PropertyReader IntProperty(int T::*member) {
  return [member](Loader& l, TComponent& c, const json& v, const std::string& w) {
    As<T>(c).*member = l.Int(v, w);
  };
}

template <class T>
PropertyReader BoolProperty(bool T::*member) {
  return [member](Loader& l, TComponent& c, const json& v, const std::string& w) {
    As<T>(c).*member = l.Bool(v, w);
  };
}

PropertyReader BoundsProperty(int TBounds::*field, Range range) {
  return [field, range](Loader& l, TComponent& c, const json& v, const std::string& w) {
    auto& control = As<TControl>(c);
    TBounds b = control.Bounds();
    b.*field = l.Int(v, w, range);
    control.SetBounds(b);
  };
}

EventKind NotifyEvent(TNotifyEvent TControl::*member) {
  return {0, [member](TComponent& c, const THandler& h) {
            As<TControl>(c).*member = std::get<TNotifyEvent>(h);
          }};
}

// Properties every visual control reads.
std::map<std::string, PropertyReader> ControlProperties() {
  return {
      {"Left", BoundsProperty(&TBounds::Left, kPosition)},
      {"Top", BoundsProperty(&TBounds::Top, kPosition)},
      {"Width", BoundsProperty(&TBounds::Width, kLength)},
      {"Height", BoundsProperty(&TBounds::Height, kLength)},
      {"Align",
       [](Loader& l, TComponent& c, const json& v, const std::string& w) {
         As<TControl>(c).SetAlign(l.Enum<TAlign>(v, w,
                                                 {{"alNone", TAlign::alNone},
                                                  {"alTop", TAlign::alTop},
                                                  {"alBottom", TAlign::alBottom},
                                                  {"alLeft", TAlign::alLeft},
                                                  {"alRight", TAlign::alRight},
                                                  {"alClient", TAlign::alClient}}));
       }},
      {"Visible", [](Loader& l, TComponent& c, const json& v,
                     const std::string& w) { As<TControl>(c).SetVisible(l.Bool(v, w)); }},
      {"TabOrder", IntProperty<TControl>(&TControl::TabOrder)},
      {"Caption", [](Loader& l, TComponent& c, const json& v,
                     const std::string& w) { As<TControl>(c).SetCaption(l.String(v, w)); }},
      {"Font",
       [](Loader& l, TComponent& c, const json& v, const std::string& w) {
         auto& control = As<TControl>(c);
         control.Font = l.Font(v, w);
         control.ParentFont = false;
       }},
      {"ParentFont", BoolProperty<TControl>(&TControl::ParentFont)},
      {"Color",
       [](Loader& l, TComponent& c, const json& v, const std::string& w) {
         auto& control = As<TControl>(c);
         control.Color = l.Color(v, w);
         control.ParentColor = false;
       }},
      {"ParentColor", BoolProperty<TControl>(&TControl::ParentColor)},
  };
}

std::map<std::string, PropertyReader> With(std::map<std::string, PropertyReader> extra) {
  auto all = ControlProperties();
  all.merge(extra);
  return all;
}

template <class T>
std::function<std::unique_ptr<TComponent>(TComponent*)> Factory() {
  return [](TComponent* owner) { return std::make_unique<T>(owner); };
}

const std::map<std::string, ClassInfo>& Classes() {
  static const std::map<std::string, ClassInfo> classes{
      {"TPanel",
       {Factory<TPanel>(),
        With({{"BevelOuter",
               [](Loader& l, TComponent& c, const json& v, const std::string& w) {
                 As<TPanel>(c).BevelOuter = l.Enum<TBevelCut>(v, w,
                                                              {{"bvNone", TBevelCut::bvNone},
                                                               {"bvLowered", TBevelCut::bvLowered},
                                                               {"bvRaised", TBevelCut::bvRaised}});
               }}}),
        {},
        true}},
      {"TButton",
       {Factory<TButton>(), ControlProperties(), {{"OnClick", NotifyEvent(&TControl::OnClick)}}}},
      {"TImage",
       {Factory<TImage>(),
        With({{"Center", BoolProperty<TImage>(&TImage::Center)},
              {"Stretch", BoolProperty<TImage>(&TImage::Stretch)},
              {"Picture", [](Loader& l, TComponent& c, const json& v,
                             const std::string& w) { As<TImage>(c).Picture = l.Picture(v, w); }}}),
        {{"OnClick", NotifyEvent(&TControl::OnClick)}}}},
      {"TSplitView",
       {Factory<TSplitView>(),
        With({{"OpenedWidth",
               [](Loader& l, TComponent& c, const json& v, const std::string& w) {
                 // The pane stays open, so it is as wide as its opened width.
                 auto& pane = As<TSplitView>(c);
                 pane.OpenedWidth = l.Int(v, w, kLength);
                 TBounds b = pane.Bounds();
                 b.Width = pane.OpenedWidth;
                 pane.SetBounds(b);
               }},
              {"Placement",
               [](Loader& l, TComponent& c, const json& v, const std::string& w) {
                 // The pane docks to the edge it is placed at.
                 auto& pane = As<TSplitView>(c);
                 pane.Placement =
                     l.Enum<TSplitViewPlacement>(v, w,
                                                 {{"svpLeft", TSplitViewPlacement::svpLeft},
                                                  {"svpRight", TSplitViewPlacement::svpRight}});
                 pane.SetAlign(pane.Placement == TSplitViewPlacement::svpLeft ? TAlign::alLeft
                                                                              : TAlign::alRight);
               }}}),
        {},
        true}},
      {"TWebBrowser", {Factory<TWebBrowser>(), ControlProperties(), {}}},
      {"TActionList", {Factory<TActionList>(), {}, {}, true}},
      {"TAction",
       {Factory<TAction>(),
        {{"Caption", [](Loader& l, TComponent& c, const json& v,
                        const std::string& w) { As<TAction>(c).Caption = l.String(v, w); }}},
        {{"OnExecute",
          {0, [](TComponent& c,
                 const THandler& h) { As<TAction>(c).OnExecute = std::get<TNotifyEvent>(h); }}}}}},
      {"TGestureManager",
       {Factory<TGestureManager>(),
        {{"Gestures",
          [](Loader& l, TComponent& c, const json& v, const std::string& w) {
            if (!v.is_array()) l.Fail(w, "expected a list of gesture bindings");
            auto& manager = As<TGestureManager>(c);
            manager.Bindings.resize(v.size());
            for (std::size_t i = 0; i < v.size(); ++i) {
              const std::string at = w + "[" + std::to_string(i) + "]";
              const json& item = v[i];
              if (!item.is_object() || item.size() != 3 || !item.contains("Control") ||
                  !item.contains("Gesture") || !item.contains("Action")) {
                l.Fail(at, "expected {\"Control\", \"Gesture\", \"Action\"}");
              }
              manager.Bindings[i].Gesture = l.Enum<TStandardGesture>(
                  item["Gesture"], at + ".Gesture", {{"sgiUp", TStandardGesture::sgiUp}});
              l.Refer(item["Control"], at + ".Control", [&manager, i, &l, at](TComponent* t) {
                auto* control = dynamic_cast<TControl*>(t);
                if (!control) l.Fail(at + ".Control", "'" + t->Name() + "' is not a control");
                manager.Bindings[i].Control = control;
              });
              l.Refer(item["Action"], at + ".Action", [&manager, i, &l, at](TComponent* t) {
                auto* action = dynamic_cast<TAction*>(t);
                if (!action) l.Fail(at + ".Action", "'" + t->Name() + "' is not an action");
                manager.Bindings[i].Action = action;
              });
            }
          }}},
        {}}},
  };
  return classes;
}

const ClassInfo& FormClass() {
  static const ClassInfo info{
      nullptr,
      {
          {"Caption", ControlProperties().at("Caption")},
          {"Color", ControlProperties().at("Color")},
          {"Font", ControlProperties().at("Font")},
          {"ClientWidth", BoundsProperty(&TBounds::Width, kLength)},
          {"ClientHeight", BoundsProperty(&TBounds::Height, kLength)},
          {"BorderStyle",
           [](Loader& l, TComponent& c, const json& v, const std::string& w) {
             As<TForm>(c).BorderStyle =
                 l.Enum<TFormBorderStyle>(v, w,
                                          {{"bsNone", TFormBorderStyle::bsNone},
                                           {"bsSizeable", TFormBorderStyle::bsSizeable}});
           }},
          {"WindowState",
           [](Loader& l, TComponent& c, const json& v, const std::string& w) {
             As<TForm>(c).WindowState =
                 l.Enum<TWindowState>(v, w,
                                      {{"wsNormal", TWindowState::wsNormal},
                                       {"wsMinimized", TWindowState::wsMinimized},
                                       {"wsMaximized", TWindowState::wsMaximized}});
           }},
          {"Position",
           [](Loader& l, TComponent& c, const json& v, const std::string& w) {
             As<TForm>(c).Position = l.Enum<TPosition>(
                 v, w,
                 {{"poDesigned", TPosition::poDesigned}, {"poDefault", TPosition::poDefault}});
           }},
          {"KeyPreview", BoolProperty<TForm>(&TForm::KeyPreview)},
          {"GestureManager",
           [](Loader& l, TComponent& c, const json& v, const std::string& w) {
             l.Refer(v, w, [&c, &l, w](TComponent* t) {
               auto* manager = dynamic_cast<TGestureManager*>(t);
               if (!manager) l.Fail(w, "'" + t->Name() + "' is not a gesture manager");
               As<TForm>(c).GestureManager = manager;
             });
           }},
      },
      {
          {"OnResize",
           {0, [](TComponent& c,
                  const THandler& h) { As<TForm>(c).OnResize = std::get<TNotifyEvent>(h); }}},
          {"OnKeyDown",
           {1, [](TComponent& c,
                  const THandler& h) { As<TForm>(c).OnKeyDown = std::get<TKeyEvent>(h); }}},
          {"OnGesture",
           {2, [](TComponent& c,
                  const THandler& h) { As<TForm>(c).OnGesture = std::get<TGestureEvent>(h); }}},
      },
      true};
  return info;
}

TFont Loader::Font(const json& v, const std::string& where) const {
  if (!v.is_object()) Fail(where, "expected a font object");
  TFont font;
  for (const auto& [key, value] : v.items()) {
    const std::string at = where + "." + key;
    if (key == "Name") {
      font.Name = String(value, at);
    } else if (key == "Height") {
      font.Height = Int(value, at, kFontHeight);
    } else if (key == "Color") {
      font.Color = Color(value, at);
    } else if (key == "Charset") {
      font.Charset = Enum<TFontCharset>(
          value, at,
          {{"DEFAULT_CHARSET", TFontCharset::Default}, {"ANSI_CHARSET", TFontCharset::Ansi}});
    } else if (key == "Style") {
      if (!value.is_array()) Fail(at, "expected a list of styles");
      for (const json& s : value) {
        if (Enum<int>(s, at, {{"fsBold", 0}, {"fsItalic", 1}}) == 0)
          font.Bold = true;
        else
          font.Italic = true;
      }
    } else {
      Fail(at, "unknown font property '" + key + "'");
    }
  }
  return font;
}

TBitmap Loader::Picture(const json& v, const std::string& where) const {
  if (!v.is_object() || v.size() != 2 || !v.contains("Format") || !v.contains("Data")) {
    Fail(where, "expected {\"Format\": \"PNG\", \"Data\": base64 text}");
  }
  Enum<int>(v["Format"], where + ".Format", {{"PNG", 0}});
  const auto bytes = DecodeBase64(String(v["Data"], where + ".Data"));
  if (!bytes) Fail(where + ".Data", "malformed base64 text");
  try {
    return DecodePng(*bytes);
  } catch (const EPngError& e) {
    Fail(where + ".Data", e.what());
  }
}

void Loader::Load(std::string_view text) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::exception& e) {  // a syntax error, or a number beyond double
    fw::Fail(resource_, "malformed layout", e.what());
  }
  if (!root.is_object()) Fail("layout", "expected an object at the top");
  form_.Publish(publisher_);
  if (!root.contains("class") || root["class"] != form_.ClassName()) {
    Fail("layout", "describes class " + (root.contains("class") ? root["class"].dump() : "(none)") +
                       ", expected \"" + form_.ClassName() + "\"");
  }
  if (!root.contains("name")) Fail("layout", "the form has no \"name\"");
  form_.SetName(String(root["name"], "layout.name"));
  names_.insert(form_.Name());
  ReadComponent(form_, FormClass(), root, form_.Name());
  for (const Fixup& f : fixups_) {
    TComponent* target = Find(f.Name);
    if (!target) Fail(f.Where, "no component named '" + f.Name + "'");
    f.Assign(target);
  }
  AssignFields();
  form_.AlignControls();
}

void Loader::ReadComponent(TComponent& component, const ClassInfo& info, const json& node,
                           const std::string& where) {
  for (const auto& [key, value] : node.items()) {
    if (key == "class" || key == "name") continue;
    if (key == "properties") {
      if (!value.is_object()) Fail(where, "\"properties\" must be an object");
      for (const auto& [name, v] : value.items()) {
        auto reader = info.Properties.find(name);
        if (reader == info.Properties.end()) Fail(where, "unknown property '" + name + "'");
        reader->second(*this, component, v, where + "." + name);
      }
    } else if (key == "events") {
      if (!value.is_object()) Fail(where, "\"events\" must be an object");
      for (const auto& [name, v] : value.items()) {
        auto kind = info.Events.find(name);
        if (kind == info.Events.end()) Fail(where, "unknown event '" + name + "'");
        const std::string handlerName = String(v, where + "." + name);
        const THandler* handler = publisher_.FindHandler(handlerName);
        if (!handler) {
          Fail(where + "." + name, "unknown handler '" + handlerName + "'");
        }
        if (handler->index() != kind->second.Index) {
          Fail(where + "." + name, "handler '" + handlerName + "' does not fit this event");
        }
        kind->second.Bind(component, *handler);
      }
    } else if (key == "components") {
      if (!info.HoldsControls) Fail(where, "cannot hold components");
      ReadChildren(component, value, where);
    } else {
      Fail(where, "unknown key '" + key + "'");
    }
  }
}

void Loader::ReadChildren(TComponent& parent, const json& list, const std::string& where) {
  if (!list.is_array()) Fail(where, "\"components\" must be a list");
  for (std::size_t i = 0; i < list.size(); ++i) {
    const json& node = list[i];
    const std::string at = where + ".components[" + std::to_string(i) + "]";
    if (!node.is_object()) Fail(at, "expected an object");
    if (!node.contains("class")) Fail(at, "has no \"class\"");
    if (!node.contains("name")) Fail(at, "has no \"name\"");
    const std::string className = String(node["class"], at + ".class");
    const std::string name = String(node["name"], at + ".name");
    const std::string here = where + "." + name;
    auto info = Classes().find(className);
    if (info == Classes().end()) Fail(here, "unknown class '" + className + "'");
    if (name.empty() || !names_.insert(name).second) Fail(here, "the name is empty or used twice");

    TComponent* component = Adopt(form_, info->second.Create(&form_));
    component->SetName(name);
    auto* control = dynamic_cast<TControl*>(component);
    if (control) {
      auto* container = dynamic_cast<TWinControl*>(&parent);
      if (!container) Fail(here, "a control must sit inside a control");
      control->SetParent(container);
    } else if (auto* action = dynamic_cast<TAction*>(component)) {
      action->ActionList = dynamic_cast<TActionList*>(&parent);
      if (!action->ActionList) Fail(here, "an action must sit inside an action list");
    } else if (&parent != &form_) {
      Fail(here, "a non-visual component must sit directly in the form");
    }
    ReadComponent(*component, info->second, node, here);
  }
}

void Loader::AssignFields() {
  for (const auto& [name, assign] : publisher_.Fields()) {
    TComponent* component = form_.FindComponent(name);
    if (!component) Fail("layout", form_.ClassName() + " expects a component named '" + name + "'");
    if (!assign(component)) {
      Fail(form_.Name() + "." + name, "is not of the type " + form_.ClassName() + " expects");
    }
  }
}

}  // namespace

void LoadLayout(TForm& form, std::string_view resourceName, std::string_view json) {
  Loader(form, resourceName).Load(json);
}

}  // namespace fw
