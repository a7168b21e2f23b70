#pragma once
// TOrbLinkButton: the push button beside a record's link on the editor
// forms. Clicking it, or a right-click, opens a menu of link kinds: "File",
// "Folder", "Internet", "e-mail" and, after a separator, "Clear". The chosen
// kind asks for its target (an open-file dialog, the folder picker, or a
// one-line prompt), then puts the record into edit state, writes the target
// into the link field and the kind word into the action field, and posts.
// Files and folders are stored relative to the base folder in the medium's
// portable form. A cancelled dialog changes nothing.

#include <QFileDialog>
#include <QPushButton>

#include <functional>
#include <string>

class QAction;
class QMenu;

namespace orb {

class TField;

class TOrbLinkButton : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(bool FileVisible READ FileVisible WRITE SetFileVisible)
  Q_PROPERTY(bool FolderVisible READ FolderVisible WRITE SetFolderVisible)
  Q_PROPERTY(bool InternetVisible READ InternetVisible WRITE SetInternetVisible)
  Q_PROPERTY(bool EmailVisible READ EmailVisible WRITE SetEmailVisible)

 public:
  explicit TOrbLinkButton(QWidget* parent = nullptr);

  // Plain references: the form that owns the fields outlives the button.
  // Without a link field every command does nothing; without an action
  // field "Internet" and "e-mail" do nothing and the others write the link only.
  TField* LinkField() const { return linkField_; }
  void SetLinkField(TField* field) { linkField_ = field; }
  TField* ActionField() const { return actionField_; }
  void SetActionField(TField* field) { actionField_ = field; }

  // Whether each kind shows in the menu; "Clear" always shows.
  bool FileVisible() const;
  void SetFileVisible(bool visible);
  bool FolderVisible() const;
  void SetFolderVisible(bool visible);
  bool InternetVisible() const;
  void SetInternetVisible(bool visible);
  bool EmailVisible() const;
  void SetEmailVisible(bool visible);

  // The folder that file and folder links are relative to: the file
  // dialog's first folder and the folder picker's root. Empty, links are
  // stored as full paths.
  void SetBaseFolder(std::string folder) { baseFolder_ = std::move(folder); }

  // The form's click handler; it runs before the menu pops up.
  std::function<void()> OnClick;

  // The menu of kinds, which is also the button's context menu.
  QMenu& PopupMenu() const { return *popupMenu_; }
  // The open-file dialog of "File", made when first used and kept, so it
  // remembers the last file chosen.
  QFileDialog& OpenDialog();

  // The commands of the menu.
  void FileActExecute();
  void FolderActExecute();
  void InternetActExecute();
  void EmailActExecute();
  void ClearActExecute();

 signals:
  // A command wrote a link and posted the record.
  void linkChanged();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Click();
  // Edit state, the link, the kind word where there is an action field, post.
  void WriteLink(const std::string& link, const std::string& kind);

  QMenu* popupMenu_;
  QAction* clearAct_;
  QAction* fileAct_;
  QAction* folderAct_;
  QAction* internetAct_;
  QAction* emailAct_;
  QFileDialog* openDialog_ = nullptr;
  TField* linkField_ = nullptr;
  TField* actionField_ = nullptr;
  std::string baseFolder_;
};

}  // namespace orb
