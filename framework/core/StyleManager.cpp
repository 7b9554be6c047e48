#include "framework/core/StyleManager.h"

#include <optional>

#include "framework/core/Exceptions.h"
#include "framework/core/Messages.h"

namespace fw {

namespace {

struct State {
  TStyleManager::Platform platform;
  bool embeddedRead = false;
  std::vector<TStyle> loaded;
  std::optional<std::size_t> active;
};

State& Current() {
  static State state;
  return state;
}

void ReadEmbedded(State& state) {
  state.embeddedRead = true;
  if (!state.platform.ListEmbedded) return;
  std::vector<std::string> unreadable;
  for (const auto& resource : state.platform.ListEmbedded()) {
    if (auto style = DecodeStyle(resource.Data)) {
      state.loaded.push_back(std::move(*style));
    } else {
      unreadable.push_back(resource.ResourceName);
    }
  }
  if (unreadable.size() == 1) throw EStyleError("Unable to load style '" + unreadable[0] + "'");
  if (!unreadable.empty()) {
    std::string list;
    for (const auto& name : unreadable) list += (list.empty() ? "" : ", ") + name;
    throw EStyleError("Unable to load styles: " + list);
  }
}

}  // namespace

void TStyleManager::SetPlatform(Platform platform) { Current().platform = std::move(platform); }

bool TStyleManager::TrySetStyle(const std::string& name, bool showErrorDialog) {
  State& state = Current();
  if (!state.embeddedRead) ReadEmbedded(state);
  for (std::size_t i = 0; i < state.loaded.size(); ++i) {
    if (SameStyleName(state.loaded[i].Name, name)) {
      state.active = i;
      return true;
    }
  }
  if (showErrorDialog && state.platform.ShowNotFound)
    state.platform.ShowNotFound(StyleNotFoundText(name));
  return false;
}

const TStyle* TStyleManager::ActiveStyle() {
  const State& state = Current();
  return state.active ? &state.loaded[*state.active] : nullptr;
}

void TStyleManager::Reset() {
  State& state = Current();
  state.embeddedRead = false;
  state.loaded.clear();
  state.active.reset();
}

}  // namespace fw
