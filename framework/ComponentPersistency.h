#pragma once
// The restore of a menu form's saved appearance: the project file's
// Project/MainForm holds the form's caption and opacity and, under
// Components, per component a picture path or a caption. They are set by
// name through the components' Qt properties, so only a component that has
// such a property takes the value.

#include <QVariant>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

class QObject;

namespace orb {

class TForm;

// Applies the saved appearance to the running menu's form, in this order:
// the caption, the opacity value, the opacity switch, then each child of
// Components in document order (Path before Caption). The first failure
// ends the restore there, with what was set before kept: a missing or
// unreadable value, a value that does not convert, a component without the
// property, a picture that cannot be read. A child that names no component
// of the form is skipped. Does nothing when the menu has no form.
void RestoreProperties();

// One step of the restore, as it was just tried.
struct TRestoreStep {
  // "MainForm" for the form's own values, else the name of a child of Components.
  std::string Owner;
  // The property set: "Caption", "AlphaBlendValue", "AlphaBlend", "Path";
  // "Components" for the missing element; empty for a child that names no component.
  std::string Property;
  // The element the value comes from, or the child of Components that was
  // skipped; empty when the value is missing.
  pugi::xml_node Node;
  // The object that took the value, or nullptr.
  QObject* Target = nullptr;
  // The value as converted for the property, when the conversion worked.
  QVariant Value;
  // Why the step failed; the host's restore ends at such a step.
  std::exception_ptr Failure;
};

// Told of every step of the restore, in its order.
using TRestoreObserver = std::function<void(const TRestoreStep&)>;

// The restore on the form, step by step, telling the observer of each step,
// the failed ones included, and going on after a failure wherever there is
// something left to restore. RestoreProperties is this with an observer
// that rethrows the first failure.
void RestoreProperties(TForm& form, const TRestoreObserver& observer);

// Project/MainForm/Components of the loaded project (Project and MainForm
// are created empty when missing), or an empty node.
pugi::xml_node GetComponentsNode();
// The first child of Components with that name, or an empty node.
pugi::xml_node GetComponentNode(std::string_view componentName);
// The form's own value (owner "MainForm") under MainForm, or a component's
// under its element in Components; an empty node when there is none.
pugi::xml_node GetPropertyNode(std::string_view propertyName, std::string_view ownerName);

}  // namespace orb
