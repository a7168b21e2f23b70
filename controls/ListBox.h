#pragma once
// TListBox: a list of texts whose rows all have the height ItemHeight, in
// pixels, as a form laid out for one font gives them; 0 leaves the height
// to the style.

#include <QListWidget>

namespace orb {

class TListBox : public QListWidget {
  Q_OBJECT
  Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)

 public:
  explicit TListBox(QWidget* parent = nullptr);

  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);

 private:
  int itemHeight_ = 0;
};

}  // namespace orb
