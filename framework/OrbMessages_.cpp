#include "framework/OrbMessages_.h"

#include "platform/Application.h"
#include "text/TextConvert.h"

namespace orb {

TWindowMessage StudioRestoreMessage = 0;

void RegisterStudioMessage() { StudioRestoreMessage = RegisterWindowMessage("OrbStudio_IDE_RESTORE"); }

void NotifyStudio() {
  if (!Application() || Application()->Arguments().empty()) return;
  std::int32_t window = StrToInt(Application()->Arguments().front());
  PostWindowMessage(static_cast<TWindowHandle>(window), StudioRestoreMessage);
}

}  // namespace orb
