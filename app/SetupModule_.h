#pragma once
// TSetupModule: the host's one data module. Its creation handler starts the
// menu that the project file names; its destruction handler tells the
// authoring studio that the host has ended.

#include "platform/Form.h"

namespace orb {

class TSetupModule : public TDataModule {
 public:
  explicit TSetupModule(TComponent* owner);
  ~TSetupModule() override;

 protected:
  void DataModuleCreate() override;
  void DataModuleDestroy() override;
};

// The instance, while it exists.
extern TSetupModule* SetupModule;

// Starts the menu named in the project file beside the program. Never fails:
// every failure ends the start silently, leaving no menu (or a menu form that
// is shown as far as it was set up).
void StartMenu();

}  // namespace orb
