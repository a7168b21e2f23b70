#pragma once
// TSimpleCDForm: the menu of the Simple template, registered as "Simple".
// The titles are listed at the left; the chosen entry's title, as a link,
// and its description lie over the picture at the right, and "Install"
// opens the entry's link below the program folder.

#include <memory>

#include "framework/LowAPI_.h"

namespace Ui {
class SimpleCDForm;
}

namespace orb {

class TSimpleDBForm;

class TSimpleCDForm : public TCDMenuForm {
  Q_OBJECT

 public:
  // Creates the editor form, which loads the entries, and binds the menu to it.
  explicit TSimpleCDForm(TComponent* owner);
  ~TSimpleCDForm() override;

  std::string GetMenuName() override { return "Simple"; }
  // Selects the current entry's title in the list.
  void RefreshMenu() override;

  const Ui::SimpleCDForm& Components() const { return *ui_; }
  TSimpleDBForm& Editor() const { return *editor_; }

 private:
  std::unique_ptr<Ui::SimpleCDForm> ui_;
  TSimpleDBForm* editor_;
};

// The instance, while it exists.
extern TSimpleCDForm* SimpleCDForm;

}  // namespace orb
