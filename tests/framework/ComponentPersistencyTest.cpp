#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/OrbExecButton.h"
#include "controls/OrbImage.h"
#include "framework/ComponentPersistency.h"
#include "framework/LowAPI_.h"
#include "ui_RestoreTestForm.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

class TRestoreTestForm : public TCDMenuForm {
 public:
  explicit TRestoreTestForm(TComponent* owner) : TCDMenuForm(owner) { ui.setupUi(this); }
  Ui::RestoreTestForm ui;
};

// A 1x1 24-bit BMP.
std::string OnePixelBmp() {
  std::string bmp = "BM";
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) bmp += char((v >> (8 * i)) & 0xFF); };
  auto u16 = [&](std::uint16_t v) { bmp += char(v & 0xFF); bmp += char(v >> 8); };
  u32(14 + 40 + 4); u32(0); u32(14 + 40);
  u32(40); u32(1); u32(1); u16(1); u16(24);
  for (int i = 0; i < 6; ++i) u32(0);
  bmp += std::string("\x00\x00\xff\x00", 4);
  return bmp;
}

struct TRestore : ::testing::Test {
  void SetUp() override {
    InitializeLowAPI();
    medium = fs::temp_directory_path() / ("orb-restore-" + std::to_string(::getpid()));
    fs::create_directories(medium / "Pics");
    std::ofstream(medium / "Pics" / "Back.bmp", std::ios::binary) << OnePixelBmp();
    std::ofstream(medium / "anim.gif", std::ios::binary) << "GIF89a";
    ProgramFolder = medium.string() + "/";
    form = std::make_unique<TRestoreTestForm>(nullptr);
    CurrentMenu = form.get();
    form->AddRef();  // the host's reference that is never released
  }
  void TearDown() override {
    form.reset();
    InitializeLowAPI();
    fs::remove_all(medium);
  }

  // Restores from a project whose MainForm holds `mainForm`; the failure's
  // message, or "" when the restore ran to its end.
  std::string Restore(const std::string& mainForm) {
    Load(mainForm);
    try {
      RestoreProperties();
    } catch (const std::exception& failure) {
      return failure.what();
    }
    return "";
  }
  void Load(const std::string& mainForm) {
    const std::string xml = "<Orbdeck><Project><MainForm>" + mainForm + "</MainForm></Project></Orbdeck>";
    document.LoadFromBytes(std::as_bytes(std::span(xml.data(), xml.size())));
    ProjectRoot = GetOrbdeck(document);
  }
  // Restores step by step; each step as "owner/property: outcome".
  std::vector<std::string> Steps(const std::string& mainForm) {
    Load(mainForm);
    std::vector<std::string> steps;
    RestoreProperties(*form, [&](const TRestoreStep& step) {
      std::string outcome = step.Target ? step.Value.toString().toStdString() : "skipped";
      if (step.Failure) {
        try {
          std::rethrow_exception(step.Failure);
        } catch (const std::exception& failure) {
          outcome = std::string("failed: ") + failure.what();
        }
      }
      steps.push_back(step.Owner + "/" + step.Property + ": " + outcome);
    });
    return steps;
  }
  static std::string FormValues(const std::string& alphaBlend = "True") {
    return "<Caption>My CD</Caption><AlphaBlendValue>$80</AlphaBlendValue><AlphaBlend>" + alphaBlend + "</AlphaBlend>";
  }

  fs::path medium;
  TXMLDocument document;
  std::unique_ptr<TRestoreTestForm> form;
};

TEST_F(TRestore, FormValuesThenComponentsInDocumentOrder) {
  EXPECT_EQ(Restore(FormValues() + "<Components><image><Path>pics\\back.BMP</Path></image>"
                                   "<!-- a comment names nothing --><Nothing><Caption>x</Caption></Nothing>"
                                   "<Install><Caption>Start</Caption></Install></Components>"),
            "");
  EXPECT_EQ(form->windowTitle(), "My CD");
  EXPECT_EQ(form->AlphaBlendValue(), 128);
  EXPECT_TRUE(form->AlphaBlend());
  EXPECT_EQ(form->ui.Image->Path(), "pics\\back.BMP") << "component names compare without case";
  EXPECT_EQ(form->ui.Image->Picture().size(), QSize(1, 1));
  EXPECT_EQ(form->ui.Install->text(), "Start");
}

TEST_F(TRestore, TruthValuesOfTheOpacitySwitch) {
  for (const char* on : {"-1", "1", "true"}) {
    EXPECT_EQ(Restore(FormValues(on) + "<Components/>"), "") << on;
    EXPECT_TRUE(form->AlphaBlend()) << on;
  }
  for (const char* off : {"0", "FALSE"}) {
    EXPECT_EQ(Restore(FormValues(off) + "<Components/>"), "") << off;
    EXPECT_FALSE(form->AlphaBlend()) << off;
  }
}

