#include "platform/Application.h"

#include <QApplication>

#include <stdexcept>
#include <thread>

#include "platform/ErrorReport.h"
#include "platform/QtPlatformBackend.h"

namespace orb {
namespace {

TApplication* theApplication = nullptr;

// The last line of defence: a failure that escapes an event delivered by Qt
// is reported instead of unwinding through Qt.
class TGuardedQtApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (...) {
      HandleCurrentException();
      return false;
    }
  }
};

// Unless the user chose a platform, try the desktop's and fall back to
// offscreen, so that a machine without a display never aborts the program.
// Returns whether it chose the platforms.
bool PreferDisplayWithFallback() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return false;
  const std::string platforms = SystemQtPlatforms();
  if (platforms.empty()) return false;
  qputenv("QT_QPA_PLATFORM", platforms.c_str());
  return true;
}

}  // namespace

TApplication* Application() { return theApplication; }

TApplication::TApplication(int& argc, char** argv) : TComponent(nullptr) {
  if (theApplication) throw std::logic_error("An application object exists already");
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  if (!QCoreApplication::instance()) {
    const bool fallbackChosen = PreferDisplayWithFallback();
    {
      // The fonts load while Qt starts; the worker ends with this block, also
      // when the start of Qt fails.
      std::jthread fonts(PrepareSystemFonts);
      qtApplication_ = std::make_unique<TGuardedQtApplication>(argc, argv);
    }
    qtApplication_->setQuitOnLastWindowClosed(false);
    // Offscreen by choice (tests, automation) runs as usual; offscreen because
    // no display was reachable cannot show anything.
    canShowForms_ = !(fallbackChosen && QGuiApplication::platformName() == QLatin1String("offscreen"));
  }
  theApplication = this;
}

TApplication::~TApplication() {
  // Components go first: forms need the Qt application object while they die.
  DestroyComponents();
  theApplication = nullptr;
}

std::string TApplication::ExeName() const {
  return exeName_.empty() ? QCoreApplication::applicationFilePath().toStdString() : exeName_;
}

TComponent* TApplication::CreateForm(const TComponentClass& componentClass) {
  TComponent* instance = componentClass.Create(this);
  if (!mainForm_ && componentClass.IsForm) mainForm_ = dynamic_cast<TForm*>(instance);
  if (auto* module = dynamic_cast<TDataModule*>(instance)) module->DoCreate();
  return instance;
}

void TApplication::Run() {
  if (!mainForm_ || !canShowForms_ || terminated_) return;
  mainForm_->show();
  QCoreApplication::exec();
}

void TApplication::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
}

void TApplication::FormDestroyed(TForm* form) {
  if (mainForm_ == form) mainForm_ = nullptr;
}

}  // namespace orb
