#pragma once
// The restore of a menu form's saved appearance: the project file's
// Project/MainForm holds the form's caption and opacity and, under
// Components, per component a picture path or a caption. They are set by
// name through the components' Qt properties, so only a component that has
// such a property takes the value.

#include <string_view>

#include <pugixml.hpp>

namespace orb {

// Applies the saved appearance to the running menu's form, in this order:
// the caption, the opacity value, the opacity switch, then each child of
// Components in document order (Path before Caption). The first failure
// ends the restore there, with what was set before kept: a missing or
// unreadable value, a value that does not convert, a component without the
// property, a picture that cannot be read. A child that names no component
// of the form is skipped. Does nothing when the menu has no form.
void RestoreProperties();

// Project/MainForm/Components of the loaded project (Project and MainForm
// are created empty when missing), or an empty node.
pugi::xml_node GetComponentsNode();
// The first child of Components with that name, or an empty node.
pugi::xml_node GetComponentNode(std::string_view componentName);
// The form's own value (owner "MainForm") under MainForm, or a component's
// under its element in Components; an empty node when there is none.
pugi::xml_node GetPropertyNode(std::string_view propertyName, std::string_view ownerName);

}  // namespace orb
