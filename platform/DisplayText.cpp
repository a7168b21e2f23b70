#include "platform/DisplayText.h"

#include "text/TextBytes.h"

namespace orb {

QString DisplayText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  return QString::fromStdString(Windows1252ToUtf8(bytes));
}

}  // namespace orb
