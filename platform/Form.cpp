#include "platform/Form.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "platform/Application.h"
#include "platform/ErrorReport.h"
#include "text/TextCompare.h"

namespace orb {
namespace {

// Every form uses MS Sans Serif at 11 pixels, as forms laid out at 96 dots
// per inch expect; pixels rather than points, so the text grows with the
// screen's scale factor exactly as the layout does. Where the family is
// missing, the platform's sans-serif font stands in.
QFont FormFont() {
  static const QFont font = [] {
    QFont::insertSubstitutions("MS Sans Serif", {"Microsoft Sans Serif", "Sans Serif"});
    QFont formFont("MS Sans Serif");
    formFont.setPixelSize(11);
    formFont.setStyleHint(QFont::SansSerif);
    return formFont;
  }();
  return font;
}

bool NamedAs(const QObject& object, std::string_view name) {
  return SameText(object.objectName().toStdString(), name);
}

}  // namespace

TForm::TForm(TComponent* owner) : QWidget(nullptr), TComponent(owner) { setFont(FormFont()); }

TForm::~TForm() {
  if (Application()) Application()->FormDestroyed(this);
}

std::string TForm::Name() const { return objectName().toStdString(); }

void TForm::SetName(std::string name) { setObjectName(QString::fromStdString(name)); }

QObject* TForm::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (QObject* child : findChildren<QObject*>())
    if (NamedAs(*child, name)) return child;
  for (TComponent* component : Components())
    if (auto* object = dynamic_cast<QObject*>(component); object && NamedAs(*object, name)) return object;
  return nullptr;
}

void TForm::SetAlphaBlend(bool alphaBlend) {
  alphaBlend_ = alphaBlend;
  ApplyOpacity();
}

void TForm::SetAlphaBlendValue(int value) {
  alphaBlendValue_ = std::clamp(value, 0, 255);
  ApplyOpacity();
}

void TForm::ApplyOpacity() { setWindowOpacity(alphaBlend_ ? alphaBlendValue_ / 255.0 : 1.0); }

void TForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  if (style == Single)
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  else
    setWindowFlags(Qt::Window);
}

void TForm::setVisible(bool visible) {
  if (visible && !shownOnce_) {
    shownOnce_ = true;
    if (borderStyle_ == Single) setFixedSize(size());
    if (position_ == TFormPosition::Designed && designedPosition_) move(*designedPosition_);
    if (position_ == TFormPosition::ScreenCenter) {
      if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
      }
    }
  }
  QWidget::setVisible(visible);
}

void TForm::FormClose(TCloseAction&) {}

void TForm::closeEvent(QCloseEvent* event) {
  TCloseAction action = TCloseAction::Hide;
  bool handled = false;
  Guard([&] {
    FormClose(action);
    handled = true;
  });
  // A close handler that failed keeps the form open, as an ignored request.
  if (!handled || action == TCloseAction::None) {
    event->ignore();
    return;
  }
  event->accept();
  if (Application() && Application()->MainForm() == this) Application()->Terminate();
}

void TDataModule::DoCreate() {
  Guard([this] { DataModuleCreate(); });
}

void TDataModule::BeforeDestruction() {
  Guard([this] { DataModuleDestroy(); });
}

}  // namespace orb
