#pragma once
// TAutorunCDMenu: the menu of the Autorun template, registered as "Autorun
// file". It has no window. In the host it opens the one document or folder
// named in the trailer of its own program file, relative to the program
// folder, and the host then ends; in an editing environment it creates the
// editor form on which that target is chosen, and saves it into the trailer.

#include "framework/LowAPI_.h"

namespace orb {

class TAutorunCDMenu : public TCDMenuComponent {
 public:
  // With HostMode set opens the stored target, dropping every failure
  // silently; with HostMode clear creates the editor form. The owner only
  // owns the menu.
  explicit TAutorunCDMenu(TComponent* owner);

  // Appends the editor's text to the edited program file as its new trailer.
  // Fails when there is no editor form or the file cannot be written.
  void SaveMenu() override;
};

}  // namespace orb
