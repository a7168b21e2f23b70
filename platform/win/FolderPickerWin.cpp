// The folder picker on Windows: the shell's own browse dialog, its tree
// rooted at the root folder's shell item.

#include <windows.h>
#include <shlobj.h>

#include <QApplication>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

#include "platform/DisplayText.h"
#include "platform/FolderPickerBackend.h"

namespace orb {
namespace {

struct TShellMemoryFree {
  void operator()(ITEMIDLIST* item) const { ::CoTaskMemFree(item); }
};
// A shell item, freed through the shell's allocator.
using TShellItem = std::unique_ptr<ITEMIDLIST, TShellMemoryFree>;

HWND ApplicationWindow() {
  QWidget* window = QApplication::activeWindow();
  return window ? reinterpret_cast<HWND>(window->winId()) : nullptr;
}

// The root's shell item; none, so that the tree starts at the desktop, when
// the root is empty or the shell cannot parse it.
TShellItem RootItem(const std::string& root, HWND owner) {
  if (root.empty()) return nullptr;
  IShellFolder* desktop = nullptr;
  if (FAILED(::SHGetDesktopFolder(&desktop))) return nullptr;
  std::wstring name = QString::fromStdString(root).toStdWString();
  LPITEMIDLIST item = nullptr;
  HRESULT parsed = desktop->ParseDisplayName(owner, nullptr, name.data(), nullptr, &item, nullptr);
  desktop->Release();
  return TShellItem(SUCCEEDED(parsed) ? item : nullptr);
}

// Keeps the program's other windows disabled while the dialog is shown.
class TDisabledWindows {
 public:
  TDisabledWindows() { ::EnumThreadWindows(::GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(&windows_)); }
  ~TDisabledWindows() {
    for (HWND window : windows_) ::EnableWindow(window, TRUE);
  }

 private:
  static BOOL CALLBACK Disable(HWND window, LPARAM windows) {
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
      ::EnableWindow(window, FALSE);
      reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
  }

  std::vector<HWND> windows_;
};

// Keeps the system from asking for a disk when the tree touches an empty drive.
class TNoCriticalErrorBoxes {
 public:
  TNoCriticalErrorBoxes() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~TNoCriticalErrorBoxes() { ::SetErrorMode(previous_); }

 private:
  UINT previous_;
};

}  // namespace

bool SystemPickFolder(const std::string& title, const std::string& root, std::string& folder) {
  HWND owner = ApplicationWindow();
  TShellItem rootItem = RootItem(root, owner);
  std::wstring instruction = DisplayText(title).toStdWString();
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pidlRoot = rootItem.get();
  browse.pszDisplayName = displayName;
  browse.lpszTitle = instruction.c_str();
  // Only file-system folders can be confirmed.
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  TShellItem chosen;
  {
    TDisabledWindows disabled;
    TNoCriticalErrorBoxes quiet;
    chosen.reset(::SHBrowseForFolderW(&browse));
  }
  wchar_t path[MAX_PATH] = {};
  if (!chosen || !::SHGetPathFromIDListW(chosen.get(), path)) return false;
  folder = QString::fromWCharArray(path).toStdString();
  return true;
}

}  // namespace orb
