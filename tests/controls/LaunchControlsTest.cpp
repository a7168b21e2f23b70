#include <gtest/gtest.h>

#include <QTest>

#include "controls/OrbExecButton.h"
#include "controls/OrbExecText.h"
#include "tests/controls/ControlTestSupport.h"

using namespace orb;

namespace {

// A store with a link field and an action field, as the catalogue keeps them.
struct TLinkStore {
  TLinkStore() {
    Data.AddStringField("Title", 80);
    Data.AddStringField("Link", 256);
    Data.AddStringField("Action", 20);
    Data.AddMemoField("Notes");
    Data.CreateDataSet();
    Source.SetDataSet(&Data);
  }
  void Show(const std::string& link, const std::string& action) {
    if (!Data.IsEmpty()) Data.Delete();
    Data.Append();
    Data.FieldByName("Title").SetAsString("Entry");
    Data.FieldByName("Link").SetAsString(link);
    Data.FieldByName("Action").SetAsString(action);
    Data.Post();
  }
  TDataSet Data;
  TDataSource Source;
};

struct TLauncher : ::testing::Test {
  void SetUp() override { ProgramFolder = "/media/cd/"; }
  void TearDown() override { ProgramFolder.clear(); }
  // What one launch of the current record asks the shell to open.
  std::vector<std::string> Launch(TOrbDBExecute& launcher) {
    shell.opened.clear();
    launcher.Execute();
    return shell.opened;
  }
  test::TRecordingShell shell;
  TLinkStore store;
};

using TOpened = std::vector<std::string>;

TEST_F(TLauncher, TheKindWordBuildsTheTargetByPlainConcatenation) {
  TOrbDBExecute launcher;
  launcher.SetLinkField(&store.Data.FieldByName("Link"));
  struct TCase {
    std::string link, kind;
    TOpened opened;
  } cases[] = {
      {"Setup\\run.exe", "File", {"/media/cd/Setup/run.exe"}},
      {"Docs", "Folder", {"/media/cd/Docs"}},
      {"", "File", {"/media/cd/"}},  // an empty link opens the program folder
      {"", "Folder", {"/media/cd/"}},
      {"www.example.org", "Internet", {"http://www.example.org"}},
      {"http://www.example.org", "Internet", {"http://http://www.example.org"}},
      {"", "Internet", {"http://"}},
      {"info@example.org", "e-mail", {"mailto:info@example.org"}},
      {"", "e-mail", {"mailto:"}},
      {"C:\\Tools\\x.exe", "File", {"/media/cd/C:/Tools/x.exe"}},  // a full path never resolves
      {"a.exe", "file", {}},  // kind words compare with case
      {"a.exe", " File", {}},
      {"a.exe", "", {}},
      {"a.exe", "Program", {}},
  };
  for (const TCase& c : cases) {
    store.Show(c.link, "");
    launcher.SetExecuteStr(c.kind);
    EXPECT_EQ(Launch(launcher), c.opened) << "'" << c.link << "' as '" << c.kind << "'";
  }
}

TEST_F(TLauncher, AnActionFieldReplacesTheKindWordAtEveryLaunch) {
  TOrbDBExecute launcher;
  launcher.SetLinkField(&store.Data.FieldByName("Link"));
  launcher.SetActionField(&store.Data.FieldByName("Action"));
  launcher.SetExecuteStr("File");
  store.Show("example.org", "Internet");
  EXPECT_EQ(Launch(launcher), TOpened{"http://example.org"});
  EXPECT_EQ(launcher.ExecuteStr(), "Internet") << "the word stays after the launch";
  store.Show("a.exe", "");
  EXPECT_EQ(Launch(launcher), TOpened{}) << "an empty action launches nothing, whatever the form stored";
  EXPECT_EQ(launcher.ExecuteStr(), "");
}

TEST_F(TLauncher, WithoutALinkFieldNothingIsLaunched) {
  TOrbDBExecute launcher;
  launcher.SetExecuteStr("File");
  store.Show("a.exe", "File");
  EXPECT_EQ(Launch(launcher), TOpened{});
}

TEST_F(TLauncher, TheButtonRunsItsClickHandlerFirstThenLaunches) {
  TOrbExecButton button;
  button.setText("Install");
  button.DBExecute().SetLinkField(&store.Data.FieldByName("Link"));
  button.SetExecuteStr("File");
  store.Show("setup.sh", "");
  std::vector<std::string> order;
  button.OnClick = [&] { order.push_back("handler, launched " + std::to_string(shell.opened.size())); };
  button.click();
  EXPECT_EQ(order, std::vector<std::string>{"handler, launched 0"});
  EXPECT_EQ(shell.opened, TOpened{"/media/cd/setup.sh"});
  EXPECT_EQ(button.text(), "Install") << "without a data source the caption stays";
}

TEST_F(TLauncher, TheButtonsCaptionFollowsAStringFieldOnly) {
  store.Show("a.exe", "File");
  TOrbExecButton button;
  button.setText("Install");
  button.SetDataSource(&store.Source);
  button.SetDataField("Title");
  EXPECT_EQ(button.text(), "Entry");
  button.SetDataField("Notes");
  EXPECT_EQ(button.text(), "") << "a memo field gives no caption";
  button.SetDataField("Title");
  store.Data.Close();
  EXPECT_EQ(button.text(), "");
  EXPECT_TRUE(button.setProperty("Caption", QString("Start")));
  EXPECT_EQ(button.text(), "Start");
}

TEST_F(TLauncher, TheTextShowsItsFieldAndAClickLaunchesAfterItsHandler) {
  store.Show("Docs", "Folder");
  TOrbExecText text;
  text.resize(100, 20);
  text.SetDataSource(&store.Source);
  text.SetDataField("Title");
  text.DBExecute().SetLinkField(&store.Data.FieldByName("Link"));
  text.DBExecute().SetActionField(&store.Data.FieldByName("Action"));
  bool handlerFirst = false;
  text.OnClick = [&] { handlerFirst = shell.opened.empty(); };
  EXPECT_EQ(text.text(), "Entry");
  EXPECT_EQ(text.cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(&text, Qt::RightButton);
  EXPECT_EQ(shell.opened, TOpened{}) << "only the left button clicks";
  QTest::mouseClick(&text, Qt::LeftButton);
  EXPECT_TRUE(handlerFirst);
  EXPECT_EQ(shell.opened, TOpened{"/media/cd/Docs"});
  EXPECT_EQ(text.metaObject()->indexOfProperty("Caption"), -1) << "its text comes from the field";
}

}  // namespace
