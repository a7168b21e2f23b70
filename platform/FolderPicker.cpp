#include "platform/FolderPicker.h"

#include "platform/FolderPickerBackend.h"

namespace orb {
namespace {

IFolderPicker* replacement = nullptr;

}  // namespace

bool PickFolder(const std::string& title, const std::string& root, std::string& folder) {
  return replacement ? replacement->Pick(title, root, folder) : SystemPickFolder(title, root, folder);
}

void SetFolderPicker(IFolderPicker* picker) { replacement = picker; }

}  // namespace orb
