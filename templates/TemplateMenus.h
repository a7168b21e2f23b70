#pragma once
// The menus of the template modules, registered as each module would at
// its start: "Package Software", "Simple", "Autorun file" and "Software
// Distribution", in this order.

namespace orb {

// Appends the four menus to the registry, which must have been created.
void RegisterTemplateMenus();

}  // namespace orb
