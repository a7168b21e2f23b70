#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/SetupModule_.h"
#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"
#include "platform/Application.h"
#include "platform/ErrorReport.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> events;

class TTestMenuForm : public TCDMenuForm {
 public:
  explicit TTestMenuForm(TComponent* owner) : TCDMenuForm(owner) {
    events.push_back("form created");
    move(3, 4);  // the position its description gives
    resize(200, 100);
  }
  ~TTestMenuForm() override { events.push_back("form destroyed"); }
};

class TTestNonVisualMenu : public TCDMenuComponent {
 public:
  explicit TTestNonVisualMenu(TComponent* owner) : TCDMenuComponent(owner) {
    events.push_back("non-visual created, program folder " + ProgramFolder);
  }
  ~TTestNonVisualMenu() override { events.push_back("non-visual destroyed"); }
};

class TFailingMenuForm : public TCDMenuForm {
 public:
  explicit TFailingMenuForm(TComponent* owner) : TCDMenuForm(owner) { throw std::runtime_error("broken data"); }
};

class TNotAMenu : public TComponent {
 public:
  explicit TNotAMenu(TComponent* owner) : TComponent(owner) { events.push_back("plain created"); }
};

struct TRecordingPoster : IWindowMessagePoster {
  TWindowMessage Register(const std::string&) override { return 77; }
  void Post(TWindowHandle window, TWindowMessage message) override {
    events.push_back("posted " + std::to_string(window) + " " + std::to_string(message));
  }
};

// A medium folder with a program file "Setup" whose start sequence runs in
// an application object of the test.
struct TStartFixture : ::testing::Test {
  void SetUp() override {
    events.clear();
    medium = fs::temp_directory_path() / ("orb-medium-" + std::to_string(::getpid()));
    fs::remove_all(medium);
    fs::create_directories(medium);
    SetWindowMessagePoster(&poster);
    SetErrorReporter([](const std::string& caption, const std::string& text) {
      events.push_back("report " + caption + "|" + text);
    });
    InitializeLowAPI();
    RegisterCDMenu(ClassOf<TTestMenuForm>(), "Test Form");
    RegisterCDMenu(ClassOf<TTestNonVisualMenu>(), "Test Non-visual");
    RegisterCDMenu(ClassOf<TFailingMenuForm>(), "Test Failing");
    RegisterCDMenu(ClassOf<TNotAMenu>(), "Test Plain");
    RegisterStudioMessage();
  }
  void TearDown() override {
    application.reset();
    FinalizeLowAPI();
    InitializeLowAPI();
    SetWindowMessagePoster(nullptr);
    SetErrorReporter({});
    fs::remove_all(medium);
  }

  void WriteProject(const std::string& xml, const std::string& name = "Setup.orbproj") {
    std::ofstream(medium / name, std::ios::binary) << xml;
  }
  static constexpr const char* kAppearance =
      "<MainForm><Caption>Menu</Caption><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>False</AlphaBlend>"
      "<Components/></MainForm>";
  static std::string Project(const std::string& menu, const std::string& setup = "<Setup><Title>My CD</Title></Setup>",
                             const std::string& mainForm = kAppearance) {
    return "<Orbdeck><Project><CDFormClass><Title>" + menu + "</Title></CDFormClass>" + setup + mainForm +
           "</Project></Orbdeck>";
  }

  // Starts the host as main() does, with the program file given.
  void Start(const std::string& programName = "Setup", std::vector<std::string> arguments = {}) {
    args = {programName};
    args.insert(args.end(), arguments.begin(), arguments.end());
    argv.clear();
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    argc = int(args.size());
    application = std::make_unique<TApplication>(argc, argv.data());
    application->SetExeName((medium / programName).string());
    application->SetTitle("Setup");
    application->CreateForm<TSetupModule>();
  }
  void End() { application.reset(); }

  fs::path medium;
  TRecordingPoster poster;
  std::vector<std::string> args;
  std::vector<char*> argv;
  int argc = 0;
  std::unique_ptr<TApplication> application;
};

}  // namespace

TEST_F(TStartFixture, NoProjectFileMeansNoMenuButTheStateIsSet) {
  Start();
  EXPECT_TRUE(HostMode);
  EXPECT_EQ(ProgramBaseName, "Setup");
  EXPECT_EQ(ProgramFolder, medium.string() + "/");
  EXPECT_NE(ProjectDocument, nullptr) << "created on every start";
  EXPECT_FALSE(CurrentMenu);
  EXPECT_EQ(application->MainForm(), nullptr);
  EXPECT_EQ(application->Title(), "Setup");
}

TEST_F(TStartFixture, ProgramWithDotsReadsTheProjectOfItsBaseName) {
  WriteProject(Project("Test Non-visual"), "My.orbproj");
  Start("My.Setup");
  EXPECT_EQ(ProgramBaseName, "My");
  EXPECT_TRUE(CurrentMenu);
}

