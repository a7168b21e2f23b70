#pragma once
// TTabControl: a row of tabs over one client area. It has no pages: the
// controls it holds stay the same whichever tab is selected, and the form
// decides from the selected tab what they show.

#include <QStringList>
#include <QWidget>

class QTabBar;

namespace orb {

class TTabControl : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QStringList Tabs READ Tabs WRITE SetTabs)
  Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)

 public:
  explicit TTabControl(QWidget* parent = nullptr);

  // The tabs' captions, in order; setting them selects the first.
  QStringList Tabs() const;
  void SetTabs(const QStringList& tabs);
  // The selected tab, from 0; -1 without tabs.
  int TabIndex() const;
  void SetTabIndex(int index);

  QTabBar& TabBar() const { return *tabBar_; }

 signals:
  // Another tab was selected, by the user or by SetTabIndex.
  void tabChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* tabBar_;
};

}  // namespace orb
