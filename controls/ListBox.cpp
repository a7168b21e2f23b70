#include "controls/ListBox.h"

#include <QStyledItemDelegate>

namespace orb {
namespace {

// Gives every row the list's item height.
class TItemHeightDelegate : public QStyledItemDelegate {
 public:
  explicit TItemHeightDelegate(TListBox& list) : QStyledItemDelegate(&list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (list_.ItemHeight() > 0) size.setHeight(list_.ItemHeight());
    return size;
  }

 private:
  TListBox& list_;
};

}  // namespace

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  setItemDelegate(new TItemHeightDelegate(*this));
}

void TListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  doItemsLayout();
}

}  // namespace orb
