#include <gtest/gtest.h>

#include <QCloseEvent>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"
#include "platform/Application.h"
#include "platform/ErrorReport.h"

using namespace orb;

namespace {

int destroyedCount = 0;

class TAlphaForm : public TCDMenuForm {
 public:
  explicit TAlphaForm(TComponent* owner) : TCDMenuForm(owner) {}
  ~TAlphaForm() override { ++destroyedCount; }
  std::string GetMenuName() override { return "Software Distribution"; }
};

class TBetaMenu : public TCDMenuComponent {
 public:
  explicit TBetaMenu(TComponent* owner) : TCDMenuComponent(owner) {}
  ~TBetaMenu() override { ++destroyedCount; }
};

struct TRecordingPoster : IWindowMessagePoster {
  TWindowMessage Register(const std::string& name) override {
    registered.push_back(name);
    return 0xC123;
  }
  void Post(TWindowHandle window, TWindowMessage message) override { posts.emplace_back(window, message); }
  std::vector<std::string> registered;
  std::vector<std::pair<TWindowHandle, TWindowMessage>> posts;
};

struct TLowAPIFixture : ::testing::Test {
  void SetUp() override {
    InitializeLowAPI();
    destroyedCount = 0;
  }
  void TearDown() override { InitializeLowAPI(); }
};

}  // namespace

TEST_F(TLowAPIFixture, FindCDMenuIgnoresCaseAndTheFirstRegistrationWins) {
  RegisterCDMenu(ClassOf<TAlphaForm>(), "Simple");
  RegisterCDMenu(ClassOf<TBetaMenu>(), "Autorun file");
  RegisterCDMenu(ClassOf<TBetaMenu>(), "simple");
  EXPECT_EQ(&FindCDMenu("SIMPLE"), &ClassOf<TAlphaForm>());
  EXPECT_EQ(&FindCDMenu("autorun FILE"), &ClassOf<TBetaMenu>());
  EXPECT_EQ(CDMenuNames.size(), 3u);
  EXPECT_EQ(CDMenuClasses.Count(), 3);
}

TEST_F(TLowAPIFixture, NameNotRegisteredIsAFailureNeverNoClass) {
  RegisterCDMenu(ClassOf<TAlphaForm>(), "Simple");
  for (const char* name : {"", "Single Level", "Simple "}) {
    try {
      FindCDMenu(name);
      ADD_FAILURE() << name;
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
  }
}

TEST_F(TLowAPIFixture, ReleaseDestroysAtZeroAndOwnerDestructionDetachesTheCurrentMenu) {
  {
    auto* menu = new TBetaMenu(nullptr);
    TCDMenuRef first(menu);
    TCDMenuRef second = first;
    EXPECT_EQ(menu->ReferenceCount(), 2);
    first.Reset();
    EXPECT_EQ(destroyedCount, 0);
  }
  EXPECT_EQ(destroyedCount, 1);

  // Destroyed by its owner while CurrentMenu refers to it: the reference is
  // dropped without a release into a destroyedCount object.
  auto* owner = new TComponent(nullptr);
  CurrentMenu = new TBetaMenu(owner);
  delete owner;
  EXPECT_EQ(destroyedCount, 2);
  EXPECT_FALSE(CurrentMenu);
  FinalizeLowAPI();
}

TEST_F(TLowAPIFixture, ReleasingCurrentMenuRemovesItFromItsOwner) {
  TComponent owner(nullptr);
  CurrentMenu = new TBetaMenu(&owner);
  CurrentMenu.Reset();
  EXPECT_EQ(destroyedCount, 1);
  EXPECT_TRUE(owner.Components().empty()) << "the owner must not destroy it a second time";
}

TEST_F(TLowAPIFixture, CloseRuleKeepsTheFormOpenUnlessInHostMode) {
  TAlphaForm form(nullptr);
  EXPECT_EQ(form.GetForm(), &form);
  form.show();
  HostMode = false;
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  HostMode = true;
  EXPECT_TRUE(form.close());
  EXPECT_FALSE(form.isVisible());
}

TEST_F(TLowAPIFixture, SaveMenuWritesTheMenuNameIntoTheProjectInMemory) {
  TXMLDocument document;
  ProjectRoot = GetOrbdeck(document);
  TAlphaForm form(nullptr);
  TCDMenuRef menu(&form);
  menu->Save();
  EXPECT_EQ(ProjectRoot->Get_Project().Get_CDFormClass().Get_Title(), "Software Distribution");
  menu.Detach();  // the form lives on the stack
  ProjectRoot.reset();
}

TEST_F(TLowAPIFixture, BaseMenusDoNothingOnRefresh) {
  TBetaMenu menu(nullptr);
  EXPECT_EQ(menu.GetForm(), nullptr);
  menu.Refresh();
  menu.Save();
  EXPECT_EQ(destroyedCount, 0);
}

TEST_F(TLowAPIFixture, PathsAreBuiltFromTheProgramFolderAndBaseName) {
  ProgramFolder = "/media/cd/";
  ProgramBaseName = "Setup";
  EXPECT_EQ(DataFolder(), "/media/cd/Data/");
  EXPECT_EQ(ProjectFileName(), "/media/cd/Setup.orbproj");
  ProgramBaseName = "My.Setup";
  EXPECT_EQ(ProjectFileName(), "/media/cd/My.orbproj") << "only the last extension is replaced";
  EXPECT_EQ(ChangeFileExt("Setup.exe", ""), "Setup");
  EXPECT_EQ(ChangeFileExt("My.Setup.exe", ""), "My.Setup");
  EXPECT_EQ(ChangeFileExt("dir.d/Setup", ".orbproj"), "dir.d/Setup.orbproj");
}

TEST_F(TLowAPIFixture, DestroyedEditorFormIsNoLongerCurrent) {
  auto* editor = new TDBForm(nullptr);
  CurrentDBForm = editor;
  delete editor;
  EXPECT_EQ(CurrentDBForm, nullptr);
}

TEST(NotifyStudio, PostsTheRegisteredMessageToTheWindowOfTheFirstArgument) {
  TRecordingPoster poster;
  SetWindowMessagePoster(&poster);
  RegisterStudioMessage();
  EXPECT_EQ(poster.registered, std::vector<std::string>{"OrbStudio_IDE_RESTORE"});
  for (const char* argument : {"1234", "$4D2", "0x4d2"}) {
    char name[] = "Setup";
    std::string copy = argument;
    char* argv[] = {name, copy.data(), nullptr};
    int argc = 2;
    TApplication application(argc, argv);
    NotifyStudio();
  }
  SetWindowMessagePoster(nullptr);
  using TPost = std::pair<TWindowHandle, TWindowMessage>;
  EXPECT_EQ(poster.posts, (std::vector<TPost>{{1234, 0xC123}, {1234, 0xC123}, {1234, 0xC123}}));
}

TEST(NotifyStudio, NoArgumentPostsNothingAndABadOneFails) {
  TRecordingPoster poster;
  SetWindowMessagePoster(&poster);
  {
    char name[] = "Setup";
    char* argv[] = {name, nullptr};
    int argc = 1;
    TApplication application(argc, argv);
    NotifyStudio();
  }
  {
    char name[] = "Setup", bad[] = "12ab";
    char* argv[] = {name, bad, nullptr};
    int argc = 2;
    TApplication application(argc, argv);
    EXPECT_THROW(NotifyStudio(), std::runtime_error);
  }
  SetWindowMessagePoster(nullptr);
  EXPECT_TRUE(poster.posts.empty());
}
