#include "framework/LowAPI_.h"

#include <stdexcept>

#include "platform/ShellOpen.h"
#include "text/TextCompare.h"

namespace orb {

std::vector<std::string> CDMenuNames;
TCDMenuList CDMenuClasses;

bool HostMode = false;
std::string ProgramFolder;
std::string ProgramBaseName;
TXMLDocument* ProjectDocument = nullptr;
std::optional<TXMLOrbdeckType> ProjectRoot;
TCDMenuRef CurrentMenu;
TDBForm* CurrentDBForm = nullptr;

// ---- Base classes ------------------------------------------------------------

void DetachCurrentMenu(ICDMenu* menu) {
  if (CurrentMenu.Get() == menu) CurrentMenu.Detach();
}

std::string TCDMenuForm::GetMenuName() { return {}; }

void TCDMenuForm::RefreshMenu() {}

void TCDMenuForm::SaveMenu() {
  if (!ProjectRoot) throw std::logic_error("No project is loaded");
  ProjectRoot->Get_Project().Get_CDFormClass().Set_Title(GetMenuName());
}

void TCDMenuForm::FormClose(TCloseAction& action) {
  if (!HostMode) action = TCloseAction::None;
}

TDBForm::~TDBForm() {
  if (CurrentDBForm == this) CurrentDBForm = nullptr;
}

// ---- Registry ------------------------------------------------------------------

const TComponentClass* TCDMenuList::Items(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return classes_[std::size_t(index)];
}

void RegisterCDMenu(const TComponentClass& menuClass, std::string_view displayName) {
  CDMenuClasses.Add(&menuClass);
  CDMenuNames.emplace_back(displayName);
}

const TComponentClass& FindCDMenu(std::string_view displayName) {
  int index = -1;
  for (std::size_t i = 0; i < CDMenuNames.size() && index < 0; ++i)
    if (SameText(CDMenuNames[i], displayName)) index = int(i);
  return *CDMenuClasses.Items(index);
}

// ---- Shared state ------------------------------------------------------------

TProjectDocument::~TProjectDocument() {
  if (ProjectDocument == &Document) {
    ProjectRoot.reset();
    ProjectDocument = nullptr;
  }
}

void InitializeLowAPI() {
  CDMenuNames.clear();
  CDMenuClasses = TCDMenuList();
  HostMode = false;
  ProgramFolder.clear();
  ProgramBaseName.clear();
  ProjectDocument = nullptr;
  ProjectRoot.reset();
  CurrentMenu.Reset();
  CurrentDBForm = nullptr;
}

void FinalizeLowAPI() {
  ProjectRoot.reset();
  CurrentMenu.Reset();
}

// ---- Paths and opening ------------------------------------------------------

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  std::size_t dot = fileName.rfind('.');
  std::size_t delimiter = fileName.find_last_of("/\\:");
  if (dot == std::string_view::npos || (delimiter != std::string_view::npos && dot < delimiter))
    dot = fileName.size();
  return std::string(fileName.substr(0, dot)) + std::string(extension);
}

std::string DataFolder() { return DataFolder(ProgramFolder); }

std::string DataFolder(std::string_view programFolder) { return std::string(programFolder) + "Data" + PathDelimiter; }

std::string ProjectFileName() { return ProjectFileName(ProgramFolder, ProgramBaseName); }

std::string ProjectFileName(std::string_view programFolder, std::string_view programBaseName) {
  return std::string(programFolder) + ChangeFileExt(programBaseName, ".orbproj");
}

void RunProgram(const std::string& target) { ShellOpen(target); }

}  // namespace orb
