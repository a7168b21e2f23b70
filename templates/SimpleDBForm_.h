#pragma once
// TSimpleDBForm: the editor form of the Simple template. It holds the
// entries (a title, a link and a description each, in title order) and
// offers add, delete, the title, the link chosen as a file or a folder and
// stored relative to the program folder, and the description. Inside the
// host it is created hidden and only holds the menu's entries.

#include <QFileDialog>

#include <memory>

#include "store/DataSource.h"
#include "templates/TemplateDBForm.h"

namespace Ui {
class SimpleDBForm;
}

namespace orb {

class TSimpleDBForm : public TTemplateDBForm {
  Q_OBJECT

 public:
  explicit TSimpleDBForm(TComponent* owner);
  ~TSimpleDBForm() override;

  // The entries: Title (80), Link (256) and Description (memo), ordered by
  // the index TitleIndex on Title.
  TDataSet Data;
  TField* DataTitle;
  TField* DataLink;
  TField* DataDescription;
  TDataSource Source{&Data};

  const Ui::SimpleDBForm& Components() const { return *ui_; }
  // The open-file dialog of the "File" command, made when first used.
  QFileDialog& OpenDialog();

  // Handlers.
  void AddActExecute();
  void DeleteActExecute();
  void TitleEdKeyDown(int& key, Qt::KeyboardModifiers shift);
  void LinkBtnClick();
  void SelectFileActExecute();
  void SelectFolderActExecute();
  void ClearActExecute();
  void DataBeforePost(TDataSet& dataSet);
  void DataAfterPost(TDataSet& dataSet);
  void UpdateControls() override;

 protected:
  void AddRecord() override { AddActExecute(); }

 private:
  std::unique_ptr<Ui::SimpleDBForm> ui_;
  QFileDialog* openDialog_ = nullptr;
};

// The instance, while it exists.
extern TSimpleDBForm* SimpleDBForm;

}  // namespace orb
