#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DisplayText.h"
#include "platform/ErrorReport.h"
#include "platform/ProgramFile.h"

using namespace orb;

namespace {

std::vector<std::string> events;

class TLoggedComponent : public TComponent {
 public:
  TLoggedComponent(TComponent* owner, std::string name) : TComponent(owner) { SetName(std::move(name)); }
  ~TLoggedComponent() override { events.push_back("destroy " + Name()); }
};

class TPlainForm : public TForm {
 public:
  explicit TPlainForm(TComponent* owner) : TForm(owner) {}
};

class TFailingForm : public TForm {
 public:
  explicit TFailingForm(TComponent* owner) : TForm(owner) { throw std::runtime_error("no form"); }
};

class TLoggedModule : public TDataModule {
 public:
  explicit TLoggedModule(TComponent* owner) : TDataModule(owner) {}

 protected:
  void DataModuleCreate() override { events.push_back("create handler"); }
  void DataModuleDestroy() override {
    events.push_back("destroy handler");
    throw std::runtime_error("failed while ending");
  }
};

struct TApplicationFixture : ::testing::Test {
  void SetUp() override {
    events.clear();
    SetErrorReporter([this](const std::string& caption, const std::string& text) {
      reports.push_back(caption + "|" + text);
    });
  }
  void TearDown() override { SetErrorReporter({}); }

  int argc = 1;
  char name[6] = "Setup";
  char* argv[2] = {name, nullptr};
  std::vector<std::string> reports;
};

}  // namespace

TEST(Component, OwnerDestroysItsComponentsNewestFirst) {
  events.clear();
  {
    TLoggedComponent owner(nullptr, "owner");
    new TLoggedComponent(&owner, "first");
    auto* second = new TLoggedComponent(&owner, "second");
    new TLoggedComponent(second, "child of second");
    new TLoggedComponent(&owner, "third");
  }
  // The owner's own destructor runs first, then its components go, newest first.
  EXPECT_EQ(events, (std::vector<std::string>{"destroy owner", "destroy third", "destroy second",
                                              "destroy child of second", "destroy first"}));
}

TEST(Component, DestroyedComponentLeavesItsOwner) {
  events.clear();
  TLoggedComponent owner(nullptr, "owner");
  auto* early = new TLoggedComponent(&owner, "Early");
  EXPECT_EQ(owner.FindComponent("EARLY"), early);
  delete early;
  EXPECT_EQ(owner.Components().size(), 0u);
  EXPECT_EQ(owner.FindComponent("early"), nullptr);
}

// What is read ahead before Qt starts must lie beside the program file that
// the application names.
TEST_F(TApplicationFixture, TheProgramFileFoundWithoutQtIsTheOneTheApplicationNames) {
  TApplication application(argc, argv);
  EXPECT_FALSE(RunningProgramFile().empty());
  EXPECT_EQ(RunningProgramFile(), application.ExeName());
}

TEST_F(TApplicationFixture, FirstCreatedFormBecomesMainForm) {
  TApplication application(argc, argv);
  EXPECT_EQ(application.Title(), "");
  EXPECT_EQ(application.MainForm(), nullptr);
  application.CreateForm<TLoggedModule>();
  EXPECT_EQ(application.MainForm(), nullptr) << "a data module is no form";
  auto* first = application.CreateForm<TPlainForm>();
  application.CreateForm<TPlainForm>();
  EXPECT_EQ(application.MainForm(), first);
  delete first;
  EXPECT_EQ(application.MainForm(), nullptr) << "the main form must never dangle";
}

TEST_F(TApplicationFixture, FailingConstructorLeavesNoFormBehind) {
  TApplication application(argc, argv);
  EXPECT_THROW(application.CreateForm<TFailingForm>(), std::runtime_error);
  EXPECT_EQ(application.MainForm(), nullptr);
  EXPECT_TRUE(application.Components().empty());
}

TEST_F(TApplicationFixture, RunReturnsAtOnceWithoutMainForm) {
  TApplication application(argc, argv);
  // Posted work runs only inside the message loop; it ends the loop should Run start one.
  QObject context;
  bool loopRan = false;
  QTimer::singleShot(0, &context, [&] {
    loopRan = true;
    QCoreApplication::quit();
  });
  application.Run();
  EXPECT_FALSE(loopRan) << "without a main form the message loop must not start";
}

