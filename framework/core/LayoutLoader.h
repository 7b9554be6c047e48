#pragma once

// The layout loader's inner parts, shared by the document walk (Layout.cpp) and the class
// tables (LayoutClasses.cpp). Not for use outside the core.
#include <climits>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "framework/core/Bitmap.h"
#include "framework/core/Color.h"
#include "framework/core/Component.h"
#include "framework/core/Font.h"
#include "framework/core/Form.h"

namespace fw::layout {

using json = nlohmann::json;

class Loader;
using PropertyReader = std::function<void(Loader&, TComponent&, const json&, const std::string&)>;
using EventBinder = std::function<void(TComponent&, const THandler&)>;

// The handler type an event takes, and how a handler of that type is bound.
struct EventKind {
  std::size_t Index;  // the THandler alternative that fits
  EventBinder Bind;
};

// The index of handler type H among THandler's alternatives; no index for a type that is not one.
template <class H, std::size_t I = 0>
constexpr std::size_t HandlerIndex() {
  static_assert(I < std::variant_size_v<THandler>, "not a handler type");
  if constexpr (std::is_same_v<H, std::variant_alternative_t<I, THandler>>) {
    return I;
  } else {
    return HandlerIndex<H, I + 1>();
  }
}

// An event slot: the member's handler type chooses the kind, so a slot can only be bound to
// a handler of its own type.
template <class T, class H>
EventKind Event(H T::*member) {
  return {HandlerIndex<H>(), [member](TComponent& c, const THandler& h) {
            static_cast<T&>(c).*member = std::get<H>(h);
          }};
}

struct ClassInfo {
  std::function<std::unique_ptr<TComponent>(TComponent* owner)> Create;
  std::map<std::string, PropertyReader> Properties;
  std::map<std::string, EventKind> Events;
  bool HoldsControls = false;
};

[[noreturn]] void Fail(const std::string& resource, const std::string& where,
                       const std::string& what);

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
    layout::Fail(resource_, where, what);
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

// What the layout may name: the component classes, and the form's own properties and events.
const std::map<std::string, ClassInfo>& Classes();
const ClassInfo& FormClass();

}  // namespace fw::layout
