#include "framework/core/Component.h"

namespace fw {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() { DestroyComponents(); }

void TComponent::DestroyComponents() {
  while (!owned_.empty()) owned_.pop_back();
}

std::vector<TComponent*> TComponent::Components() const {
  std::vector<TComponent*> result;
  result.reserve(owned_.size());
  for (const auto& c : owned_) result.push_back(c.get());
  return result;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (const auto& c : owned_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

void TComponent::Own(std::unique_ptr<TComponent> component) {
  owned_.push_back(std::move(component));
}

TComponent* Adopt(TComponent& owner, std::unique_ptr<TComponent> component) {
  TComponent* raw = component.get();
  owner.Own(std::move(component));
  return raw;
}

}  // namespace fw
