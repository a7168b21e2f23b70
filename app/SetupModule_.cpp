#include "app/SetupModule_.h"

#include <filesystem>
#include <stdexcept>

#include "framework/ComponentPersistency.h"
#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"
#include "pictures/PicturePreload.h"
#include "platform/Application.h"
#include "platform/DisplayText.h"
#include "project/Orbproject.h"
#include "store/DataFilePreload.h"
#include "text/StoredPath.h"

namespace orb {

TSetupModule* SetupModule = nullptr;

TSetupModule::TSetupModule(TComponent* owner) : TDataModule(owner) {
  SetName("SetupModule");
  SetupModule = this;
}

TSetupModule::~TSetupModule() {
  if (SetupModule == this) SetupModule = nullptr;
}

void TSetupModule::DataModuleCreate() { StartMenu(); }

void TSetupModule::DataModuleDestroy() { NotifyStudio(); }

namespace {

bool FileExists(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

// Creates the menu of the class: a form through the application's form
// creation (so it becomes the main form), anything else with the
// application as owner. The instance must provide the menu interface.
ICDMenu* CreateMenu(const TComponentClass& menuClass) {
  TComponent* instance =
      menuClass.IsForm ? Application()->CreateForm(menuClass) : menuClass.Create(Application());
  auto* menu = dynamic_cast<ICDMenu*>(instance);
  if (!menu) throw std::runtime_error("Interface not supported");
  return menu;
}

// The pictures that the restore will show are decoded while the menu form
// is built and its data loaded. Their file names are made as the picture
// box makes them; a value the restore cannot read is left to the restore.
void PreloadRestoredPictures() {
  for (pugi::xml_node component : GetComponentsNode().children()) {
    try {
      const std::string path = DisplayText(LeafText(component.child("Path"))).toStdString();
      const std::string file = JoinStoredPath(ProgramFolder, path);
      std::error_code error;
      if (std::filesystem::is_regular_file(file, error)) PreloadPictureFile(file);
    } catch (const std::exception&) {
    }
  }
}

void StartRegisteredMenu() {
  std::filesystem::path program(Application()->ExeName());
  ProgramBaseName = ChangeFileExt(program.filename().string(), "");
  ProgramFolder = program.parent_path().string() + PathDelimiter;
  if (!FileExists(ProjectFileName())) return;

  ProjectDocument->LoadFromFile(ProjectFileName());
  ProjectRoot = GetOrbdeck(*ProjectDocument);
  std::string menuName = ProjectRoot->Get_Project().Get_CDFormClass().Get_Title();
  if (menuName.empty()) return;

  const TComponentClass& menuClass = FindCDMenu(menuName);
  if (menuClass.IsForm) PreloadRestoredPictures();
  CurrentMenu = CreateMenu(menuClass);
  // A menu form gets one more reference that is never released, so its
  // lifetime never ends through its count while the host runs.
  if (menuClass.IsForm) CurrentMenu->AddRef();

  TForm* form = CurrentMenu ? CurrentMenu->GetForm() : nullptr;
  if (!form) return;
  Application()->SetTitle(ProjectRoot->Get_Project().Get_Setup().Get_Title());
  RestoreProperties();
  form->SetPosition(TFormPosition::ScreenCenter);
}

}  // namespace

void StartMenu() {
  HostMode = true;
  ProjectDocument = &(new TProjectDocument(Application()))->Document;
  CurrentMenu.Reset();
  try {
    StartRegisteredMenu();
  } catch (...) {
    // Start-up failures are silent: the host then has nothing to show, or
    // shows the menu form as far as it was set up.
    CurrentMenu.Reset();
  }
  DropPicturePreloads();
  DropDataFilePreloads();
}

}  // namespace orb
