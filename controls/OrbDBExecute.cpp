#include "controls/OrbDBExecute.h"

#include "framework/LowAPI_.h"
#include "text/StoredPath.h"
#include "store/DataSet.h"

namespace orb {

void TOrbDBExecute::Execute() {
  if (!linkField_) return;
  if (actionField_) executeStr_ = actionField_->AsString();
  const std::string link(linkField_->AsString());
  // The kind words compare exactly; the link is joined by plain concatenation.
  if (executeStr_ == "File" || executeStr_ == "Folder")
    RunProgram(JoinStoredPath(ProgramFolder, link));
  else if (executeStr_ == "Internet")
    RunProgram("http://" + link);
  else if (executeStr_ == "e-mail")
    RunProgram("mailto:" + link);
}

}  // namespace orb
