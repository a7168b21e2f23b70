#pragma once
// The message that tells the authoring studio the host has ended.

#include "platform/WindowMessage.h"

namespace orb {

// The identifier the window system assigned to "OrbStudio_IDE_RESTORE";
// registered once at start-up, 0 before that or without a display.
extern TWindowMessage StudioRestoreMessage;

// Registers "OrbStudio_IDE_RESTORE" and keeps its identifier.
void RegisterStudioMessage();

// If the program was given an argument, converts the first one to a signed
// 32-bit window handle and posts StudioRestoreMessage to that window with
// both parameters 0. A first argument that is not an integer fails
// (EConvertError) and nothing is posted.
void NotifyStudio();

}  // namespace orb
