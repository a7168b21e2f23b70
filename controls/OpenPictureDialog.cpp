#include "controls/OpenPictureDialog.h"

#include <QDir>

namespace orb {

QStringList NameFiltersOf(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // The dialog reads the patterns from the entry's last parentheses, so a
    // description that already ends with them is the whole entry.
    const QString shown = QStringLiteral("(%1)").arg(patterns);
    entries.push_back(description.endsWith(shown) ? description : description + QLatin1Char(' ') + shown);
  }
  return entries;
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* parent) : QFileDialog(parent) {
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
}

void TOpenPictureDialog::SetFilter(const QString& filter) {
  filter_ = filter;
  setNameFilters(NameFiltersOf(filter));
}

bool TOpenPictureDialog::Execute() { return exec() == QDialog::Accepted && !selectedFiles().isEmpty(); }

QString TOpenPictureDialog::FileName() const {
  const QStringList files = selectedFiles();
  return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}

}  // namespace orb
