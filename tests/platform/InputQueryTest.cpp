#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "platform/InputQuery.h"
#include "tests/platform/DialogDriver.h"

using namespace orb;
using namespace orb::test;

namespace {

QLineEdit* Edit(QDialog& dialog) { return dialog.findChild<QLineEdit*>("Value"); }

TEST(InputQueryDialog, OkGivesTheEditedTextAsUtf8CutTo255Characters) {
  WhenDialogShows([](QDialog& dialog) {
    QLineEdit* edit = Edit(dialog);
    EXPECT_EQ(edit->text(), "start");
    edit->selectAll();
    edit->insert(QString(254, u'a') + QString::fromUtf8("\xC3\xA9z"));
    Button(dialog, QDialogButtonBox::Ok)->click();
  });
  std::string text = "start";
  EXPECT_TRUE(InputQuery("Internet address:", "http://", text));
  EXPECT_EQ(text, std::string(254, 'a') + "\xC3\xA9");
}

TEST(InputQueryDialog, OkOnAnEmptyBoxGivesEmptyTextAndCancelLeavesTheTextAlone) {
  WhenDialogShows([](QDialog& dialog) { Button(dialog, QDialogButtonBox::Ok)->click(); });
  std::string empty;
  EXPECT_TRUE(InputQuery("E-mail address:", "Address", empty));
  EXPECT_EQ(empty, "");

  WhenDialogShows([](QDialog& dialog) {
    Edit(dialog)->setText("typed");
    Button(dialog, QDialogButtonBox::Cancel)->click();
  });
  std::string text = "kept";
  EXPECT_FALSE(InputQuery("E-mail address:", "Address", text));
  EXPECT_EQ(text, "kept");
}

TEST(InputQueryDialog, SmallFixedDialogCentredOnTheScreenWithThePromptAboveTheBox) {
  WhenDialogShows([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Internet address:");
    auto* prompt = dialog.findChild<QLabel*>("Prompt");
    EXPECT_EQ(prompt->text(), "http://");
    EXPECT_LT(prompt->geometry().bottom(), Edit(dialog)->geometry().top());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    QPoint offset = dialog.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
    EXPECT_NE(Button(dialog, QDialogButtonBox::Cancel), nullptr);
    Button(dialog, QDialogButtonBox::Cancel)->click();
  });
  std::string text;
  InputQuery("Internet address:", "http://", text);
}

}  // namespace
