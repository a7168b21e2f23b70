#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QTest>

#include <random>

#include "controls/DBLookupListBox.h"
#include "tests/controls/ControlTestSupport.h"

using namespace orb;

namespace {

struct TLookupList : ::testing::Test {
  void SetUp() override {
    list.resize(177, 225);
    list.SetListSource(&store.Source);
    list.SetListField("Title");
    list.SetKeyField("Title");
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> rows;
    for (int row = 0; row < list.model()->rowCount(); ++row)
      rows.push_back(list.model()->index(row, 0).data().toString().toStdString());
    return rows;
  }
  int Selected() const { return list.currentIndex().row(); }
  void ClickRow(int row) {
    QRect rect = list.visualRect(list.model()->index(row, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  }

  test::TSimpleStore store;
  TDBLookupListBox list;
};

TEST_F(TLookupList, ListsTheTitlesInIndexOrderAndFollowsEveryChange) {
  QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  std::mt19937 random(3);
  for (int step = 0; step < 400; ++step) {
    if (store.Data.IsEmpty() || random() % 3 == 0) {
      store.Add(std::string(1, char('a' + random() % 5)));
    } else {
      store.Data.MoveTo(random() % store.Data.RecordCount());
      if (random() % 4 == 0) {
        store.Data.Delete();
      } else {
        store.Data.Edit();
        store.Data.FieldByName("Title").SetAsString(std::string(1, char('a' + random() % 5)) + "x");
        store.Data.Post();
      }
    }
    ASSERT_EQ(Shown(), store.Titles()) << "step " << step;
  }
  store.Data.Close();
  EXPECT_EQ(list.model()->rowCount(), 0);
}

TEST_F(TLookupList, ChoosingARowMakesItsRecordCurrentAndTakesItsKey) {
  for (const char* t : {"Title", "b", "Title", "title"}) store.Add(t, std::string("link of ") + t);
  ClickRow(1);
  EXPECT_EQ(store.Data.CurrentRow(), 1u) << "the second of two equal titles";
  EXPECT_EQ(list.KeyValue(), "Title");
  EXPECT_EQ(Selected(), 1);
  QTest::keyClick(list.viewport(), Qt::Key_Down);
  EXPECT_EQ(store.Current("Title"), "b");
  EXPECT_EQ(list.KeyValue(), "b");
  ClickRow(3);
  EXPECT_EQ(store.Current("Title"), "title") << "titles differing in case are different keys";
}

TEST_F(TLookupList, AKeyValueLocatesOnlyWhenItDiffersFromTheCurrentRecordsKey) {
  for (const char* t : {"a", "b", "b", "c"}) store.Add(t);
  store.Data.MoveTo(2);  // the second "b"
  list.SetKeyValue("b");
  EXPECT_EQ(store.Data.CurrentRow(), 2u) << "the current record has the key already";
  EXPECT_EQ(Selected(), 2);
  list.SetKeyValue("c");
  EXPECT_EQ(store.Data.CurrentRow(), 3u);
  EXPECT_EQ(Selected(), 3);
  list.SetKeyValue("missing");
  EXPECT_EQ(store.Data.CurrentRow(), 0u) << "an unknown key makes the first record current";
  EXPECT_EQ(Selected(), -1) << "and no row shows it";
  store.Data.MoveTo(3);
  list.SetKeyValue("a");
  EXPECT_EQ(store.Data.CurrentRow(), 0u);
  store.Data.MoveTo(3);
  EXPECT_EQ(Selected(), 0) << "a move made elsewhere leaves the selection";
}

TEST_F(TLookupList, TheSelectionFollowsARenamedRecordOnceTheKeyIsSet) {
  for (int i = 0; i < 200; ++i) store.Add("Entry " + std::to_string(1000 + i));
  list.show();
  ClickRow(0);
  list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum() / 2);
  const int scrolled = list.verticalScrollBar()->value();
  ClickRow(list.indexAt(QPoint(5, 5)).row());
  const std::size_t chosen = store.Data.CurrentRow();
  // Posting a record elsewhere changes neither the selection nor the scroll position.
  store.Data.MoveTo(199);
  store.Data.Edit();
  store.Data.FieldByName("Link").SetAsString("changed");
  store.Data.Post();
  EXPECT_EQ(std::size_t(Selected()), chosen);
  EXPECT_EQ(list.verticalScrollBar()->value(), scrolled);
  // Renaming the chosen record moves it; the key set after the post selects it there.
  store.Data.MoveTo(chosen);
  store.Data.Edit();
  store.Data.FieldByName("Title").SetAsString("A renamed entry");
  store.Data.Post();
  list.SetKeyValue(store.Current("Title"));
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(store.Data.CurrentRow(), 0u);
  EXPECT_EQ(list.verticalScrollBar()->value(), 0) << "the view goes where the record went";
}

TEST_F(TLookupList, AHundredThousandEntriesListWithoutACopy) {
  store.Data.Close();
  std::vector<std::string> titles;
  store.Data.CreateDataSet();
  for (int i = 0; i < 100000; ++i) {
    store.Data.Append();
    store.Data.FieldByName("Title").SetAsString("Program " + std::to_string(100000 + i));
    store.Data.Post();
  }
  EXPECT_EQ(list.model()->rowCount(), 100000);
  EXPECT_EQ(list.model()->index(99999, 0).data().toString(), "Program 199999");
  store.Data.Last();
  store.Data.Edit();
  store.Data.FieldByName("Title").SetAsString("Zzz");
  store.Data.Post();
  EXPECT_EQ(list.model()->index(99999, 0).data().toString(), "Zzz") << "rows are read from the store";
}

}  // namespace
