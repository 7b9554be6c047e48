// The walk over a layout document: components, their properties and events, references
// between them, and the fields the form publishes. What each class reads is in
// LayoutClasses.cpp.
#include "framework/core/Layout.h"

#include <string>

#include "framework/core/Actions.h"
#include "framework/core/Base64.h"
#include "framework/core/Exceptions.h"
#include "framework/core/LayoutLoader.h"
#include "framework/core/Png.h"

namespace fw {

namespace layout {

void Fail(const std::string& resource, const std::string& where, const std::string& what) {
  throw ELayoutError(resource + ": " + where + ": " + what);
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
    layout::Fail(resource_, "malformed layout", e.what());
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

}  // namespace layout

void LoadLayout(TForm& form, std::string_view resourceName, std::string_view json) {
  layout::Loader(form, resourceName).Load(json);
}

}  // namespace fw
