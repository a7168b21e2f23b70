// The start of the host, step by step, on a medium: the program file, the
// project file through the project binding, the menu named there through
// the registry, then what the menu reads: the trailer for the Autorun menu;
// for a menu form, built as the host builds it, its saved appearance and
// its records. Where the host would stop at a failure, the check goes on
// wherever something is left to read.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "exetrailer/ExeModifier_.h"
#include "framework/LowAPI_.h"
#include "platform/ErrorReport.h"
#include "project/Orbproject.h"
#include "project/XMLDocument.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/AutorunDBForm_.h"
#include "templates/TemplateMenus.h"
#include "text/TextCompare.h"
#include "tools/orbdeck/MediumCheck.h"
#include "tools/orbdeck/StoredPathCheck.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

const std::string kShowsNothing = "; the host shows nothing";

// The host's process-wide state, empty from the start of a check to its end.
class THostState {
 public:
  THostState() { InitializeLowAPI(); }
  ~THostState() { InitializeLowAPI(); }
  THostState(const THostState&) = delete;
  THostState& operator=(const THostState&) = delete;
};

// The failures that the host's standard report would show, kept instead.
class TKeptReports {
 public:
  TKeptReports() {
    SetErrorReporter([this](const std::string&, const std::string& text) { Texts.push_back(text); });
  }
  ~TKeptReports() { SetErrorReporter({}); }
  std::vector<std::string> Texts;
};

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::string Registered() {
  std::string names;
  for (const std::string& name : CDMenuNames) names += (names.empty() ? "" : ", ") + Quoted(name);
  return names;
}

// The Autorun menu opens what the trailer of the program file names.
void CheckTrailer(const std::string& programFile, const std::string& where, TFindings& findings) {
  std::optional<TExeBuf> payload;
  try {
    payload = FindExeBuf(programFile);
  } catch (const EExeTrailerError& error) {
    findings.Error(where, std::string(error.what()) + "; the host opens nothing");
    return;
  }
  if (!payload) {
    findings.Error(where, "no trailer names what to open; the host opens nothing");
    return;
  }
  std::string text;
  ExeBufToStr(*payload, text);
  const std::string_view target = UpToFirstZero(text);
  if (target.empty())
    findings.Error(where, "the trailer is empty; the host opens nothing");
  else
    CheckStoredPath(findings, where, "trailer " + Quoted(target), target);
}

// Builds the menu form as the host does and checks what it reads.
void CheckMenuForm(const TComponentClass& menuClass, const std::string& menuName, const std::string& projectWhere,
                   TShellRecorder& shell, TFindings& findings) {
  std::unique_ptr<TComponent> menu;
  {
    TKeptReports reports;
    try {
      menu.reset(menuClass.Create(nullptr));
    } catch (const std::exception& error) {
      findings.Error(projectWhere, "the " + menuName + " menu cannot be made: " + error.what() + kShowsNothing);
      return;
    }
    // The only report while a menu is made is its editor's failed load.
    for (const std::string& text : reports.Texts)
      findings.Error(kDataFileWhere, "the host reports " + Quoted(text) + " and the menu starts empty");
  }
  auto* form = dynamic_cast<TCDMenuForm*>(menu.get());
  if (!form) return;
  try {
    ProjectRoot->Get_Project().Get_Setup().Get_Title();
  } catch (const EXMLError& error) {
    findings.Error(projectWhere + ": Project/Setup/Title",
                   std::string(error.what()) + "; the restore does not run and the window is not centred");
  }
  CheckAppearance(*form, menuName, projectWhere, findings);
  CheckRecords(*form, shell, findings);
}

}  // namespace

TFindings CheckMedium(const fs::path& medium, const std::string& programName) {
  TFindings findings;
  std::error_code error;
  if (!fs::is_directory(medium, error)) {
    findings.Error(medium.string(), "no such folder");
    return findings;
  }
  THostState state;
  RegisterTemplateMenus();
  TShellRecorder shell;
  // The host's state for a program file in the medium's root (StartMenu).
  HostMode = true;
  const fs::path program = fs::absolute(medium).lexically_normal() / programName;
  ProgramBaseName = ChangeFileExt(program.filename().string(), "");
  ProgramFolder = program.parent_path().string() + PathDelimiter;

  const bool hasProgram = IsFile(program);
  if (!hasProgram) findings.Error(programName, "no such file; the medium has no program to start");

  const std::string projectWhere = fs::path(ProjectFileName()).filename().string();
  if (!IsFile(ProjectFileName())) {
    findings.Error(projectWhere, "no such file" + kShowsNothing);
    return findings;
  }
  TXMLDocument document;
  try {
    document.LoadFromFile(ProjectFileName());
  } catch (const EXMLError& failure) {
    findings.Error(projectWhere, "not XML: " + (failure.what() + kShowsNothing));
    return findings;
  }
  try {
    ProjectRoot = GetOrbdeck(document);
  } catch (const EXMLError& failure) {
    findings.Error(projectWhere, failure.what() + kShowsNothing);
    return findings;
  }
  const std::string titleWhere = projectWhere + ": Project/CDFormClass/Title";
  std::string menuName;
  try {
    menuName = ProjectRoot->Get_Project().Get_CDFormClass().Get_Title();
  } catch (const EXMLError& failure) {
    findings.Error(titleWhere, failure.what() + kShowsNothing);
    return findings;
  }
  if (menuName.empty()) {
    findings.Error(titleWhere, "no menu named" + kShowsNothing);
    return findings;
  }
  const TComponentClass* menuClass = nullptr;
  try {
    menuClass = &FindCDMenu(menuName);
  } catch (const std::out_of_range&) {
    std::string hint = DidYouMean(menuName, CDMenuNames);
    if (hint.empty()) hint = " (registered are " + Registered() + ")";
    findings.Error(titleWhere, Quoted(menuName) + " is no registered menu" + hint + kShowsNothing);
    return findings;
  }
  // The registered spelling, for the findings that name the menu.
  menuName = *std::find_if(CDMenuNames.begin(), CDMenuNames.end(),
                           [&](const std::string& name) { return SameText(name, menuName); });

  if (menuClass == &ClassOf<TAutorunCDMenu>()) {
    if (hasProgram) CheckTrailer(program.string(), programName, findings);
  } else if (menuClass->IsForm) {
    CheckMenuForm(*menuClass, menuName, projectWhere, shell, findings);
  }
  return findings;
}

}  // namespace orb
