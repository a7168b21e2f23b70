#pragma once
// TPackageSoftwareCDForm: the menu of the Package Software template,
// registered as "Package Software". The package names are listed at the
// left; over the picture at the right the chosen package shows its five
// program titles as links that open below the program folder, its serial
// number and its description.

#include <memory>

#include "framework/LowAPI_.h"

namespace Ui {
class PackageSoftwareCDForm;
}

namespace orb {

class TPackageSoftwareDBForm;

class TPackageSoftwareCDForm : public TCDMenuForm {
  Q_OBJECT

 public:
  // Creates the editor form, which loads the packages, and binds the menu to it.
  explicit TPackageSoftwareCDForm(TComponent* owner);
  ~TPackageSoftwareCDForm() override;

  std::string GetMenuName() override { return "Package Software"; }
  // Selects the current package's name in the list.
  void RefreshMenu() override;

  const Ui::PackageSoftwareCDForm& Components() const { return *ui_; }
  TPackageSoftwareDBForm& Editor() const { return *editor_; }

 private:
  std::unique_ptr<Ui::PackageSoftwareCDForm> ui_;
  TPackageSoftwareDBForm* editor_;
};

// The instance, while it exists.
extern TPackageSoftwareCDForm* PackageSoftwareCDForm;

}  // namespace orb
