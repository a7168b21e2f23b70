#pragma once
// TPanel: a raised panel that holds other controls and shows its stored
// property "Caption" centred on its face, under whatever it holds.

#include <QFrame>
#include <QString>

namespace orb {

class TPanel : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

 public:
  explicit TPanel(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace orb
