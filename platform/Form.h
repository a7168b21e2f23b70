#pragma once
// TForm: a top-level window that is also a component, so that it belongs to
// an owner (the application, or the form that created it) rather than to a
// Qt parent. TDataModule: a non-visual container with creation and
// destruction handlers. ClassOf<T>(): the class reference of a component type.

#include <QWidget>

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/Component.h"

namespace orb {

// What happens when a form is asked to close.
enum class TCloseAction { None, Hide };

// Where a form appears when it is first shown.
enum class TFormPosition { Designed, ScreenCenter };

// The properties that stored values set by name are Qt properties: the form's
// "Caption" (its window title) and its opacity, "AlphaBlend" switching it on
// and "AlphaBlendValue" (0 transparent to 255 opaque) giving it. A .ui file
// sets them with stdset="0", so their setters keep the program's names.
class TForm : public QWidget, public TComponent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool AlphaBlend READ AlphaBlend WRITE SetAlphaBlend)
  Q_PROPERTY(int AlphaBlendValue READ AlphaBlendValue WRITE SetAlphaBlendValue)
  Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  // Where the form appears unless it is centred; a .ui file's own geometry
  // gives a top-level form only its size.
  Q_PROPERTY(QPoint DesignedPosition READ DesignedPosition WRITE SetDesignedPosition)

 public:
  // Sizeable: the window system's usual frame. Single: a fixed frame with
  // the system menu and the minimize box only; the form keeps the size it
  // has when it is first shown.
  enum TBorderStyle { Sizeable, Single };
  Q_ENUM(TBorderStyle)

  explicit TForm(TComponent* owner);
  ~TForm() override;

  std::string Name() const override;
  void SetName(std::string name) override;
  // The component of that name, compared without regard to case: a widget,
  // action or other object of the form (as its .ui file made them), or a
  // component the form owns. nullptr when there is none.
  QObject* FindComponent(std::string_view name) const;

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool alphaBlend);
  int AlphaBlendValue() const { return alphaBlendValue_; }
  // Values outside 0 to 255 are taken as the nearest of the two.
  void SetAlphaBlendValue(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

  QPoint DesignedPosition() const { return designedPosition_.value_or(QPoint()); }
  void SetDesignedPosition(QPoint position) { designedPosition_ = position; }

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
  void ApplyOpacity();

  TFormPosition position_ = TFormPosition::Designed;
  TBorderStyle borderStyle_ = Sizeable;
  std::optional<QPoint> designedPosition_;
  bool alphaBlend_ = false;
  int alphaBlendValue_ = 255;
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
