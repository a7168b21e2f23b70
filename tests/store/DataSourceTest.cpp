#include <gtest/gtest.h>

#include "store/DataSource.h"
#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

// A stand-in for a data-aware edit: shows the field and writes typed text back at post.
struct TEditControl {
  explicit TEditControl(TDataSource& source, const std::string& field) {
    link.OnDataChange = [this] { shown = link.Field() ? link.Field()->AsString() : "<none>"; ++dataChanges; };
    link.OnEditingChange = [this] { ++editingChanges; };
    link.OnActiveChange = [this] { ++activeChanges; };
    link.OnUpdateData = [this] { link.Field()->SetAsString(typed); };
    link.SetDataSource(&source);
    link.SetFieldName(field);
  }
  void Type(const std::string& text) {
    link.Edit();
    typed = text;
    link.Modified();
  }
  TFieldDataLink link;
  std::string shown, typed;
  int dataChanges = 0, editingChanges = 0, activeChanges = 0;
};

TEST(DataSource, AFieldLinkFollowsOpenMovesFieldChangesAndStates) {
  TDataSet store;
  test::DeclareSimple(store);
  TDataSource source(&store);
  TEditControl edit(source, "Title");
  EXPECT_EQ(edit.shown, "<none>");
  store.CreateDataSet();
  EXPECT_EQ(edit.activeChanges, 2);  // once when bound, once when opened
  test::AddRecord(store, "a");
  test::AddRecord(store, "b");
  EXPECT_EQ(edit.shown, "b");
  store.First();
  EXPECT_EQ(edit.shown, "a");
  int editing = edit.editingChanges;
  store.Edit();
  EXPECT_EQ(edit.editingChanges, editing + 1);
  store.FieldByName("Title").SetAsString("changed");
  EXPECT_EQ(edit.shown, "changed");
  int before = edit.dataChanges;
  store.FieldByName("Link").SetAsString("another field");
  EXPECT_EQ(edit.dataChanges, before);
  store.Cancel();
  EXPECT_EQ(edit.shown, "a");
  EXPECT_EQ(edit.editingChanges, editing + 2);
  store.Close();
  EXPECT_EQ(edit.shown, "<none>");
}

TEST(DataSource, PendingInputIsWrittenIntoTheFieldBeforeThePost) {
  TDataSet store;
  test::DeclareSimple(store);
  store.CreateDataSet();
  TDataSource source(&store);
  TEditControl title(source, "Title");
  TEditControl link(source, "Link");
  std::string seenInBeforePost;
  store.BeforePost = [&](TDataSet& s) { seenInBeforePost = s.FieldByName("Title").AsString(); };
  title.Type("typed");  // on an empty store this inserts
  EXPECT_EQ(store.State(), TDataSetState::Insert);
  store.Post();
  EXPECT_EQ(seenInBeforePost, "typed");
  EXPECT_EQ(store.FieldByName("Title").AsString(), "typed");
  EXPECT_EQ(store.FieldByName("Link").AsString(), "");  // the link control held no input
  // Input the control gave up is not written at the next post.
  link.Type("abandoned");
  link.link.Reset();
  store.Post();
  EXPECT_EQ(store.FieldByName("Link").AsString(), "");
}

TEST(DataSource, MovingOnOrInsertingKeepsInputThatWasNotWrittenYet) {
  TDataSet store;
  test::DeclareSimple(store);
  store.CreateDataSet();
  test::AddRecord(store, "b");
  TDataSource source(&store);
  TEditControl title(source, "Title");
  title.Type("a");  // still only in the control
  store.Insert();   // leaving the record must not drop what was typed
  store.Cancel();
  EXPECT_EQ(test::Column(store, "Title"), std::vector<std::string>{"a"});
  title.Type("c");
  store.First();
  EXPECT_EQ(test::Column(store, "Title"), std::vector<std::string>{"c"});
}

TEST(DataSource, ObserversAreToldOfEveryKindOfEvent) {
  struct TRecorder : IDataSetObserver {
    std::vector<std::string> events;
    void ActiveChanged() override { events.push_back("active"); }
    void RecordMoved() override { events.push_back("moved"); }
    void DataChanged() override { events.push_back("data"); }
    void FieldChanged(const TField& field) override { events.push_back("field " + field.FieldName()); }
    void StateChanged() override { events.push_back("state"); }
    void UpdateData() override { events.push_back("update"); }
  } recorder;
  TDataSet store;
  test::DeclareSimple(store);
  store.AddObserver(&recorder);
  store.CreateDataSet();
  store.Append();
  store.FieldByName("Title").SetAsString("x");
  store.Post();
  store.First();
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"active", "state", "data", "field Title", "update", "state",
                                                       "data", "moved"}));
  store.RemoveObserver(&recorder);
  store.Last();
  EXPECT_EQ(recorder.events.size(), 8u);
}

TEST(DataSource, LinksForgetAStoreOrSourceThatIsDestroyed) {
  auto store = std::make_unique<TDataSet>();
  test::DeclareSimple(*store);
  store->CreateDataSet();
  TFieldDataLink orphan;
  {
    TDataSource source(store.get());
    TEditControl edit(source, "Title");
    store.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(edit.link.Field(), nullptr);
    EXPECT_FALSE(edit.link.Edit());
    orphan.SetDataSource(&source);
  }
  EXPECT_EQ(orphan.DataSource(), nullptr);
}

}  // namespace
}  // namespace orb
