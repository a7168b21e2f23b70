#include <gtest/gtest.h>

#include <QTest>

#include "controls/DBEdit.h"
#include "controls/DBMemo.h"
#include "controls/DBText.h"
#include "platform/ErrorReport.h"
#include "tests/controls/ControlTestSupport.h"

using namespace orb;

namespace {

struct TDataControls : ::testing::Test {
  void SetUp() override {
    store.Add("Beta", "b.exe", "second\r\nline");
    store.Add("Alpha", "a.exe", "first");
    store.Data.First();
  }
  template <class T>
  void Bind(T& control, const char* field) {
    control.SetDataSource(&store.Source);
    control.SetDataField(field);
  }
  test::TSimpleStore store;
};

TEST_F(TDataControls, EditMemoAndLabelShowTheCurrentRecordAndFollowIt) {
  TDBEdit edit;
  TDBMemo memo;
  TDBText label;
  Bind(edit, "Title");
  Bind(memo, "Description");
  Bind(label, "Link");
  EXPECT_EQ(edit.text(), "Alpha");
  EXPECT_EQ(memo.toPlainText(), "first");
  EXPECT_EQ(label.text(), "a.exe");
  store.Data.Next();
  EXPECT_EQ(edit.text(), "Beta");
  EXPECT_EQ(memo.toPlainText(), "second\nline") << "stored line breaks show as lines";
  EXPECT_EQ(label.text(), "b.exe");
  store.Data.Close();
  EXPECT_EQ(edit.text(), "");
  EXPECT_EQ(label.text(), "");
}

TEST_F(TDataControls, TypedTextReachesTheFieldAtThePost) {
  TDBEdit edit;
  TDBMemo memo;
  Bind(edit, "Title");
  Bind(memo, "Description");
  QTest::keyClicks(&edit, " One");
  EXPECT_EQ(store.Data.State(), TDataSetState::Edit) << "typing edits the record";
  EXPECT_EQ(store.Current("Title"), "Alpha") << "not written before the post";
  memo.setPlainText("two\nlines");
  store.Data.Post();
  EXPECT_EQ(store.Titles(), (std::vector<std::string>{"Alpha One", "Beta"}));
  EXPECT_EQ(store.Current("Description"), "two\r\nlines") << "memo lines are stored as Windows writes them";
  QTest::keyClicks(&edit, "x");
  QTest::keyClick(&edit, Qt::Key_Escape);
  EXPECT_EQ(edit.text(), "Alpha One") << "Escape gives the typed text up";
  store.Data.Post();
  EXPECT_EQ(store.Current("Title"), "Alpha One");
}

TEST_F(TDataControls, AnEditBoundToAnotherFieldKeepsWhatWasTypedForTheFirst) {
  TDBEdit edit;
  Bind(edit, "Title");
  QTest::keyClicks(&edit, " One");
  edit.SetDataField("Link");
  EXPECT_EQ(edit.text(), "a.exe");
  EXPECT_EQ(store.Current("Title"), "Alpha One") << "written into the field it was typed for";
  QTest::keyClicks(&edit, "x");
  store.Data.Post();
  EXPECT_EQ(store.Current("Title"), "Alpha One");
  EXPECT_EQ(store.Current("Link"), "a.exex") << "not written into the new field";
}

TEST_F(TDataControls, AnAutoSizedLabelTakesTheWidthOfItsText) {
  TDBText label;
  label.resize(82, 13);
  label.SetAutoSize(true);
  Bind(label, "Title");
  const int shortWidth = label.width();
  EXPECT_EQ(shortWidth, label.sizeHint().width());
  store.Data.Edit();
  store.Data.FieldByName("Title").SetAsString("A much longer title than the label had at first");
  EXPECT_GT(label.width(), shortWidth);
  EXPECT_EQ(label.width(), label.sizeHint().width());
  EXPECT_EQ(label.height(), 13) << "only the width follows";
  store.Data.FieldByName("Title").SetAsString("");
  EXPECT_EQ(label.width(), 0) << "an empty label shows nothing";
}

TEST_F(TDataControls, AStringFieldsWidthLimitsTheEdit) {
  TDBEdit edit;
  Bind(edit, "Title");
  EXPECT_EQ(edit.maxLength(), 80);
  edit.selectAll();
  for (int i = 0; i < 100; ++i)
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Eacute, QString(QChar(0xE9)), Qt::NoModifier);
  EXPECT_EQ(edit.text().size(), 80);
  store.Data.Post();
  EXPECT_EQ(store.Current("Title"), QString(80, QChar(0xE9)).toStdString()) << "characters, not bytes";
}

