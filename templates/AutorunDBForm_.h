#pragma once
// TAutorunDBForm: the editor form of the Autorun template. Its read-only
// edit shows the target that the program file's trailer names, relative to
// the program folder; the "Link" button's menu replaces it with a chosen
// file or folder. The host never creates it.

#include <QFileDialog>

#include <memory>
#include <string>
#include <string_view>

#include "framework/LowAPI_.h"

class QShowEvent;

namespace Ui {
class AutorunDBForm;
}

namespace orb {

class TAutorunDBForm : public TDBForm {
  Q_OBJECT

 public:
  explicit TAutorunDBForm(TComponent* owner);
  ~TAutorunDBForm() override;

  const Ui::AutorunDBForm& Components() const { return *ui_; }
  // The open-file dialog of the "File" command, made when first used.
  QFileDialog& OpenDialog();

  // Handlers.
  void FormShow();
  void Button1Click();
  void File1Click();
  void Folder1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SetTarget(const std::string& path);

  std::unique_ptr<Ui::AutorunDBForm> ui_;
  QFileDialog* openDialog_ = nullptr;
};

// The instance, while it exists.
extern TAutorunDBForm* AutorunDBForm;

// The extension of a program file on this platform: ".exe" on Windows,
// none elsewhere.
extern const std::string_view kProgramFileExtension;

// The program file whose trailer the editor reads and writes: ProgramFolder
// followed by ProgramBaseName, its extension (if it still has one) replaced
// by the program file extension.
std::string EditedProgramFileName();

// A stored text as the system takes it: up to its first zero byte.
std::string_view UpToFirstZero(std::string_view text);

}  // namespace orb
