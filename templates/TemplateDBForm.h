#pragma once
// TTemplateDBForm: what every record-keeping template's editor form shares.
// It owns the master store of the template's records, kept in the data
// file "db.xml" of the data folder: loaded when the form is created (or, when
// there is no file, a fresh store with one record titled "Title"), written
// when SaveData is called, never otherwise. After every post of the master
// store the running menu is refreshed, so its list selects the posted record.

#include <string>
#include <string_view>

#include "framework/LowAPI_.h"
#include "store/DataSet.h"

namespace orb {

class TTemplateDBForm : public TDBForm {
  Q_OBJECT

 public:
  // The data folder followed by "db.xml", computed anew at every use.
  std::string DataFileName() const;
  // The data file of the templates in a data folder.
  static std::string DataFileIn(std::string_view dataFolder);
  // Writes the master store, its nested records included, to DataFileName;
  // a store whose load failed writes nothing.
  void SaveData() override;

 protected:
  TTemplateDBForm(TComponent* owner, TDataSet& master);

  // The creation handler, called by the template's constructor once its
  // components exist: loads the data file or creates the store, then the
  // template's set-up; UpdateControls runs in every case, also after a
  // failure, which is then shown by the standard report. The form is created
  // all the same, with the store closed.
  void FormCreate();
  // The template's add command; on a fresh store it makes the record "Title".
  virtual void AddRecord() = 0;
  // Set-up that needs the loaded store.
  virtual void SetUpLoadedData() {}
  // Enables the editing controls exactly when the master store holds a record.
  virtual void UpdateControls() {}

  // The master store's after-post handler: refreshes the running menu.
  static void RefreshCurrentMenu();

  // Runs a command, then UpdateControls whether it worked or not.
  template <class F>
  void ThenUpdateControls(F&& command) {
    try {
      command();
    } catch (...) {
      UpdateControls();
      throw;
    }
    UpdateControls();
  }

 private:
  TDataSet& master_;
};

}  // namespace orb