TEST_F(TDataControls, LabelsShowMarkupAsWritten) {
  store.Add("<b>Tools</b> & more");
  TDBText label;
  Bind(label, "Title");
  EXPECT_EQ(label.text(), "<b>Tools</b> & more");
  EXPECT_EQ(label.textFormat(), Qt::PlainText);
}

TEST_F(TDataControls, EnterWithAnyModifierCommitsAndOtherKeysDoNot) {
  TOrbDBEdit edit;
  Bind(edit, "Title");
  int posts = 0;
  store.Data.AfterPost = [&](TDataSet&) { ++posts; };
  QTest::keyClick(&edit, Qt::Key_A);
  QTest::keyClick(&edit, Qt::Key_Tab);
  EXPECT_EQ(posts, 0);
  QTest::keyClick(&edit, Qt::Key_Return);
  QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClick(&edit, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(posts, 3) << "Enter commits even when nothing changed";
  EXPECT_EQ(store.Titles(), (std::vector<std::string>{"Alphaa", "Beta"}));
}

TEST_F(TDataControls, AFormHandlerThatClearsTheKeyStopsTheCommitAndTheKey) {
  TOrbDBMemo memo;
  Bind(memo, "Description");
  int posts = 0;
  store.Data.AfterPost = [&](TDataSet&) { ++posts; };
  std::vector<int> seen;
  memo.OnKeyDown = [&](int& key, Qt::KeyboardModifiers) {
    seen.push_back(key);
    if (key == Qt::Key_Return && seen.size() == 1) key = 0;
  };
  QTest::keyClick(&memo, Qt::Key_Return);
  EXPECT_EQ(posts, 0);
  EXPECT_EQ(memo.toPlainText(), "first") << "a cleared key does not reach the memo";
  QTest::keyClick(&memo, Qt::Key_Return);
  EXPECT_EQ(posts, 1);
  EXPECT_EQ(store.Data.State(), TDataSetState::Edit) << "the new line after the commit is a pending change again";
  EXPECT_EQ(memo.toPlainText().count('\n'), 1);
}

TEST_F(TDataControls, EnterOnAnEmptyStoreAppendsAndPostsARecord) {
  store.Data.First();
  store.Data.Delete();
  store.Data.Delete();
  ASSERT_TRUE(store.Data.IsEmpty());
  TOrbDBEdit edit;
  TOrbDBMemo memo;
  Bind(edit, "Title");
  Bind(memo, "Description");
  QTest::keyClicks(&memo, "Notes");
  EXPECT_EQ(memo.toPlainText(), "Notes") << "the record appended for the first key keeps it";
  QTest::keyClicks(&edit, "New");
  QTest::keyClick(&edit, Qt::Key_Enter);
  EXPECT_EQ(store.Titles(), std::vector<std::string>{"New"});
  EXPECT_EQ(store.Current("Description"), "Notes");
  EXPECT_EQ(store.Data.State(), TDataSetState::Browse);
}

TEST_F(TDataControls, ARefusedCommitIsReportedAndTheKeyIsKept) {
  std::vector<std::string> reports;
  SetErrorReporter([&](const std::string&, const std::string& text) { reports.push_back(text); });
  store.Data.BeforePost = [](TDataSet&) { throw EDatabaseError("Field value required."); };
  TOrbDBEdit edit;
  Bind(edit, "Title");
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(reports, std::vector<std::string>{"Field value required."});
  EXPECT_EQ(store.Data.State(), TDataSetState::Edit);
  SetErrorReporter({});
}

}  // namespace
