#pragma once
// TComponent: an object with an owner. An owner destroys the components it
// owns when it is destroyed, in reverse order of their creation; a component
// destroyed earlier leaves its owner's list first, so nothing is destroyed
// twice.
//
// TComponentClass: a class reference, the way a registry names a class that
// it can create later without knowing its type.

#include <string>
#include <string_view>
#include <vector>

namespace orb {

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  // The name by which an owner finds the component. A component that is a
  // Qt object keeps it as its object name, so a name that a .ui file gave it
  // counts as well.
  virtual std::string Name() const { return name_; }
  virtual void SetName(std::string name) { name_ = std::move(name); }

  // The owned components, in order of creation.
  const std::vector<TComponent*>& Components() const { return components_; }
  // The first owned component of that name, compared without regard to case.
  TComponent* FindComponent(std::string_view name) const;

  // Runs when the owner is about to destroy this component, while it is
  // still whole (its destructors have not run yet).
  virtual void BeforeDestruction() {}

 protected:
  // Destroys every owned component, the newest first. Called by the
  // destructor; an owner that must outlive its components' destruction
  // (the application) calls it earlier.
  void DestroyComponents();

 private:
  void InsertComponent(TComponent* component) { components_.push_back(component); }
  void RemoveComponent(TComponent* component);

  TComponent* owner_;
  std::string name_;
  std::vector<TComponent*> components_;
};

struct TComponentClass {
  // Whether instances are forms (windows) rather than non-visual components.
  bool IsForm;
  // Creates an instance with the owner; the owner will destroy it.
  TComponent* (*Create)(TComponent* owner);
};

}  // namespace orb