TEST_F(TApplicationFixture, RunShowsTheMainFormAndReturnsWhenItCloses) {
  TApplication application(argc, argv);
  auto* form = application.CreateForm<TPlainForm>();
  bool wasVisible = false;
  QTimer::singleShot(0, form, [&] {
    wasVisible = form->isVisible();
    form->close();
  });
  application.Run();
  EXPECT_TRUE(wasVisible);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(TApplicationFixture, TerminateBeforeRunKeepsTheLoopFromStarting) {
  TApplication application(argc, argv);
  auto* form = application.CreateForm<TPlainForm>();
  application.Terminate();
  application.Run();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(TApplicationFixture, DataModuleHandlersRunAndTheirFailuresAreReported) {
  {
    TApplication application(argc, argv);
    application.SetTitle("My CD");
    application.CreateForm<TLoggedModule>();
    EXPECT_EQ(events, std::vector<std::string>{"create handler"});
  }
  EXPECT_EQ(events, (std::vector<std::string>{"create handler", "destroy handler"}));
  EXPECT_EQ(reports, std::vector<std::string>{"My CD|failed while ending."});
}

TEST(ErrorReport, FullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorReportText("File not found"), "File not found.");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ErrorReportText("Really!"), "Really!");
  EXPECT_EQ(ErrorReportText("Value (x)"), "Value (x)");
  EXPECT_EQ(ErrorReportText("Count: 5"), "Count: 5.");
  EXPECT_EQ(ErrorReportText("/"), "/.");
  EXPECT_EQ(ErrorReportText(""), "");
  EXPECT_EQ(ErrorReportText("Caf\xc3\xa9"), "Caf\xc3\xa9.") << "bytes above ASCII sort after the full stop";
}

TEST_F(TApplicationFixture, GuardReportsWithTheTitleAndGoesOn) {
  TApplication application(argc, argv);
  application.SetTitle("Menu");
  bool after = false;
  Guard([] { throw std::runtime_error("Cannot open"); });
  Guarded([&after](int) { after = true; })(1);
  EXPECT_EQ(reports, std::vector<std::string>{"Menu|Cannot open."});
  EXPECT_TRUE(after);
}

namespace {

// A form-like receiver whose handlers are member functions.
struct TClickCounter {
  int plainClicks = 0;
  std::vector<bool> checkedStates;
  void Clicked() { ++plainClicks; }
  void ClickedWithState(bool checked) { checkedStates.push_back(checked); }
  void Fails() { throw std::runtime_error("Button failed"); }
};

}  // namespace

TEST_F(TApplicationFixture, GuardedMemberHandlersDropTheArgumentsTheyDoNotTake) {
  TApplication application(argc, argv);
  application.SetTitle("Menu");
  TClickCounter counter;
  QPushButton button;
  button.setCheckable(true);
  QObject::connect(&button, &QPushButton::clicked, &button, Guarded(&TClickCounter::Clicked, &counter));
  QObject::connect(&button, &QPushButton::clicked, &button, Guarded(&TClickCounter::ClickedWithState, &counter));
  QObject::connect(&button, &QPushButton::clicked, &button, Guarded(&TClickCounter::Fails, &counter));
  button.click();
  button.click();
  EXPECT_EQ(counter.plainClicks, 2);
  EXPECT_EQ(counter.checkedStates, (std::vector<bool>{true, false}));
  EXPECT_EQ(reports, (std::vector<std::string>{"Menu|Button failed.", "Menu|Button failed."}));
}

TEST_F(TApplicationFixture, GuardCallsMemberFunctionsWithTheirObject) {
  TApplication application(argc, argv);
  TClickCounter counter;
  Guard(&TClickCounter::ClickedWithState, &counter, true);
  Guard(&TClickCounter::Fails, counter);
  EXPECT_EQ(counter.checkedStates, std::vector<bool>{true});
  EXPECT_EQ(reports.size(), 1u);
}

TEST(DisplayText, Utf8StaysUtf8AndOtherBytesAreWindows1252) {
  EXPECT_EQ(DisplayText("Caf\xc3\xa9"), QString::fromUtf8("Caf\xc3\xa9"));
  EXPECT_EQ(DisplayText("Caf\xe9 \x80 \x93"), QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9c"));
  EXPECT_EQ(DisplayText(""), QString());
}
