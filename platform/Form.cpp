#include "platform/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "platform/Application.h"
#include "platform/ErrorReport.h"

namespace orb {

TForm::TForm(TComponent* owner) : QWidget(nullptr), TComponent(owner) {}

TForm::~TForm() {
  if (Application()) Application()->FormDestroyed(this);
}

void TForm::setVisible(bool visible) {
  if (visible && !shownOnce_) {
    shownOnce_ = true;
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
