#include "framework/ComponentPersistency.h"

#include <QMetaProperty>
#include <QVariant>

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

// The text of a value that must be there.
std::string RequiredText(pugi::xml_node node, std::string_view name) {
  if (!node) throw EXMLError("Node \"" + std::string(name) + "\" not found");
  return LeafText(node);
}

void SetStoredProperty(QObject& target, const char* name, const QVariant& value) {
  const QMetaObject& meta = *target.metaObject();
  const int index = meta.indexOfProperty(name);
  if (index < 0 || !meta.property(index).isWritable()) throw EPropertyError(std::string("Property ") + name + " does not exist");
  if (!meta.property(index).write(&target, value)) throw EPropertyError("Invalid property value");
}

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

void RestoreProperties() {
  TForm* form = CurrentMenu ? CurrentMenu->GetForm() : nullptr;
  if (!form) return;
  auto formValue = [](const char* name) { return RequiredText(GetPropertyNode(name, "MainForm"), name); };
  SetStoredProperty(*form, "Caption", DisplayText(formValue("Caption")));
  SetStoredProperty(*form, "AlphaBlendValue", StrToInt(formValue("AlphaBlendValue")));
  SetStoredProperty(*form, "AlphaBlend", StrToBool(formValue("AlphaBlend")));

  pugi::xml_node components = GetComponentsNode();
  if (!components) throw EXMLError("Node \"Components\" not found");
  // Comments and text count among the children but name no component.
  for (pugi::xml_node child = components.first_child(); child; child = child.next_sibling()) {
    const std::string name = child.name();
    QObject* component = form->FindComponent(name);
    if (!component) continue;
    for (const char* property : {"Path", "Caption"})
      if (pugi::xml_node value = GetPropertyNode(property, name))
        SetStoredProperty(*component, property, DisplayText(LeafText(value)));
  }
}

}  // namespace orb
