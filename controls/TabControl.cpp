#include "controls/TabControl.h"

#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace orb {

TTabControl::TTabControl(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)) {
  tabBar_->setDrawBase(false);
  tabBar_->setExpanding(false);
  connect(tabBar_, &QTabBar::currentChanged, this, &TTabControl::tabChanged);
}

QStringList TTabControl::Tabs() const {
  QStringList tabs;
  for (int i = 0; i < tabBar_->count(); ++i) tabs << tabBar_->tabText(i);
  return tabs;
}

void TTabControl::SetTabs(const QStringList& tabs) {
  {
    const QSignalBlocker quiet(tabBar_);
    while (tabBar_->count() > 0) tabBar_->removeTab(0);
    for (const QString& tab : tabs) tabBar_->addTab(tab);
    tabBar_->setCurrentIndex(tabs.isEmpty() ? -1 : 0);
  }
  tabBar_->resize(tabBar_->sizeHint());
  update();
}

int TTabControl::TabIndex() const { return tabBar_->currentIndex(); }

void TTabControl::SetTabIndex(int index) { tabBar_->setCurrentIndex(index); }

void TTabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  tabBar_->resize(tabBar_->sizeHint());
}

// The client area's frame, joined to the tabs above it.
void TTabControl::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.shape = tabBar_->shape();
  frame.tabBarSize = tabBar_->sizeHint();
  frame.tabBarRect = tabBar_->geometry();
  frame.selectedTabRect = tabBar_->tabRect(tabBar_->currentIndex());
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  frame.rect = rect().adjusted(0, tabBar_->height() - overlap, 0, 0);
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace orb
