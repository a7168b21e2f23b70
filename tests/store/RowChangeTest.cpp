#include <gtest/gtest.h>

#include <random>

#include "store/DataSource.h"
#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

// A list over the store's titles that follows only the row changes it is
// told, as a list view's model does. Before each change the store must still
// look like the mirror, and after it the mirror must look like the store.
struct TMirror : IDataSetObserver {
  explicit TMirror(TDataSet& store) : store(store) {
    store.AddObserver(this);
    titles = test::Column(store, "Title");
  }
  ~TMirror() override { store.RemoveObserver(this); }

  void RowsChanging(const TRowChange&) override {
    EXPECT_FALSE(pending) << "changes come in pairs";
    pending = true;
    EXPECT_EQ(test::Column(store, "Title"), titles) << "told before the rows changed";
  }
  void RowsChanged(const TRowChange& change) override {
    EXPECT_TRUE(pending);
    pending = false;
    changes.push_back(change);
    auto at = [&](std::size_t row) { return titles.begin() + static_cast<std::ptrdiff_t>(row); };
    switch (change.Kind) {
      case TRowChange::Inserted:
        titles.insert(at(change.Row), std::string(store.RowValue(change.Row, store.FieldByName("Title"))));
        break;
      case TRowChange::Removed:
        titles.erase(at(change.Row));
        break;
      case TRowChange::Changed:
        titles[change.Row] = store.RowValue(change.Row, store.FieldByName("Title"));
        break;
      case TRowChange::Moved:
        titles.erase(at(change.Row));
        titles.insert(at(change.ToRow), std::string(store.RowValue(change.ToRow, store.FieldByName("Title"))));
        break;
      case TRowChange::Reset:
        titles = test::Column(store, "Title");
        break;
    }
  }

  TDataSet& store;
  std::vector<std::string> titles;
  std::vector<TRowChange> changes;
  bool pending = false;
};

TEST(RowChanges, AListFollowingOnlyTheRowChangesStaysEqualToTheStore) {
  TDataSet store;
  test::DeclareSimple(store);
  store.CreateDataSet();
  TMirror mirror(store);
  std::mt19937 random(11);
  auto title = [&] { return std::string(1, char('a' + random() % 6)) + std::to_string(random() % 3); };
  for (int step = 0; step < 3000; ++step) {
    unsigned choice = random() % 5;
    if (store.IsEmpty() || choice == 0) {
      (random() % 2 ? store.Insert() : store.Append());
      store.FieldByName("Title").SetAsString(title());
      store.Post();
    } else {
      store.MoveTo(random() % store.RecordCount());
      if (choice == 1) {
        store.Delete();
      } else {
        store.Edit();
        // Some edits keep the key, some move the record, some keep an equal key.
        if (choice == 2) store.FieldByName("Link").SetAsString(title());
        else store.FieldByName("Title").SetAsString(title());
        store.Post();
      }
    }
    ASSERT_EQ(mirror.titles, test::Column(store, "Title")) << "step " << step;
    ASSERT_FALSE(mirror.pending);
  }
  EXPECT_GT(mirror.changes.size(), 2000u);
}

TEST(RowChanges, EachPostOrDeleteNamesItsRows) {
  TDataSet store;
  test::DeclareSimple(store);
  store.CreateDataSet();
  for (const char* t : {"b", "d", "f"}) test::AddRecord(store, t);
  TMirror mirror(store);

  test::AddRecord(store, "c");  // goes between b and d
  store.Locate("Title", "f");
  store.Edit();
  store.FieldByName("Title").SetAsString("a");  // moves to the front
  store.Post();
  EXPECT_EQ(store.CurrentRow(), 0u) << "the moved record stays current";
  store.Edit();
  store.FieldByName("Link").SetAsString("x");
  store.Post();
  store.Edit();
  store.FieldByName("Title").SetAsString("a");  // an equal key is no move
  store.Post();
  store.Locate("Title", "c");
  store.Edit();
  store.FieldByName("Title").SetAsString("z");  // moves to the end
  store.Post();
  store.Delete();
  store.Edit();
  store.Cancel();  // nothing changed in the rows
  EXPECT_EQ(mirror.changes, (std::vector<TRowChange>{{TRowChange::Inserted, 1},
                                                     {TRowChange::Moved, 3, 0},
                                                     {TRowChange::Changed, 0},
                                                     {TRowChange::Changed, 0},
                                                     {TRowChange::Moved, 2, 3},
                                                     {TRowChange::Removed, 3}}));
  EXPECT_EQ(mirror.titles, (std::vector<std::string>{"a", "b", "d"}));
}

TEST(RowChanges, ReorderingAndAnotherMasterRecordChangeEveryRow) {
  TDataSet master, detail;
  test::DeclarePackage(master, detail);
  master.CreateDataSet();
  for (const char* name : {"one", "two"}) {
    master.Append();
    master.FieldByName("Name").SetAsString(name);
    master.Post();
    detail.Append();
    detail.FieldByName("Title1").SetAsString(std::string(name) + " program");
    detail.Post();
    master.Post();
  }
  struct TResets : IDataSetObserver {
    void RowsChanged(const TRowChange& change) override { resets += change.Kind == TRowChange::Reset; }
    int resets = 0;
  } masterResets, detailResets;
  master.AddObserver(&masterResets);
  detail.AddObserver(&detailResets);
  master.First();
  EXPECT_EQ(detailResets.resets, 1);
  master.SetIndex({"SerialIndex", "Serial", true});
  EXPECT_EQ(masterResets.resets, 1);
  master.RemoveObserver(&masterResets);
  detail.RemoveObserver(&detailResets);
}

TEST(FindRow, FindsTheFirstEqualValueWithoutMovingTheCursor) {
  TDataSet store;
  test::DeclareSimple(store);
  EXPECT_EQ(store.FindRow("Title", "a"), 0u) << "a closed store has no rows";
  store.CreateDataSet();
  for (const char* t : {"Title", "b", "Title", "title"}) test::AddRecord(store, t, std::string("link ") + t);
  store.Last();
  EXPECT_EQ(store.FindRow("Title", "Title"), 0u) << "the first of two equal keys";
  EXPECT_EQ(store.FindRow("Title", "title"), 3u) << "keys compare with case";
  EXPECT_EQ(store.FindRow("Title", "c"), 4u);
  EXPECT_EQ(store.FindRow("Link", "link b"), 2u) << "a field outside the index is searched too";
  EXPECT_EQ(store.CurrentRow(), 3u);
  EXPECT_THROW(store.FindRow("Nothing", "x"), EDatabaseError);
}

}  // namespace
}  // namespace orb
