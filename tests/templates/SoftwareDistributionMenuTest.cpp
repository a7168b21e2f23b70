#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "controls/CheckBox.h"
#include "controls/DBLookupListBox.h"
#include "controls/OrbExecButton.h"
#include "controls/OrbExecText.h"
#include "controls/OrbImage.h"
#include "framework/ComponentPersistency.h"
#include "platform/ErrorReport.h"
#include "project/XMLDocument.h"
#include "templates/SingleLevelDBForm_.h"
#include "templates/SoftwareDistributionCDMenu_Unit.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/templates/TemplateFixture.h"
#include "tests/support/CataloguePacket.h"
#include "ui_SingleLevelDBForm_.h"
#include "ui_SoftwareDistributionCDMenu_Unit.h"

using namespace orb;
using test::CataloguePacket;
namespace fs = std::filesystem;

namespace {

using TTexts = std::vector<std::string>;

std::string Entry(const std::string& title, const std::string& link, const std::string& action) {
  return "<ROW Title=\"" + title + "\" Link=\"" + link + "\" Action=\"" + action + "\"/>";
}

// A medium folder, and the Software Distribution menu started on it as the
// host does; or, with an editing environment, with the menu current and its
// catalogue's editor shown.
struct TSoftwareDistributionMenu : test::TTemplateMedium {
  TSoftwareDistributionMenu() : TTemplateMedium("distribution") {}

  void TearDown() override {
    menu.reset();
    TTemplateMedium::TearDown();
  }
  void Start(bool editing = false) {
    HostMode = !editing;
    menu = std::make_unique<TSoftwareDistributionCDMenu>(nullptr);
    CurrentMenu = menu.get();
    menu->AddRef();
    menu->show();
    if (editing) menu->Catalogue().show();
  }
  const Ui::SoftwareDistributionCDMenu& Menu() const { return menu->Components(); }
  const Ui::SingleLevelDBForm& Editor() const { return menu->Catalogue().Components(); }
  // In the order they were placed.
  std::vector<TOrbExecText*> LaunchTexts() const {
    const QList<TOrbExecText*> texts = menu->findChildren<TOrbExecText*>();
    return {texts.begin(), texts.end()};
  }
  void ChooseRow(int row) {
    TDBLookupListBox& list = *Editor().DBLookupListBox1;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
  }

