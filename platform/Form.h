#pragma once
// TForm: a top-level window that is also a component, so that it belongs to
// an owner (the application, or the form that created it) rather than to a
// Qt parent. TDataModule: a non-visual container with creation and
// destruction handlers. ClassOf<T>(): the class reference of a component type.

#include <QWidget>

#include <type_traits>

#include "platform/Component.h"

namespace orb {

// What happens when a form is asked to close.
enum class TCloseAction { None, Hide };

// Where a form appears when it is first shown.
enum class TFormPosition { Designed, ScreenCenter };

class TForm : public QWidget, public TComponent {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  TFormPosition Position() const { return position_; }
  // Takes effect when the form is first shown, so a size set before then is centred.
  void SetPosition(TFormPosition position) { position_ = position; }

  void setVisible(bool visible) override;

 protected:
  // The close handler: runs whenever the form is asked to close and may
  // change the action. The default keeps Hide.
  virtual void FormClose(TCloseAction& action);

  void closeEvent(QCloseEvent* event) override;

 private:
  TFormPosition position_ = TFormPosition::Designed;
  bool shownOnce_ = false;
};

class TDataModule : public TComponent {
 public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}

  // Runs the creation handler inside the standard report's guard; the
  // application calls it once the module is constructed.
  void DoCreate();
  // Runs the destruction handler inside the same guard.
  void BeforeDestruction() override;

 protected:
  virtual void DataModuleCreate() {}
  virtual void DataModuleDestroy() {}
};

template <class T>
const TComponentClass& ClassOf() {
  static_assert(std::is_base_of_v<TComponent, T>);
  static const TComponentClass componentClass{
      std::is_base_of_v<TForm, T>, [](TComponent* owner) -> TComponent* { return new T(owner); }};
  return componentClass;
}

}  // namespace orb
