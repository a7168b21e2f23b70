#include <gtest/gtest.h>

#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

using test::AddRecord;
using test::Column;

class DataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::DeclareSimple(store);
    store.CreateDataSet();
    store.SetLogChanges(false);
  }
  std::string Current(const char* field = "Title") { return std::string(store.FieldByName(field).AsString()); }

  TDataSet store;
};

TEST_F(DataSetTest, IndexOrdersCaseSensitivelyAndKeepsEqualKeysInPostOrder) {
  AddRecord(store, "b", "", "first b");
  AddRecord(store, "B");
  AddRecord(store, "a");
  AddRecord(store, "b", "", "second b");
  AddRecord(store, "A");
  EXPECT_EQ(Column(store, "Title"), (std::vector<std::string>{"A", "B", "a", "b", "b"}));
  EXPECT_EQ(Column(store, "Description")[3], "first b");
  EXPECT_EQ(Column(store, "Description")[4], "second b");
  // The posted record is current.
  EXPECT_EQ(store.RecNo(), 1u);
  EXPECT_EQ(Current(), "A");
}

TEST_F(DataSetTest, ChangedKeyTakesItsPlaceBehindEqualKeysAndUnchangedKeyStays) {
  for (const char* title : {"a", "c", "e", "c"}) AddRecord(store, title, title);
  store.MoveTo(1);  // the first "c"
  store.Edit();
  store.FieldByName("Link").SetAsString("changed");
  store.Post();
  EXPECT_EQ(store.RecNo(), 2u);
  EXPECT_EQ(Column(store, "Link"), (std::vector<std::string>{"a", "changed", "c", "e"}));
  store.MoveTo(0);
  store.Edit();
  store.FieldByName("Title").SetAsString("c");
  store.Post();
  EXPECT_EQ(Column(store, "Link"), (std::vector<std::string>{"changed", "c", "a", "e"}));
  EXPECT_EQ(store.RecNo(), 3u);
}

TEST_F(DataSetTest, EditOnEmptyStoreInsertsAndEditWhileEditingKeepsThePendingValues) {
  store.Edit();
  EXPECT_EQ(store.State(), TDataSetState::Insert);
  store.FieldByName("Title").SetAsString("new");
  store.Edit();
  EXPECT_EQ(store.State(), TDataSetState::Insert);
  EXPECT_EQ(Current(), "new");
  store.Post();
  EXPECT_EQ(store.RecordCount(), 1u);
  EXPECT_EQ(Current(), "new");
}

TEST_F(DataSetTest, InsertPostsAModifiedEditAndDropsAnUnchangedOne) {
  // As the Add command does: edit, then insert; on an empty store exactly one record results.
  store.Edit();
  store.Insert();
  store.FieldByName("Title").SetAsString("Title");
  store.Post();
  EXPECT_EQ(store.RecordCount(), 1u);
  store.Edit();
  store.FieldByName("Link").SetAsString("kept");
  store.Insert();
  store.FieldByName("Title").SetAsString("Title");
  store.Post();
  EXPECT_EQ(Column(store, "Link"), (std::vector<std::string>{"kept", ""}));
}

TEST_F(DataSetTest, DeleteMakesTheNextRecordCurrentOrElseTheLast) {
  for (const char* title : {"a", "b", "c"}) AddRecord(store, title);
  store.MoveTo(1);
  store.Delete();
  EXPECT_EQ(Current(), "c");
  store.Delete();
  EXPECT_EQ(Current(), "a");
  store.Delete();
  EXPECT_TRUE(store.IsEmpty());
  EXPECT_EQ(store.RecNo(), 0u);
  EXPECT_TRUE(store.Eof());
  EXPECT_EQ(Current(), "");
  EXPECT_THROW(store.Delete(), EDatabaseError);
}

TEST_F(DataSetTest, CancelDropsAPendingInsertOrEdit) {
  AddRecord(store, "a");
  store.Edit();
  store.FieldByName("Title").SetAsString("z");
  store.Cancel();
  EXPECT_EQ(Current(), "a");
  store.Insert();
  store.Cancel();
  EXPECT_EQ(store.RecordCount(), 1u);
  EXPECT_EQ(store.State(), TDataSetState::Browse);
}

TEST(DataSetStoredOrder, WithoutIndexInsertGoesAtTheCurrentRecordAndAppendAtTheEnd) {
  TDataSet store;
  store.AddStringField("Title", 40);
  store.CreateDataSet();
  for (const char* title : {"one", "two"}) {
    store.Append();
    store.FieldByName("Title").SetAsString(title);
    store.Post();
  }
  store.First();
  store.Next();
  store.Insert();
  store.FieldByName("Title").SetAsString("between");
  store.Post();
  EXPECT_EQ(test::Column(store, "Title"), (std::vector<std::string>{"one", "between", "two"}));
  EXPECT_EQ(store.RecNo(), 2u);
}

