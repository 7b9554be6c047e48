// The component classes a layout may name, with the properties and events each one reads.
#include <string>

#include "framework/core/Actions.h"
#include "framework/core/GestureManager.h"
#include "framework/core/LayoutLoader.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"

namespace fw::layout {

namespace {

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

}  // namespace

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
       {Factory<TButton>(), ControlProperties(), {{"OnClick", Event(&TControl::OnClick)}}}},
      {"TImage",
       {Factory<TImage>(),
        With({{"Center", BoolProperty<TImage>(&TImage::Center)},
              {"Stretch", BoolProperty<TImage>(&TImage::Stretch)},
              {"Picture", [](Loader& l, TComponent& c, const json& v,
                             const std::string& w) { As<TImage>(c).Picture = l.Picture(v, w); }}}),
        {{"OnClick", Event(&TControl::OnClick)}}}},
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
      {"TWebBrowser",
       {Factory<TWebBrowser>(),
        ControlProperties(),
        {{"OnGiveUp", Event(&TWebBrowser::OnGiveUp)}}}},
      {"TActionList", {Factory<TActionList>(), {}, {}, true}},
      {"TAction",
       {Factory<TAction>(),
        {{"Caption", [](Loader& l, TComponent& c, const json& v,
                        const std::string& w) { As<TAction>(c).Caption = l.String(v, w); }}},
        {{"OnExecute", Event(&TAction::OnExecute)}}}},
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
          {"OnResize", Event(&TForm::OnResize)},
          {"OnKeyDown", Event(&TForm::OnKeyDown)},
          {"OnGesture", Event(&TForm::OnGesture)},
      },
      true};
  return info;
}

}  // namespace fw::layout
