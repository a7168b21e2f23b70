#include "controls/DataAware.h"

#include "platform/DisplayText.h"
#include "platform/ErrorReport.h"
#include "store/DataSet.h"
#include "store/DataSource.h"

namespace orb {

QString FieldText(const TFieldDataLink& link) {
  return link.Field() ? DisplayText(link.Field()->AsString()) : QString();
}

std::string StoredText(const QString& text) { return text.toStdString(); }

void CommitRecord(TFieldDataLink& link) {
  TDataSet* dataSet = link.DataSet();
  if (!dataSet) return;
  dataSet->Edit();
  dataSet->Post();
}

bool HandleKeyDown(QKeyEvent& event, const TKeyDownEvent& onKeyDown, TFieldDataLink& link, bool commitOnEnter) {
  int key = event.key();
  bool handled = false;
  Guard([&] {
    if (onKeyDown) onKeyDown(key, event.modifiers());
    if (key == Qt::Key_Escape) link.Reset();
    if (commitOnEnter && IsEnterKey(key)) CommitRecord(link);
    handled = true;
  });
  if (handled && key != 0) return true;
  event.accept();
  return false;
}

bool EnterEditState(TFieldDataLink& link) {
  if (link.Edit()) return true;
  link.Reset();
  return false;
}

}  // namespace orb
