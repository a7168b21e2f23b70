#include "templates/SoftwareDistributionCDMenu_Unit.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include "controls/OrbExecText.h"
#include "platform/DisplayText.h"
#include "templates/SingleLevelDBForm_.h"
#include "ui_SoftwareDistributionCDMenu_Unit.h"

namespace orb {

TSoftwareDistributionCDMenu* SoftwareDistributionCDMenu = nullptr;

TSoftwareDistributionCDMenu::TSoftwareDistributionCDMenu(TComponent* owner)
    : TCDMenuForm(owner), ui_(std::make_unique<Ui::SoftwareDistributionCDMenu>()) {
  ui_->setupUi(this);
  catalogue_ = new TSingleLevelDBForm(this);
  CurrentDBForm = catalogue_;
  SoftwareDistributionCDMenu = this;
  // The entry that a fresh catalogue starts with came before this: it gets no launch text.
  catalogue_->SetOnAdd([this](TComponent* sender) { AddItem(sender); });
}

TSoftwareDistributionCDMenu::~TSoftwareDistributionCDMenu() {
  if (SoftwareDistributionCDMenu == this) SoftwareDistributionCDMenu = nullptr;
}

TOrbDBExecute TSoftwareDistributionCDMenu::EntryLauncher() const {
  TOrbDBExecute launcher;
  launcher.SetLinkField(catalogue_->DataLink);
  launcher.SetActionField(catalogue_->DataAction);
  return launcher;
}

// The texts are bound to this menu's own catalogue, whichever catalogue
// the module's instance reference names.
void TSoftwareDistributionCDMenu::AddItem(TComponent*) {
  ++itemCount_;
  auto* text = new TOrbExecText(this);
  text->move(50, itemCount_ * 50);
  text->setText(DisplayText(catalogue_->DataTitle->AsString()));
  text->setCursor(Qt::PointingHandCursor);
  QPalette palette = text->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  text->setPalette(palette);
  QFont font = text->font();
  font.setBold(true);
  text->setFont(font);
  text->SetDataSource(&catalogue_->Source);
  text->SetDataField(QStringLiteral("Title"));
  text->DBExecute() = EntryLauncher();
  text->show();
}

}  // namespace orb
