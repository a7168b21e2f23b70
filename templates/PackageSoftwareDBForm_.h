#pragma once
// TPackageSoftwareDBForm: the editor form of the Package Software template.
// It holds the packages (a name, a serial number, a description, in name
// order) and each package's five programs, a title and a link each, kept
// in one nested record. A row of five tabs picks the program slot that the
// title edit, the link edit and the link button work on. Inside the host it
// is created hidden and only holds the menu's packages.

#include <array>
#include <memory>

#include "store/DataSource.h"
#include "templates/TemplateDBForm.h"

namespace Ui {
class PackageSoftwareDBForm;
}

namespace orb {

class TPackageSoftwareDBForm : public TTemplateDBForm {
  Q_OBJECT

 public:
  // The number of program slots of a package.
  static constexpr int kSlots = 5;

  explicit TPackageSoftwareDBForm(TComponent* owner);
  ~TPackageSoftwareDBForm() override;

  // The packages: Name (120), Serial (300), Description (memo) and the
  // nested table Softwares, ordered by the index NameIndex on Name.
  TDataSet PackageData;
  TField* PackageDataName;
  TField* PackageDataSerial;
  TField* PackageDataDescription;
  TField* PackageDataSoftwares;
  // The current package's nested records: Title1 to Title5 (120 each) and
  // Link1 to Link5 (300 each). The editor makes at most one per package.
  TDataSet SoftwaresData;
  TField* SoftwaresDataTitle1;
  TField* SoftwaresDataTitle2;
  TField* SoftwaresDataTitle3;
  TField* SoftwaresDataTitle4;
  TField* SoftwaresDataTitle5;
  TField* SoftwaresDataLink1;
  TField* SoftwaresDataLink2;
  TField* SoftwaresDataLink3;
  TField* SoftwaresDataLink4;
  TField* SoftwaresDataLink5;
  TDataSource MasterSrc{&PackageData};
  TDataSource DetailSrc;

  const Ui::PackageSoftwareDBForm& Components() const { return *ui_; }
  // The link fields of slots 1 to 5, in order.
  std::array<TField*, kSlots> SlotLinks() const;

  // Handlers.
  void AddBtnClick() { AddRecord(); }
  void DeleteActExecute();
  void NameEdKeyDown(int& key, Qt::KeyboardModifiers shift);
  void TabControlChange();
  void OrbLinkButtonLinkChanged();
  void PackageDataAfterPost(TDataSet& dataSet);
  void UpdateControls() override;

  // A new package named "Title", without programs, made current and posted.
  void AddRecord() override;

 protected:
  void SetUpLoadedData() override;

 private:
  std::unique_ptr<Ui::PackageSoftwareDBForm> ui_;
};

// The instance, while it exists.
extern TPackageSoftwareDBForm* PackageSoftwareDBForm;

}  // namespace orb