TEST(DataSetIndex, SettingTheIndexOnAnOpenStoreOrdersItsRecords) {
  TDataSet store;
  store.AddStringField("Title", 40);
  store.AddStringField("Link", 40);
  store.CreateDataSet();
  for (const char* title : {"c", "a", "b"}) {
    store.Append();
    store.FieldByName("Title").SetAsString(title);
    store.FieldByName("Link").SetAsString(std::string("link ") + title);
    store.Post();
  }
  EXPECT_THROW(store.SetIndex({"Bad", "Missing", true}), EDatabaseError);
  EXPECT_EQ(test::Column(store, "Title"), (std::vector<std::string>{"c", "a", "b"}));
  store.SetIndex({"TitleIndex", "Title", true});
  EXPECT_EQ(test::Column(store, "Title"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(test::Column(store, "Link")[0], "link a");
}

TEST_F(DataSetTest, StringValuesAreCutToTheFieldSizeWhenAssigned) {
  store.Append();
  store.FieldByName("Title").SetAsString(std::string(100, 'x'));
  // 90 two-byte characters: cut at 80 characters, never inside one.
  std::string accented;
  for (int i = 0; i < 90; ++i) accented += "\xC3\xA9";
  store.FieldByName("Link").SetAsString(accented);
  store.FieldByName("Description").SetAsString(std::string(5000, 'm'));
  store.Post();
  EXPECT_EQ(Current("Title").size(), 80u);
  EXPECT_EQ(Current("Link"), accented);  // 90 characters fit in 256
  EXPECT_EQ(Current("Description").size(), 5000u);
  store.Edit();
  store.FieldByName("Title").SetAsString(accented);
  EXPECT_EQ(Current("Title").size(), 160u);
  store.FieldByName("Title").SetAsString(std::string(90, '\xE9'));  // not UTF-8: bytes
  EXPECT_EQ(Current("Title").size(), 80u);
}

TEST_F(DataSetTest, LocateFindsTheFirstEqualKeyOrMakesTheFirstRecordCurrent) {
  for (const char* title : {"b", "a", "b", "B"}) AddRecord(store, title, std::string("link ") + title);
  EXPECT_TRUE(store.Locate("Title", "b"));
  EXPECT_EQ(store.RecNo(), 3u);
  EXPECT_FALSE(store.Locate("Title", "A"));
  EXPECT_EQ(store.RecNo(), 1u);
  EXPECT_TRUE(store.Locate("Link", "link a"));  // a field without index
  EXPECT_EQ(Current(), "a");
  store.Last();
  EXPECT_FALSE(store.Locate("Link", "none"));
  EXPECT_EQ(store.RecNo(), 1u);
}

TEST_F(DataSetTest, NavigationSetsEofAndBof) {
  for (const char* title : {"a", "b"}) AddRecord(store, title);
  std::vector<std::string> seen;
  for (store.First(); !store.Eof(); store.Next()) seen.push_back(Current());
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  store.Last();
  store.Prior();
  EXPECT_EQ(Current(), "a");
  EXPECT_FALSE(store.Bof());
  store.Prior();
  EXPECT_TRUE(store.Bof());
  EXPECT_EQ(store.CurrentRow(), 0u);
}

TEST_F(DataSetTest, BeforePostMayChangeValuesAndAfterPostSeesThePostedRecord) {
  std::vector<std::string> events;
  store.BeforePost = [&](TDataSet& s) {
    events.push_back("before " + std::string(s.FieldByName("Link").AsString()));
    s.FieldByName("Link").SetAsString("relative");
  };
  store.AfterPost = [&](TDataSet& s) {
    events.push_back("after " + std::string(s.FieldByName("Link").AsString()) + " " + std::to_string(s.RecNo()));
  };
  AddRecord(store, "t", "/abs/path");
  EXPECT_EQ(events, (std::vector<std::string>{"before /abs/path", "after relative 1"}));
  EXPECT_EQ(Current("Link"), "relative");
}

TEST_F(DataSetTest, AMoveWhileEditingPostsTheChange) {
  for (const char* title : {"a", "b"}) AddRecord(store, title);
  store.First();
  store.Edit();
  store.FieldByName("Link").SetAsString("moved away");
  store.Next();
  EXPECT_EQ(store.State(), TDataSetState::Browse);
  EXPECT_EQ(Column(store, "Link")[0], "moved away");
}

TEST(DataSetErrors, MessagesStandAsTheStoreGivesThem) {
  TDataSet store;
  test::DeclareSimple(store);
  auto message = [](auto&& call) {
    try {
      call();
    } catch (const EDatabaseError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { store.Open(); }), "Missing data provider or data packet.");
  EXPECT_EQ(message([&] { store.Insert(); }), "Cannot perform this operation on a closed dataset");
  store.CreateDataSet();
  EXPECT_EQ(message([&] { store.FieldByName("Name"); }), "Field 'Name' not found");
  EXPECT_EQ(message([&] { store.Post(); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(message([&] { store.FieldByName("Title").SetAsString("x"); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(message([&] { store.Delete(); }), "Cannot perform this operation on an empty dataset");
  EXPECT_EQ(message([&] { store.MoveTo(3); }), "Record/Key deleted.");
  EXPECT_EQ(message([&] { store.AddMemoField("Later"); }), "Cannot perform this operation on an open dataset");
  TDataSet other;
  EXPECT_EQ(message([&] { other.AddStringField("Two words", 4); }), "Invalid field name 'Two words'");
  EXPECT_EQ(message([&] { other.AddStringField("", 4); }), "Field name can't be null, datapacket may be corrupted");
  // Field names compare without regard to case.
  EXPECT_EQ(&store.FieldByName("title"), &store.FieldByName("Title"));
}

}  // namespace
}  // namespace orb
