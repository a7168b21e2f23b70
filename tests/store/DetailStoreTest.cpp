#include <gtest/gtest.h>

#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

// The Package Software stores: packages with one nested record of five program slots.
class DetailStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::DeclarePackage(master, detail);
    master.CreateDataSet();
    master.SetLogChanges(false);
    master.AfterPost = [this](TDataSet&) { ++masterPosts; };
  }

  void AddPackage(const std::string& name) {
    master.Edit();
    master.Insert();
    master.FieldByName("Name").SetAsString(name);
    master.Post();
  }

  // Writes one slot's title as typing into the slot's edit would.
  void TypeTitle(int slot, const std::string& title) {
    detail.Edit();
    detail.FieldByName("Title" + std::to_string(slot)).SetAsString(title);
  }

  std::string Slot(int slot) { return std::string(detail.FieldByName("Title" + std::to_string(slot)).AsString()); }

  TDataSet master;
  TDataSet detail;
  int masterPosts = 0;
};

TEST_F(DetailStoreTest, DetailOpensWithTheMasterAndShowsTheCurrentPackagesPrograms) {
  EXPECT_TRUE(detail.Active());
  EXPECT_EQ(detail.FieldCount(), 10u);
  AddPackage("Beta");
  TypeTitle(1, "beta program");
  master.Post();
  AddPackage("Alpha");
  EXPECT_TRUE(detail.IsEmpty());
  master.Locate("Name", "Beta");
  EXPECT_EQ(detail.RecordCount(), 1u);
  EXPECT_EQ(Slot(1), "beta program");
  master.First();
  EXPECT_TRUE(detail.IsEmpty());
  EXPECT_EQ(Slot(1), "");
}

TEST_F(DetailStoreTest, EditingTheDetailPutsTheMasterIntoEditState) {
  AddPackage("P");
  EXPECT_EQ(master.State(), TDataSetState::Browse);
  TypeTitle(1, "x");
  EXPECT_EQ(detail.State(), TDataSetState::Insert);  // the package had no nested record yet
  EXPECT_EQ(master.State(), TDataSetState::Edit);
}

TEST_F(DetailStoreTest, DetailPostWritesIntoTheMasterRecordWhichStaysEditing) {
  AddPackage("P");
  TypeTitle(1, "x");
  detail.FieldByName("Link1").SetAsString("Setup\\run.exe");
  int postsBefore = masterPosts;
  detail.Post();
  EXPECT_EQ(masterPosts, postsBefore);  // a detail post alone is not a master post
  EXPECT_EQ(master.State(), TDataSetState::Edit);
  EXPECT_EQ(detail.RecordCount(), 1u);
  // Cancelling the master drops the nested change with it.
  master.Cancel();
  EXPECT_TRUE(detail.IsEmpty());
  // Posting the master keeps it.
  TypeTitle(1, "x");
  detail.FieldByName("Link1").SetAsString("Setup\\run.exe");
  detail.Post();
  master.Post();
  EXPECT_EQ(masterPosts, postsBefore + 1);
  EXPECT_EQ(detail.RecordCount(), 1u);
  EXPECT_EQ(detail.FieldByName("Link1").AsString(), "Setup\\run.exe");
}

TEST_F(DetailStoreTest, MasterPostFirstPostsThePendingDetailInsert) {
  // Slot 1 typed into, tab 2 chosen (the pending insert stays), slot 2 typed, then Enter.
  AddPackage("P");
  TypeTitle(1, "first");
  if (detail.State() == TDataSetState::Edit) detail.Post();
  TypeTitle(2, "second");
  master.Edit();
  master.Post();
  EXPECT_EQ(detail.State(), TDataSetState::Browse);
  ASSERT_EQ(detail.RecordCount(), 1u);
  EXPECT_EQ(Slot(1), "first");
  EXPECT_EQ(Slot(2), "second");
}

TEST_F(DetailStoreTest, MasterPostDropsADetailEditThatChangedNothing) {
  AddPackage("P");
  TypeTitle(1, "one");
  master.Post();
  detail.Edit();
  master.Post();
  EXPECT_EQ(detail.RecordCount(), 1u);
  EXPECT_EQ(detail.State(), TDataSetState::Browse);
  // And an edit on the master that changed nothing, posted, still posts.
  EXPECT_EQ(Slot(1), "one");
}

TEST_F(DetailStoreTest, DetailEditPostedOnTabChangeThenCommittedByEnter) {
  AddPackage("P");
  TypeTitle(1, "one");
  master.Post();
  TypeTitle(3, "three");
  EXPECT_EQ(detail.State(), TDataSetState::Edit);
  detail.Post();
  EXPECT_EQ(master.State(), TDataSetState::Edit);
  master.Post();
  EXPECT_EQ(Slot(1), "one");
  EXPECT_EQ(Slot(3), "three");
}

TEST_F(DetailStoreTest, DeletingAPackageRemovesItsPrograms) {
  AddPackage("A");
  TypeTitle(1, "a1");
  master.Post();
  AddPackage("B");
  TypeTitle(1, "b1");
  master.Post();
  master.Locate("Name", "A");
  // As the Delete command does: the nested record first, then the package.
  detail.Delete();
  EXPECT_TRUE(detail.IsEmpty());
  EXPECT_EQ(master.State(), TDataSetState::Edit);
  master.Delete();
  EXPECT_EQ(master.RecordCount(), 1u);
  EXPECT_EQ(master.FieldByName("Name").AsString(), "B");
  EXPECT_EQ(Slot(1), "b1");
  master.Delete();
  EXPECT_TRUE(master.IsEmpty());
  EXPECT_TRUE(detail.IsEmpty());
}

TEST_F(DetailStoreTest, EditingTheDetailOfAnEmptyMasterInsertsAPackage) {
  TypeTitle(1, "orphan");
  EXPECT_EQ(master.State(), TDataSetState::Insert);
  master.FieldByName("Name").SetAsString("Made");
  master.Post();
  EXPECT_EQ(master.RecordCount(), 1u);
  EXPECT_EQ(Slot(1), "orphan");
}

TEST_F(DetailStoreTest, NestedRecordsSurviveASaveAndLoad) {
  AddPackage("P");
  TypeTitle(1, "quote \" and \\ path");
  detail.FieldByName("Link1").SetAsString("Setup\\run.exe");
  master.Post();
  test::TTempDir folder;
  master.SaveToFile(folder / "db.xml");
  EXPECT_NE(test::ReadFile(folder / "db.xml").find("<Softwares><ROWSoftwares Title1=\"quote &quot; and &#092; path\" "
                                                   "Link1=\"Setup&#092;run.exe\"/></Softwares>"),
            std::string::npos);
  TDataSet loaded;
  TDataSet loadedDetail;
  test::DeclarePackage(loaded, loadedDetail);
  loaded.LoadFromFile(folder / "db.xml");
  EXPECT_EQ(loadedDetail.FieldByName("Title1").AsString(), "quote \" and \\ path");
  EXPECT_EQ(loadedDetail.FieldByName("Link1").AsString(), "Setup\\run.exe");
}

}  // namespace
}  // namespace orb
