#include "tools/orbdeck/OffscreenQt.h"

#include <QApplication>

namespace orb {

TOffscreenQt::TOffscreenQt() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  application_ = std::make_unique<QApplication>(argc_, argv_);
}

TOffscreenQt::~TOffscreenQt() = default;

}  // namespace orb