TEST_F(TStartFixture, MenuFormBecomesTheCentredMainFormWithTheProjectTitle) {
  WriteProject(Project("test form"));
  Start();
  ASSERT_TRUE(CurrentMenu);
  auto* form = dynamic_cast<TTestMenuForm*>(CurrentMenu->GetForm());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(application->MainForm(), form);
  EXPECT_EQ(form->ReferenceCount(), 2) << "the current reference and one never released";
  EXPECT_EQ(application->Title(), "My CD");
  EXPECT_EQ(form->Position(), TFormPosition::ScreenCenter);
}

TEST_F(TStartFixture, AFailedRestoreShowsTheFormAsFarAsItWasSetUpButNotCentred) {
  WriteProject(Project("Test Form", "<Setup><Title>My CD</Title></Setup>",
                       "<MainForm><Caption>Restored</Caption><AlphaBlendValue>high</AlphaBlendValue></MainForm>"));
  Start();
  EXPECT_FALSE(CurrentMenu) << "emptied by the failure";
  TForm* form = application->MainForm();
  ASSERT_NE(form, nullptr) << "the form stays the main form";
  EXPECT_EQ(application->Title(), "My CD");
  EXPECT_EQ(form->windowTitle(), "Restored");
  EXPECT_EQ(form->Position(), TFormPosition::Designed);
  EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const std::string& e) { return e.starts_with("report"); }));
}

TEST_F(TStartFixture, MissingSetupTitleGivesAnEmptyTitle) {
  WriteProject(Project("Test Form", ""));
  Start();
  EXPECT_TRUE(CurrentMenu);
  EXPECT_EQ(application->Title(), "");
}

TEST_F(TStartFixture, NonVisualMenuKeepsTheTitleAndHasNoMainForm) {
  WriteProject(Project("Test Non-visual"));
  Start();
  ASSERT_TRUE(CurrentMenu);
  EXPECT_EQ(CurrentMenu->GetForm(), nullptr);
  EXPECT_EQ(application->MainForm(), nullptr);
  EXPECT_EQ(application->Title(), "Setup");
  EXPECT_EQ(events.front(), "non-visual created, program folder " + medium.string() + "/");
}

TEST_F(TStartFixture, EveryStartFailureIsSilentAndLeavesNoMenu) {
  const std::vector<std::string> projects = {
      "",
      "this is not XML",
      "<Orbdeck><Project><CDFormClass><Title>Test Form</Title>",
      "<Other>" + Project("Test Form") + "</Other>",
      "<Orbdeck/>",
      Project(""),
      Project("Unknown Menu"),
      "<Orbdeck><Project><CDFormClass><Title><b>Test Form</b></Title></CDFormClass></Project></Orbdeck>",
      Project("Test Failing"),
  };
  for (const std::string& xml : projects) {
    events.clear();
    WriteProject(xml);
    Start();
    EXPECT_FALSE(CurrentMenu) << xml;
    EXPECT_EQ(application->MainForm(), nullptr) << xml;
    EXPECT_EQ(application->Title(), "Setup") << xml;
    EXPECT_TRUE(events.empty()) << xml << ": nothing reported, nothing created";
    End();
  }
}

TEST_F(TStartFixture, ClassWithoutTheMenuInterfaceFailsTheStart) {
  WriteProject(Project("Test Plain"));
  Start();
  EXPECT_EQ(events, std::vector<std::string>{"plain created"});
  EXPECT_FALSE(CurrentMenu);
  EXPECT_EQ(application->Title(), "Setup");
}

TEST_F(TStartFixture, EmptyProjectIsCompletedInMemoryOnlyAndNeverWritten) {
  WriteProject("<Orbdeck/>");
  Start();
  EXPECT_FALSE(CurrentMenu);
  pugi::xml_node title = ProjectDocument->DocumentElement().child("Project").child("CDFormClass").child("Title");
  EXPECT_TRUE(title) << "the binding created the missing elements in memory";
  End();
  std::ifstream in(medium / "Setup.orbproj");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "<Orbdeck/>");
}

TEST_F(TStartFixture, EndDestroysTheMenuBeforeTheStudioIsNotified) {
  WriteProject(Project("Test Form"));
  Start("Setup", {"1234"});
  End();
  EXPECT_EQ(events, (std::vector<std::string>{"form created", "form destroyed", "posted 1234 77"}));
  EXPECT_FALSE(CurrentMenu);
  EXPECT_FALSE(ProjectRoot) << "the project root goes with its document";
}

TEST_F(TStartFixture, NonVisualMenuIsDestroyedOnceAtTheEnd) {
  WriteProject(Project("Test Non-visual"));
  Start("Setup", {"$4D2"});
  End();
  FinalizeLowAPI();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1], "non-visual destroyed");
  EXPECT_EQ(events[2], "posted 1234 77");
}

TEST_F(TStartFixture, BadStudioArgumentIsReportedAtTheEndAndNothingIsPosted) {
  Start("Setup", {"studio"});
  application->SetTitle("My CD");
  End();
  EXPECT_EQ(events, std::vector<std::string>{"report My CD|'studio' is not a valid integer value."});
}

TEST_F(TStartFixture, NoArgumentNotifiesNothing) {
  Start();
  End();
  EXPECT_TRUE(events.empty());
}
