#pragma once
// PickFolder: lets the user choose a folder in a modal dialog that shows the
// folder tree below an instruction text. The tree starts at a root folder,
// which the user cannot leave; without a root, or when the root is no
// folder, it starts at the top of the file system. Only real folders can be
// confirmed. On Windows it is the shell's own browse dialog.

#include <string>

namespace orb {

// Shows the dialog with title as its instruction text. Returns true and the
// chosen folder, without a trailing separator except for a file-system
// root; returns false and leaves folder alone when the user cancels.
bool PickFolder(const std::string& title, const std::string& root, std::string& folder);

// The seam through which tests answer the dialog.
class IFolderPicker {
 public:
  virtual ~IFolderPicker() = default;
  virtual bool Pick(const std::string& title, const std::string& root, std::string& folder) = 0;
};

// Replaces the system's dialog; nullptr restores it.
void SetFolderPicker(IFolderPicker* picker);

}  // namespace orb