  test::TRecordingShell shell;
  std::unique_ptr<TSoftwareDistributionCDMenu> menu;
};

TEST_F(TSoftwareDistributionMenu, InTheHostTheMenuShowsItsOwnComponentsOverTheWholeCatalogue) {
  WriteData(CataloguePacket(Entry("Archiver", "Archiver&#092;install.sh", "File") +
                            Entry("Notes", "www.notes.example", "Internet") + Entry("Team", "team@orbit.example", "e-mail")));
  Start();
  EXPECT_EQ(menu->Catalogue().Data.RecordCount(), 3u);
  EXPECT_TRUE(LaunchTexts().empty()) << "nothing adds an entry in the host";
  EXPECT_EQ(menu->ItemCount(), 0);
  EXPECT_FALSE(menu->Catalogue().isVisible());
  EXPECT_EQ(CurrentDBForm, &menu->Catalogue());
  EXPECT_EQ(SingleLevelDBForm, &menu->Catalogue());
  EXPECT_EQ(SoftwareDistributionCDMenu, menu.get());
  EXPECT_EQ(menu->GetMenuName(), "Software Distribution");

  Menu().OrbExecButton1->click();
  EXPECT_EQ(shell.opened, TTexts{}) << "the button has no link to launch";
  menu->RefreshMenu();
  EXPECT_TRUE(LaunchTexts().empty()) << "a refresh changes nothing";
  EXPECT_TRUE(reports.empty());
}

TEST_F(TSoftwareDistributionMenu, TheEntryAFreshCatalogueStartsWithGetsNoLaunchText) {
  Start();
  EXPECT_EQ(menu->Catalogue().Data.RecordCount(), 1u);
  EXPECT_EQ(std::string(menu->Catalogue().DataTitle->AsString()), "Title");
  EXPECT_TRUE(LaunchTexts().empty());
}

TEST_F(TSoftwareDistributionMenu, EachAddedEntryGetsALaunchTextThatFollowsTheCurrentEntry) {
  WriteData(CataloguePacket(Entry("Archiver", "Archiver&#092;install.sh", "File") +
                            Entry("Notes", "www.notes.example", "Internet") + Entry("Team", "team@orbit.example", "e-mail")));
  Start(true);
  for (int i = 0; i < 3; ++i) Editor().AddBtn->click();
  const std::vector<TOrbExecText*> texts = LaunchTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(menu->ItemCount(), 3);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(texts[i]->pos(), QPoint(50, 50 * int(i + 1)));
    EXPECT_EQ(texts[i]->size(), QSize(65, 17)) << "the size a new one has";
    EXPECT_TRUE(texts[i]->isVisible());
    EXPECT_EQ(texts[i]->parentWidget(), menu.get());
    EXPECT_TRUE(texts[i]->font().bold());
    EXPECT_EQ(texts[i]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(texts[i]->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(texts[i]->text(), "Title");
  }

  // The catalogue now reads Title, Title, Title, Archiver, Notes, Team.
  const std::pair<int, std::string> launches[] = {
      {4, "http://www.notes.example"}, {5, "mailto:team@orbit.example"}, {3, (medium / "Archiver" / "install.sh").string()}};
  TTexts expected;
  for (const auto& [row, target] : launches) {
    ChooseRow(row);
    for (TOrbExecText* text : texts) EXPECT_EQ(text->text().toStdString(), Editor().TitleEd->text().toStdString());
    QTest::mouseClick(texts[std::size_t(row - 3)], Qt::LeftButton);
    expected.push_back(target);
  }
  EXPECT_EQ(shell.opened, expected) << "every text launches the current entry's link by its kind";
  ChooseRow(0);
  QTest::mouseClick(texts[0], Qt::LeftButton);
  EXPECT_EQ(shell.opened.size(), expected.size()) << "a new entry has no kind, so nothing launches";
}

TEST_F(TSoftwareDistributionMenu, AProjectCanSetThePicturesPathAndTheTwoCaptionsOnly) {
  fs::create_directories(medium / "Pics");
  QImage picture(6, 3, QImage::Format_RGB32);
  picture.fill(Qt::darkBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString((medium / "Pics" / "Banner.png").string())));
  Start();

  TTexts withPath, withCaption;
  for (QObject* component : menu->findChildren<QObject*>()) {
    const QMetaObject& meta = *component->metaObject();
    if (meta.indexOfProperty("Path") >= 0) withPath.push_back(component->objectName().toStdString());
    if (meta.indexOfProperty("Caption") >= 0) withCaption.push_back(component->objectName().toStdString());
  }
  std::sort(withCaption.begin(), withCaption.end());
  EXPECT_EQ(withPath, TTexts{"OrbImage1"});
  EXPECT_EQ(withCaption, (TTexts{"CheckBox1", "OrbExecButton1"}));

  TXMLDocument document;
  auto restore = [&document](const std::string& components) {
    const std::string xml = "<Orbdeck><Project><MainForm><Caption>Orbit Catalogue</Caption><AlphaBlendValue>255"
                            "</AlphaBlendValue><AlphaBlend>False</AlphaBlend><Components>" +
                            components + "</Components></MainForm></Project></Orbdeck>";
    document.LoadFromBytes(std::as_bytes(std::span(xml.data(), xml.size())));
    ProjectRoot = GetOrbdeck(document);
    try {
      RestoreProperties();
    } catch (const std::exception& failure) {
      return std::string(failure.what());
    }
    return std::string();
  };
  EXPECT_EQ(restore("<OrbImage1><Path>Pics\\Banner.png</Path></OrbImage1><CheckBox1><Caption>Show at start"
                    "</Caption></CheckBox1><OrbExecButton1><Caption>Start</Caption></OrbExecButton1>"),
            "");
  EXPECT_EQ(menu->windowTitle(), "Orbit Catalogue");
  EXPECT_EQ(Menu().OrbImage1->Picture().size(), QSize(6, 3));
  EXPECT_EQ(Menu().CheckBox1->text(), "Show at start");
  EXPECT_EQ(Menu().OrbExecButton1->text(), "Start");
  EXPECT_NE(restore("<OrbImage1><Caption>x</Caption></OrbImage1>"), "") << "the picture has no caption";
}

}  // namespace