// Each failure ends the restore where it happens; what was set before stays.
TEST_F(TRestore, TheFirstFailureEndsTheRestoreThere) {
  EXPECT_NE(Restore("<AlphaBlendValue>1</AlphaBlendValue><AlphaBlend>1</AlphaBlend><Components/>"), "");
  EXPECT_EQ(form->windowTitle(), "Designed");

  EXPECT_NE(Restore("<Caption>One</Caption><AlphaBlend>1</AlphaBlend><Components/>"), "");
  EXPECT_EQ(form->windowTitle(), "One");
  EXPECT_FALSE(form->AlphaBlend());

  EXPECT_EQ(Restore("<Caption>Two</Caption><AlphaBlendValue>9</AlphaBlendValue><AlphaBlend>yes</AlphaBlend>"),
            "'yes' is not a valid boolean value");
  EXPECT_EQ(form->AlphaBlendValue(), 9);
  EXPECT_FALSE(form->AlphaBlend());

  EXPECT_EQ(Restore("<Caption>Three</Caption><AlphaBlendValue></AlphaBlendValue><AlphaBlend>1</AlphaBlend>"),
            "'' is not a valid integer value");

  EXPECT_NE(Restore(FormValues()), "") << "no Components element fails after the form's values";
  EXPECT_TRUE(form->AlphaBlend());

  EXPECT_EQ(Restore(FormValues() + "<Components><Label1><Caption>x</Caption></Label1>"
                                   "<Install><Caption>Never</Caption></Install></Components>"),
            "Property Caption does not exist")
      << "a plain label has no stored caption";
  EXPECT_EQ(form->ui.Install->text(), "Install");

  EXPECT_EQ(Restore(FormValues() + "<Components><Image><Path>anim.gif</Path><Caption>x</Caption></Image>"
                                   "<Install><Caption>Never</Caption></Install></Components>"),
            "Unknown picture file extension (.gif)");
  EXPECT_EQ(form->ui.Image->Path(), "anim.gif") << "the path is stored before the picture fails";

  EXPECT_EQ(Restore(FormValues() + "<Components><Image><Path>Pics\\Back.bmp</Path><Caption>x</Caption></Image>"
                                   "</Components>"),
            "Property Caption does not exist")
      << "Path comes before Caption";
  EXPECT_EQ(form->ui.Image->Path(), "Pics\\Back.bmp");

  EXPECT_NE(Restore("<Caption><b>bold</b></Caption>"), "") << "a value holding an element cannot be read";
}

TEST_F(TRestore, DuplicatesEmptyValuesAndAComponentNamedLikeTheForm) {
  EXPECT_EQ(Restore("<Caption></Caption><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>0</AlphaBlend>"
                    "<Components><Install><Caption>First</Caption></Install>"
                    "<Install><Caption>Second</Caption></Install><Image/><MainForm/>"
                    "<Image><Path>missing.bmp</Path></Image></Components>"),
            "");
  EXPECT_EQ(form->windowTitle(), "") << "an empty caption is a caption";
  EXPECT_EQ(form->ui.Install->text(), "First") << "both children resolve to the first";
  EXPECT_EQ(form->ui.MainForm->text(), "") << "its values are the form's own";
  EXPECT_EQ(form->ui.Image->Path(), "") << "the second Image child reads the first, which holds nothing";
}

// The seam through which a check sees every step: where the host's restore
// stops at a failure, the walk goes on.
TEST_F(TRestore, AnObserverLearnsOfEveryStepAndTheRestoreGoesOnPastFailures) {
  EXPECT_EQ(Steps("<AlphaBlendValue>$80</AlphaBlendValue><AlphaBlend>yes</AlphaBlend><Components><Nothing/>"
                  "<Label1><Caption>x</Caption></Label1><Image><Path>anim.gif</Path></Image>"
                  "<Install><Caption>Start</Caption></Install></Components>"),
            (std::vector<std::string>{"MainForm/Caption: failed: Node \"Caption\" not found",
                                      "MainForm/AlphaBlendValue: 128",
                                      "MainForm/AlphaBlend: failed: 'yes' is not a valid boolean value",
                                      "Nothing/: skipped",
                                      "Label1/Caption: failed: Property Caption does not exist",
                                      "Image/Path: failed: Unknown picture file extension (.gif)",
                                      "Install/Caption: Start"}));
  EXPECT_EQ(form->ui.Install->text(), "Start");
  EXPECT_EQ(Steps(FormValues()), (std::vector<std::string>{"MainForm/Caption: My CD", "MainForm/AlphaBlendValue: 128",
                                                           "MainForm/AlphaBlend: true",
                                                           "MainForm/Components: failed: Node \"Components\" not found"}));
}

TEST_F(TRestore, AMenuWithoutAFormRestoresNothing) {
  CurrentMenu.Reset();
  EXPECT_EQ(Restore(""), "");
  EXPECT_EQ(form->windowTitle(), "Designed");
}

}  // namespace
