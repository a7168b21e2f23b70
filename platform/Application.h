#pragma once
// TApplication: the one application object. It has a title, owns components
// and destroys them at its end (newest first), creates forms (the first form
// created becomes the main form), and runs the message loop: Run shows the
// main form and returns when it closes, or returns at once without one.

#include <memory>
#include <string>
#include <vector>

#include "platform/Component.h"
#include "platform/Form.h"

class QApplication;

namespace orb {

class TApplication : public TComponent {
 public:
  // Creates the Qt application object too, falling back to the offscreen
  // platform when no display can be reached. argv is kept as given, before
  // Qt takes its own options out of it.
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // The arguments after the program name.
  const std::vector<std::string>& Arguments() const { return arguments_; }
  // The full path of the running program file.
  std::string ExeName() const;
  // Makes the host see another program file: tests place it in a
  // temporary medium folder.
  void SetExeName(std::string exeName) { exeName_ = std::move(exeName); }

  // Creates an instance of the class with the application as owner. The
  // constructor runs completely; if it fails, the half-built object is
  // discarded and the failure propagates. The first form becomes the main form.
  TComponent* CreateForm(const TComponentClass& componentClass);
  template <class T>
  T* CreateForm() {
    return static_cast<T*>(CreateForm(ClassOf<T>()));
  }

  TForm* MainForm() const { return mainForm_; }

  // Whether forms can be seen: false when no display could be reached and the
  // toolkit fell back to running offscreen. Run then ends at once instead of waiting for a
  // window nobody sees, and reports go to standard error.
  bool CanShowForms() const { return canShowForms_; }

  void Run();
  // Ends the message loop (or keeps Run from starting it).
  void Terminate();

  // Called by a form's destructor, so the main form never dangles.
  void FormDestroyed(TForm* form);

 private:
  std::unique_ptr<QApplication> qtApplication_;
  std::string title_;
  std::vector<std::string> arguments_;
  std::string exeName_;
  TForm* mainForm_ = nullptr;
  bool canShowForms_ = true;
  bool terminated_ = false;
};

// The application object, or nullptr when none exists.
TApplication* Application();

}  // namespace orb
