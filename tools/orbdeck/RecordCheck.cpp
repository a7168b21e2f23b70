// The records of a record-keeping menu: its data file loaded by the
// template's own editor form, then every link of every record handed to a
// launcher bound as the menu binds its launch controls, with the shell
// replaced by a recorder, so the check sees the target the host would open.
#include <cctype>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "framework/LowAPI_.h"
#include "store/DataSet.h"
#include "templates/MenuLinks.h"
#include "text/StoredPath.h"
#include "text/TextCompare.h"
#include "tools/orbdeck/MediumCheck.h"
#include "tools/orbdeck/StoredPathCheck.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kKinds{"File", "Folder", "Internet", "e-mail"};

// The scheme an address begins with ("https://"), or empty.
std::string_view SchemeOf(std::string_view address) {
  std::size_t end = address.find("://");
  if (end == 0 || end == std::string_view::npos) return {};
  for (char c : address.substr(0, end))
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.')) return {};
  return address.substr(0, end + 3);
}

void CheckLink(const TMenuLink& link, const std::string& where, TShellRecorder& shell, TFindings& findings) {
  const std::string target(link.Launcher.LinkField()->AsString());
  const TField* action = link.Launcher.ActionField();
  const std::string kind = action ? std::string(action->AsString()) : link.Launcher.ExecuteStr();

  shell.Opened.clear();
  TOrbDBExecute launcher = link.Launcher;
  launcher.Execute();
  if (shell.Opened.empty()) {
    if (kind.empty() && target.empty())
      findings.Warning(where, "no link; it opens nothing");
    else
      findings.Error(where, "kind " + Quoted(kind) + " is none of \"File\", \"Folder\", \"Internet\" and \"e-mail\"" +
                                DidYouMean(kind, kKinds) + "; it opens nothing");
    return;
  }
  const std::string subject = kind + " link " + Quoted(target);
  if (kind == "File" || kind == "Folder") {
    if (target.empty())
      findings.Warning(where, "empty " + kind + " link; it opens the program folder");
    else
      CheckStoredPath(findings, where, subject, target);
  } else if (kind == "Internet") {
    if (target.empty())
      findings.Error(where, "empty Internet link; it opens \"http://\" alone");
    else if (std::string_view scheme = SchemeOf(target); !scheme.empty())
      findings.Error(where, subject + " begins with " + Quoted(scheme) + "; the host puts \"http://\" in front of it");
  } else {
    if (target.empty())
      findings.Error(where, "empty e-mail link; it opens \"mailto:\" alone");
    else if (SameText(std::string_view(target).substr(0, 7), "mailto:"))
      findings.Error(where, subject + " begins with \"mailto:\"; the host puts another \"mailto:\" in front of it");
  }
}

}  // namespace

void CheckRecords(TCDMenuForm& menu, TShellRecorder& shell, TFindings& findings) {
  std::optional<TMenuRecords> records = MenuRecords(menu);
  if (!records) return;
  const std::string& where = kDataFileWhere;
  std::error_code error;
  // The host tests for the file once, as written: letter case counts here.
  if (!fs::is_regular_file(DataFolder() + "db.xml", error)) {
    const std::string differing = JoinStoredPath(ProgramFolder, "Data\\db.xml");
    if (fs::is_regular_file(differing, error))
      findings.Error(where, "no such file, only " + Quoted(fs::relative(differing, ProgramFolder).string()) +
                                ", which differs in letter case; the menu shows one record \"Title\"");
    else
      findings.Warning(where, "no such file; the menu shows one record \"Title\"");
    return;
  }
  TDataSet& store = *records->Records;
  if (!store.Active()) return;  // the load failed, which the host reports while the menu is made

  std::size_t number = 0;
  for (store.First(); !store.Eof(); store.Next()) {
    const std::string record = where + ": record " + std::to_string(++number) + " " + Quoted(records->Title->AsString());
    for (const TMenuLink& link : records->Links) {
      std::string_view title = link.Title->AsString();
      if (link.Slot == 0) {
        CheckLink(link, record, shell, findings);
      } else if (!title.empty() || !link.Launcher.LinkField()->AsString().empty()) {
        // An unused program slot, with neither title nor link, shows nothing.
        CheckLink(link, record + ", slot " + std::to_string(link.Slot) + " " + Quoted(title), shell, findings);
      }
    }
  }
}

}  // namespace orb
