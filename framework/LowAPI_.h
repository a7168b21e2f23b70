#pragma once
// The menu interface, the base classes of all templates, the registry of
// menu classes, the process-wide state of the host, the path rules and the
// one routine through which links and documents are opened.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Component.h"
#include "platform/Form.h"
#include "project/Orbproject.h"
#include "project/XMLDocument.h"

namespace orb {

// ---- The menu interface ----------------------------------------------------

// What the host and the editor forms know of a running menu. Reference
// counted: Release destroys the object when the count reaches 0.
class ICDMenu {
 public:
  virtual std::int32_t AddRef() = 0;
  virtual std::int32_t Release() = 0;
  // The window that shows the menu; nullptr for a menu without a window.
  virtual TForm* GetForm() = 0;
  // Stores the menu's own settings (an editing environment's call).
  virtual void Save() = 0;
  // Brings the menu's display in line with its data.
  virtual void Refresh() = 0;

 protected:
  ~ICDMenu() = default;
};

// A counted reference to a menu: taking it adds a reference, dropping it
// releases one.
class TCDMenuRef {
 public:
  TCDMenuRef() = default;
  TCDMenuRef(ICDMenu* menu) : menu_(menu) {  // NOLINT: converts like an interface assignment
    if (menu_) menu_->AddRef();
  }
  TCDMenuRef(const TCDMenuRef& other) : TCDMenuRef(other.menu_) {}
  TCDMenuRef& operator=(const TCDMenuRef& other) {
    TCDMenuRef copy(other);
    std::swap(menu_, copy.menu_);
    return *this;
  }
  ~TCDMenuRef() { Reset(); }

  void Reset() {
    if (ICDMenu* menu = std::exchange(menu_, nullptr)) menu->Release();
  }
  // Forgets the menu without releasing it: for a menu that is being
  // destroyed by its owner, so no reference outlives it.
  void Detach() { menu_ = nullptr; }

  ICDMenu* Get() const { return menu_; }
  ICDMenu* operator->() const { return menu_; }
  explicit operator bool() const { return menu_ != nullptr; }

 private:
  ICDMenu* menu_ = nullptr;
};

// ---- Base classes ------------------------------------------------------------

// Called by a menu being destroyed: if CurrentMenu refers to it, the
// reference is dropped without a release, so it never outlives the menu.
void DetachCurrentMenu(ICDMenu* menu);

// The atomic reference count that both menu base classes keep.
class TMenuReferenceCount {
 public:
  std::int32_t Increment() { return ++count_; }
  // Decrements; at 0 destroys the menu, which leaves its owner first.
  std::int32_t Release(TComponent* menu) {
    std::int32_t count = --count_;
    if (count == 0) delete menu;
    return count;
  }
  std::int32_t Value() const { return count_; }

 private:
  std::atomic<std::int32_t> count_{0};
};

// A menu that is a window. While HostMode is clear it ignores requests to close.
class TCDMenuForm : public TForm, public ICDMenu {
  Q_OBJECT

 public:
  explicit TCDMenuForm(TComponent* owner) : TForm(owner) {}
  ~TCDMenuForm() override { DetachCurrentMenu(this); }

  // The display name under which the class is registered; empty here.
  virtual std::string GetMenuName();
  virtual void RefreshMenu();
  // Writes GetMenuName into Project/CDFormClass/Title of the project in memory.
  virtual void SaveMenu();

  TForm* GetForm() override { return this; }
  std::int32_t AddRef() override { return references_.Increment(); }
  std::int32_t Release() override { return references_.Release(this); }
  void Save() override { SaveMenu(); }
  void Refresh() override { RefreshMenu(); }

  std::int32_t ReferenceCount() const { return references_.Value(); }

 protected:
  void FormClose(TCloseAction& action) override;

 private:
  TMenuReferenceCount references_;
};

// A menu without a window: it does its work in its constructor.
class TCDMenuComponent : public TComponent, public ICDMenu {
 public:
  explicit TCDMenuComponent(TComponent* owner) : TComponent(owner) {}
  ~TCDMenuComponent() override { DetachCurrentMenu(this); }

  virtual void RefreshMenu() {}
  TForm* GetForm() override { return nullptr; }
  virtual void SaveMenu() {}

  std::int32_t AddRef() override { return references_.Increment(); }
  std::int32_t Release() override { return references_.Release(this); }
  void Save() override { SaveMenu(); }
  void Refresh() override { RefreshMenu(); }

  std::int32_t ReferenceCount() const { return references_.Value(); }

 private:
  TMenuReferenceCount references_;
};

// An editor form that holds and edits a template's data.
class TDBForm : public TForm {
  Q_OBJECT

 public:
  explicit TDBForm(TComponent* owner) : TForm(owner) {}
  ~TDBForm() override;
  // Writes the template's data file; nothing here.
  virtual void SaveData() {}
};

// ---- Registry of menu classes ------------------------------------------------

// A list of classes whose items fail with "List index out of bounds (<i>)"
// for an index outside the list.
class TCDMenuList {
 public:
  void Add(const TComponentClass* menuClass) { classes_.push_back(menuClass); }
  int Count() const { return int(classes_.size()); }
  const TComponentClass* Items(int index) const;

 private:
  std::vector<const TComponentClass*> classes_;
};

// Registered display names and classes: entry i of one belongs to entry i of
// the other.
extern std::vector<std::string> CDMenuNames;
extern TCDMenuList CDMenuClasses;

// Appends the class and its display name; duplicates and empty names are kept.
void RegisterCDMenu(const TComponentClass& menuClass, std::string_view displayName);
// The class of the first name equal to displayName without regard to case.
// A name that is not registered fails: there is never "no class".
const TComponentClass& FindCDMenu(std::string_view displayName);

// ---- Process-wide state -----------------------------------------------------

// True in the menu host: menus behave as the running menu, not as editable templates.
extern bool HostMode;
// The program file's folder, ending in a path delimiter.
extern std::string ProgramFolder;
// The program file's name without folder and without its last extension.
extern std::string ProgramBaseName;
// The project file in memory, owned by the application object.
extern TXMLDocument* ProjectDocument;
// The root of the loaded project.
extern std::optional<TXMLOrbdeckType> ProjectRoot;
// The running menu.
extern TCDMenuRef CurrentMenu;
// The editor form that the current menu created, for an editing environment.
extern TDBForm* CurrentDBForm;

// The project document as a component, so that the application owns it;
// destroying it empties ProjectDocument and ProjectRoot.
class TProjectDocument : public TComponent {
 public:
  explicit TProjectDocument(TComponent* owner) : TComponent(owner) {}
  ~TProjectDocument() override;
  TXMLDocument Document;
};

// Creates the registry empty and sets the shared state to its initial values.
void InitializeLowAPI();
// Releases the shared state at program end.
void FinalizeLowAPI();

// ---- Paths and opening ------------------------------------------------------

// The platform's path delimiter.
inline constexpr char PathDelimiter = static_cast<char>(std::filesystem::path::preferred_separator);

// ProgramFolder followed by "Data" and a path delimiter.
std::string DataFolder();
std::string DataFolder(std::string_view programFolder);
// ProgramFolder followed by ProgramBaseName with its last extension, if any,
// replaced by ".orbproj".
std::string ProjectFileName();
std::string ProjectFileName(std::string_view programFolder, std::string_view programBaseName);
// The name with its last extension (from the last dot) replaced by the given one.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);

// Asks the shell to "open" a file, folder, document or address.
void RunProgram(const std::string& target);

}  // namespace orb
