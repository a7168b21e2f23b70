#include "framework/ComponentPersistency.h"

#include <QMetaProperty>
#include <QVariant>

#include <exception>
#include <stdexcept>
#include <string>

#include "framework/LowAPI_.h"
#include "platform/DisplayText.h"
#include "text/TextConvert.h"
#include "project/Orbproject.h"

namespace orb {
namespace {

// A property set by name that the object does not have, or cannot take.
class EPropertyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

pugi::xml_node FirstChild(pugi::xml_node parent, std::string_view name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && name == child.name()) return child;
  return {};
}

void SetStoredProperty(QObject& target, const char* name, const QVariant& value) {
  const QMetaObject& meta = *target.metaObject();
  const int index = meta.indexOfProperty(name);
  if (index < 0 || !meta.property(index).isWritable()) throw EPropertyError(std::string("Property ") + name + " does not exist");
  if (!meta.property(index).write(&target, value)) throw EPropertyError("Invalid property value");
}

// Tries one step: reads the value's text, converts it and sets it; then the
// observer learns how it went.
template <class TConvert>
void TryStep(TRestoreStep step, const TRestoreObserver& observer, TConvert convert) {
  try {
    if (!step.Node) throw EXMLError("Node \"" + step.Property + "\" not found");
    step.Value = convert(LeafText(step.Node));
    SetStoredProperty(*step.Target, step.Property.c_str(), step.Value);
  } catch (...) {
    step.Failure = std::current_exception();
  }
  observer(step);
}

QVariant AsText(const std::string& text) { return DisplayText(text); }

}  // namespace

pugi::xml_node GetComponentsNode() {
  if (!ProjectRoot) return {};
  return FirstChild(ProjectRoot->Get_Project().Get_MainForm().Node(), "Components");
}

pugi::xml_node GetComponentNode(std::string_view componentName) {
  return FirstChild(GetComponentsNode(), componentName);
}

pugi::xml_node GetPropertyNode(std::string_view propertyName, std::string_view ownerName) {
  if (ownerName == "MainForm") {
    if (!ProjectRoot) return {};
    return FirstChild(ProjectRoot->Get_Project().Get_MainForm().Node(), propertyName);
  }
  return FirstChild(GetComponentNode(ownerName), propertyName);
}

void RestoreProperties(TForm& form, const TRestoreObserver& observer) {
  auto formStep = [&](const char* name) {
    return TRestoreStep{"MainForm", name, GetPropertyNode(name, "MainForm"), &form, {}, {}};
  };
  TryStep(formStep("Caption"), observer, AsText);
  TryStep(formStep("AlphaBlendValue"), observer, [](const std::string& text) { return QVariant(StrToInt(text)); });
  TryStep(formStep("AlphaBlend"), observer, [](const std::string& text) { return QVariant(StrToBool(text)); });

  pugi::xml_node components = GetComponentsNode();
  if (!components) {
    observer({"MainForm", "Components", {}, nullptr, {},
              std::make_exception_ptr(EXMLError("Node \"Components\" not found"))});
    return;
  }
  // Comments and text count among the children but name no component.
  for (pugi::xml_node child = components.first_child(); child; child = child.next_sibling()) {
    const std::string name = child.name();
    QObject* component = form.FindComponent(name);
    if (!component) {
      observer({name, {}, child, nullptr, {}, {}});
      continue;
    }
    for (const char* property : {"Path", "Caption"})
      if (pugi::xml_node value = GetPropertyNode(property, name))
        TryStep({name, property, value, component, {}, {}}, observer, AsText);
  }
}

void RestoreProperties() {
  TForm* form = CurrentMenu ? CurrentMenu->GetForm() : nullptr;
  if (!form) return;
  RestoreProperties(*form, [](const TRestoreStep& step) {
    if (step.Failure) std::rethrow_exception(step.Failure);
  });
}

}  // namespace orb
