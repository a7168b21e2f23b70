#pragma once
// The platform's own window messages; one source file per platform implements them.

#include "platform/WindowMessage.h"

namespace orb {

TWindowMessage SystemRegisterWindowMessage(const std::string& name);
void SystemPostWindowMessage(TWindowHandle window, TWindowMessage message);

}  // namespace orb
