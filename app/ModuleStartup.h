#pragma once
// The modules' start-up and shut-down, in an explicit order rather than the
// order in which static objects happen to be initialised.

namespace orb {

// Before the application object exists: the registry of menu classes is
// created empty, the template modules register their menus, the studio
// message is registered.
void StartModules();

// After the application object has destroyed its components: the shared
// state is released.
void FinishModules();

}  // namespace orb
