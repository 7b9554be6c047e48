#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/Events.h"

namespace fw {

// A named part of a form. The owner destroys what it owns, the newest first.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponent* Owner() const { return owner_; }

  // The owned components in creation order.
  std::vector<TComponent*> Components() const;
  TComponent* FindComponent(const std::string& name) const;

 protected:
  void DestroyComponents();

 private:
  void Own(std::unique_ptr<TComponent> component);
  friend TComponent* Adopt(TComponent& owner, std::unique_ptr<TComponent> component);

  TComponent* owner_;
  std::string name_;
  std::vector<std::unique_ptr<TComponent>> owned_;
};

// Makes `owner` own `component` and returns it.
TComponent* Adopt(TComponent& owner, std::unique_ptr<TComponent> component);

}  // namespace fw
