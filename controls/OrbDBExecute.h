#pragma once
// TOrbDBExecute: turns a stored link and its kind word into a shell launch.
// The kind word is ExecuteStr, or, when an action field is set, that field's
// text, taken anew at every launch. "File" and "Folder" links open below the
// program folder, "Internet" links after "http://", "e-mail" links after
// "mailto:"; any other word launches nothing. The link is not checked: an
// empty one opens the program folder (or "http://" alone).

#include <string>

namespace orb {

class TField;

class TOrbDBExecute {
 public:
  // Plain references: the form that owns the fields outlives the launcher.
  TField* LinkField() const { return linkField_; }
  void SetLinkField(TField* field) { linkField_ = field; }
  TField* ActionField() const { return actionField_; }
  void SetActionField(TField* field) { actionField_ = field; }
  const std::string& ExecuteStr() const { return executeStr_; }
  void SetExecuteStr(std::string kind) { executeStr_ = std::move(kind); }

  // Launches the current record's link; nothing without a link field.
  void Execute();

 private:
  TField* linkField_ = nullptr;
  TField* actionField_ = nullptr;
  std::string executeStr_;
};

}  // namespace orb
