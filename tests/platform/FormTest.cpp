#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>

#include "platform/Form.h"
#include "ui_NamedComponentsForm.h"

using namespace orb;

namespace {

// A form whose components come from a .ui file, as every form of the program.
class TNamedComponentsForm : public TForm {
 public:
  explicit TNamedComponentsForm(TComponent* owner) : TForm(owner) { ui.setupUi(this); }
  Ui::NamedComponentsForm ui;
};

}  // namespace

TEST(Form, ComponentsMadeByTheUiFileAreFoundByNameWithoutRegardToCase) {
  TNamedComponentsForm form(nullptr);
  EXPECT_EQ(form.Name(), "NamedComponentsForm");
  EXPECT_EQ(form.FindComponent("INSTALL"), form.ui.Install) << "a widget inside a panel";
  EXPECT_EQ(form.FindComponent("panel1"), form.ui.Panel1);
  EXPECT_EQ(form.FindComponent("AddAct"), form.ui.AddAct);
  EXPECT_EQ(form.FindComponent("Missing"), nullptr);
  EXPECT_EQ(form.FindComponent(""), nullptr) << "unnamed Qt internals are no components";
}

TEST(Form, OwnedFormsAreFoundByTheirObjectName) {
  TForm menu(nullptr);
  auto* editor = new TForm(&menu);
  editor->SetName("SimpleDBForm");
  EXPECT_EQ(editor->objectName(), "SimpleDBForm");
  EXPECT_EQ(menu.FindComponent("simpledbform"), editor);
}

TEST(Form, CaptionAndOpacityAreQtPropertiesSetByName) {
  TForm form(nullptr);
  EXPECT_TRUE(form.setProperty("Caption", QString("My CD")));
  EXPECT_EQ(form.windowTitle(), "My CD");
  EXPECT_EQ(form.property("Caption").toString(), "My CD");

  EXPECT_TRUE(form.setProperty("AlphaBlendValue", 128));
  EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0) << "the value alone changes nothing";
  EXPECT_TRUE(form.setProperty("AlphaBlend", true));
  EXPECT_NEAR(form.windowOpacity(), 128 / 255.0, 0.01);
  EXPECT_TRUE(form.setProperty("AlphaBlend", false));
  EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0);

  form.SetAlphaBlendValue(300);
  EXPECT_EQ(form.AlphaBlendValue(), 255) << "an opacity beyond opaque is opaque, not a wrapped byte";
  form.SetAlphaBlendValue(-5);
  EXPECT_EQ(form.AlphaBlendValue(), 0);
  EXPECT_EQ(form.metaObject()->indexOfProperty("Path"), -1);
}

TEST(Form, SingleBorderKeepsTheDesignedSizeAndOffersNoMaximizeBox) {
  TNamedComponentsForm form(nullptr);
  EXPECT_EQ(form.BorderStyle(), TForm::Single) << "set by name from the .ui file";
  form.show();
  EXPECT_EQ(form.minimumSize(), QSize(300, 120));
  EXPECT_EQ(form.maximumSize(), QSize(300, 120));
  EXPECT_EQ(form.pos(), QPoint(10, 20)) << "shown where its description places it";
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(Form, FormsUseTheFormFontAtElevenPixels) {
  TForm form(nullptr);
  EXPECT_EQ(form.font().family(), "MS Sans Serif");
  EXPECT_EQ(form.font().pixelSize(), 11);
  EXPECT_TRUE(QFont::substitutes("MS Sans Serif").contains("Sans Serif", Qt::CaseInsensitive));
}
