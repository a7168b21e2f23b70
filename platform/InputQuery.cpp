#include "platform/InputQuery.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/DisplayText.h"

namespace orb {
namespace {

IInputQuery* replacement = nullptr;

bool AskInDialog(const std::string& title, const std::string& prompt, std::string& text) {
  QDialog dialog(QApplication::activeWindow(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setWindowTitle(DisplayText(title));
  auto* label = new QLabel(DisplayText(prompt));
  label->setObjectName(QStringLiteral("Prompt"));
  auto* edit = new QLineEdit;
  edit->setObjectName(QStringLiteral("Value"));
  edit->setMaxLength(kInputQueryMaxLength);
  edit->setText(DisplayText(text));
  edit->setMinimumWidth(260);
  edit->selectAll();
  label->setBuddy(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(buttons);

  dialog.adjustSize();
  dialog.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, dialog.size(),
                                         QGuiApplication::primaryScreen()->availableGeometry()));
  if (dialog.exec() != QDialog::Accepted) return false;
  text = edit->text().toStdString();
  return true;
}

}  // namespace

bool InputQuery(const std::string& title, const std::string& prompt, std::string& text) {
  return replacement ? replacement->Ask(title, prompt, text) : AskInDialog(title, prompt, text);
}

void SetInputQuery(IInputQuery* query) { replacement = query; }

}  // namespace orb
