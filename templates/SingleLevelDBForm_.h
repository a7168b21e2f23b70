#pragma once
// TSingleLevelDBForm: the editor form of the single-level catalogue, one
// record per software entry: a title, a link with its kind, and eight
// descriptive properties. The upper half lists the titles and edits the
// current entry's title and link; the lower half lists the property names
// and shows one editor for the property chosen there. The Software
// Distribution menu creates it hidden as the holder of its catalogue and
// learns of every entry added here through OnAdd.

#include <functional>
#include <memory>

#include "store/DataSource.h"
#include "templates/TemplateDBForm.h"

class QShowEvent;

namespace Ui {
class SingleLevelDBForm;
}

namespace orb {

class TOpenPictureDialog;

// An event that only names the component it comes from.
using TNotifyEvent = std::function<void(TComponent* sender)>;

class TSingleLevelDBForm : public TTemplateDBForm {
  Q_OBJECT

 public:
  explicit TSingleLevelDBForm(TComponent* owner);
  ~TSingleLevelDBForm() override;

  // The catalogue, in stored order: Title, Link, Action (300 each),
  // Description (memo), Icon, Picture (300 each), Serial, Key (400 each),
  // Company (100), Internet (300) and email (100).
  TDataSet Data;
  TField* DataTitle;
  TField* DataLink;
  TField* DataAction;
  TField* DataDescription;
  TField* DataIcon;
  TField* DataPicture;
  TField* DataSerial;
  TField* DataKey;
  TField* DataCompany;
  TField* DataInternet;
  TField* Dataemail;
  TDataSource Source{&Data};

  const Ui::SingleLevelDBForm& Components() const { return *ui_; }
  // The dialog of the "Icon" and "Picture" button, made when first needed.
  TOpenPictureDialog& OpenPictureDialog();

  // Told, with this form as sender, after each entry that AddRecord adds.
  void SetOnAdd(TNotifyEvent handler) { onAdd_ = std::move(handler); }

  // A new entry titled "Title", inserted at the current position and
  // posted; then DoAdd.
  void AddRecord() override;

  // Handlers.
  void FormShow();
  void AddBtnClick() { AddRecord(); }
  void ListBoxClick();
  void EditBtnClick();

 protected:
  // Calls OnAdd, when it has a handler.
  virtual void DoAdd();
  void SetUpLoadedData() override;
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::SingleLevelDBForm> ui_;
  TOpenPictureDialog* openPictureDialog_ = nullptr;
  TNotifyEvent onAdd_;
};

// The instance, while it exists.
extern TSingleLevelDBForm* SingleLevelDBForm;

}  // namespace orb
