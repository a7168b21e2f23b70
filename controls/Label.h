#pragma once
// TLabel: a label that takes the width of its text, as a form laid out for
// one font expects of its labels in any other. Its text is also its stored
// property "Caption", so that a medium's project can give it another text
// by name.

#include <QEvent>
#include <QLabel>

namespace orb {

class TLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ text WRITE SetCaption)

 public:
  explicit TLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  void SetCaption(const QString& caption) {
    setText(caption);
    FitText();
  }

 protected:
  // The text of the form definition and the font are final once the label
  // is polished for its first showing.
  bool event(QEvent* event) override {
    const bool handled = QLabel::event(event);
    if (event->type() == QEvent::Polish || event->type() == QEvent::FontChange) FitText();
    return handled;
  }

 private:
  void FitText() { resize(sizeHint().width(), height()); }
};

}  // namespace orb
