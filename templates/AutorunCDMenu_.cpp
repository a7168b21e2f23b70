#include "templates/AutorunCDMenu_.h"

#include <QLineEdit>

#include <exception>
#include <stdexcept>

#include "controls/DataAware.h"
#include "exetrailer/ExeModifier_.h"
#include "platform/Application.h"
#include "text/StoredPath.h"
#include "templates/AutorunDBForm_.h"
#include "ui_AutorunDBForm_.h"

namespace orb {
namespace {

// Opens what the running program file's trailer names. The program file is
// the one the system started, whatever it is called now, so a renamed copy
// still finds its own trailer.
void OpenStoredTarget() {
  TExeBuf payload;
  ReadExeBuf(Application()->ExeName(), payload);
  std::string target;
  ExeBufToStr(payload, target);
  if (std::string_view text = UpToFirstZero(target); !text.empty()) RunProgram(JoinStoredPath(ProgramFolder, text));
}

}  // namespace

TAutorunCDMenu::TAutorunCDMenu(TComponent* owner) : TCDMenuComponent(owner) {
  if (HostMode) {
    try {
      OpenStoredTarget();
    } catch (const std::exception&) {
      // A missing, unreadable or damaged trailer opens nothing and says nothing.
    }
    return;
  }
  CurrentDBForm = new TAutorunDBForm(GetForm());
}

void TAutorunCDMenu::SaveMenu() {
  TCDMenuComponent::SaveMenu();
  if (!AutorunDBForm) throw std::logic_error("No Autorun editor form exists");
  TExeBuf payload;
  StrToExeBuf(StoredText(AutorunDBForm->Components().Edit->text()), payload);
  AppendExeBuf(EditedProgramFileName(), payload);
}

}  // namespace orb
