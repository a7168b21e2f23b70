#pragma once
// TOpenPictureDialog: the dialog that asks for an existing picture file. Its
// Filter is written as pairs of a description and a pattern, all separated
// by vertical bars ("Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp"); the dialog
// offers one entry per pair, the first chosen.

#include <QFileDialog>
#include <QString>

namespace orb {

// The dialog's entries for a filter of description and pattern pairs; a
// pattern may hold several, separated by semicolons.
QStringList NameFiltersOf(const QString& filter);

class TOpenPictureDialog : public QFileDialog {
  Q_OBJECT
  Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)

 public:
  explicit TOpenPictureDialog(QWidget* parent = nullptr);

  const QString& Filter() const { return filter_; }
  void SetFilter(const QString& filter);

  // Shows the dialog; true when the user chose a file.
  bool Execute();
  // The chosen file's full path, with the platform's separators.
  QString FileName() const;

 private:
  QString filter_;
};

}  // namespace orb
