#pragma once
// TOrbImage: the picture box of the menu forms. It shows a picture file
// named relative to the program folder by its stored property "Path", with
// the usual centring, stretching and proportional options. The properties
// are Qt properties set by name (stdset="0" in a .ui file).

#include <QImage>
#include <QRect>
#include <QWidget>

#include <QString>

namespace orb {

// Where a picture of the given size is drawn in a box of the given size.
QRect PictureDestination(QSize picture, QSize box, bool center, bool stretch, bool proportional);

class TOrbImage : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Path READ Path WRITE SetPath)
  Q_PROPERTY(bool Center READ Center WRITE SetCenter)
  Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
  Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)

 public:
  explicit TOrbImage(QWidget* parent = nullptr);

  const QString& Path() const { return path_; }
  // Stores the path, then, when the program folder followed by the path
  // names a file (not a folder), loads the picture from it; otherwise the
  // shown picture stays. A picture that cannot be decoded fails here, with
  // the path already stored.
  void SetPath(const QString& path);

  const QImage& Picture() const { return picture_; }

  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool proportional);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString path_;
  QImage picture_;
  bool center_ = false;
  bool stretch_ = false;
  bool proportional_ = false;
};

}  // namespace orb
