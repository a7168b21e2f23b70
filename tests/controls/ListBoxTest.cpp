#include <gtest/gtest.h>

#include "controls/ListBox.h"

using namespace orb;

TEST(ListBox, EveryRowHasTheItemHeight) {
  TListBox list;
  list.addItems({"Company", "Description", "E-mail"});
  list.resize(149, 97);
  list.SetItemHeight(13);
  list.show();
  for (int row = 0; row < list.count(); ++row) {
    EXPECT_EQ(list.visualItemRect(list.item(row)).height(), 13) << row;
    EXPECT_EQ(list.visualItemRect(list.item(row)).top(), 13 * row) << row;
  }
  list.SetItemHeight(0);
  EXPECT_GT(list.visualItemRect(list.item(0)).height(), 13) << "the style gives a taller row";
}
