#pragma once
// TSoftwareDistributionCDMenu: the menu of the Software Distribution
// template, registered as "Software Distribution": a picture, a check box
// and a button on a sky-blue window, over the single-level catalogue. Each
// entry that the catalogue's editor adds gets a launch text on the menu,
// one below the other, showing the current entry's title and opening its
// link by its kind. The host adds no entries, so there the menu shows its
// own components only.

#include <memory>

#include "controls/OrbDBExecute.h"
#include "framework/LowAPI_.h"

namespace Ui {
class SoftwareDistributionCDMenu;
}

namespace orb {

class TSingleLevelDBForm;

class TSoftwareDistributionCDMenu : public TCDMenuForm {
  Q_OBJECT

 public:
  // Creates the catalogue's editor form, which loads the catalogue, and
  // follows the entries it adds. RefreshMenu keeps the base behaviour: the
  // launch texts follow the catalogue by themselves.
  explicit TSoftwareDistributionCDMenu(TComponent* owner);
  ~TSoftwareDistributionCDMenu() override;

  std::string GetMenuName() override { return "Software Distribution"; }

  // The catalogue's OnAdd handler: places the next launch text, 50 pixels
  // below the last one, the first at top 50, all at left 50.
  void AddItem(TComponent* sender);
  // The launcher of a launch text: the catalogue's link, opened by the
  // kind in its action field.
  TOrbDBExecute EntryLauncher() const;
  // The number of launch texts placed so far.
  int ItemCount() const { return itemCount_; }

  const Ui::SoftwareDistributionCDMenu& Components() const { return *ui_; }
  TSingleLevelDBForm& Catalogue() const { return *catalogue_; }

 private:
  std::unique_ptr<Ui::SoftwareDistributionCDMenu> ui_;
  TSingleLevelDBForm* catalogue_;
  int itemCount_ = 0;
};

// The instance, while it exists.
extern TSoftwareDistributionCDMenu* SoftwareDistributionCDMenu;

}  // namespace orb
