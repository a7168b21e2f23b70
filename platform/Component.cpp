#include "platform/Component.h"

#include <algorithm>

#include "text/TextCompare.h"

namespace orb {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* component : components_)
    if (SameText(component->Name(), name)) return component;
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* newest = components_.back();
    components_.pop_back();
    newest->owner_ = nullptr;  // already removed from this list
    newest->BeforeDestruction();
    delete newest;
  }
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
}

}  // namespace orb
