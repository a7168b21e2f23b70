// orbdeck new TEMPLATE FOLDER [--setup PATH]: a medium that works, made
// with the template's own code where it has any: the program file, a
// project that names the template with every value the restore requires,
// and for a record-keeping template a data file with one entry, added and
// saved by the template's editor form, that opens a read-me file beside
// the program; for the Autorun template a page and the trailer that names it.
#include <QCoreApplication>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>

#include <pugixml.hpp>

#include "exetrailer/ExeModifier_.h"
#include "framework/LowAPI_.h"
#include "store/DataSet.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/MenuLinks.h"
#include "templates/TemplateMenus.h"
#include "text/TextCompare.h"
#include "tools/orbdeck/Commands.h"
#include "tools/orbdeck/Findings.h"
#include "tools/orbdeck/OffscreenQt.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReadme = "Readme.txt";
constexpr const char* kPage = "index.htm";

void WriteFile(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("Cannot create file \"" + file.string() + "\"");
}

void WriteProject(const std::string& menuName, const std::string& title, bool withForm) {
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("Orbdeck");
  root.append_child("Studio").append_child("Version").text().set("1.0");
  pugi::xml_node project = root.append_child("Project");
  project.append_child("CDFormClass").append_child("Title").text().set(menuName.c_str());
  project.append_child("Setup").append_child("Title").text().set(title.c_str());
  if (withForm) {
    pugi::xml_node mainForm = project.append_child("MainForm");
    mainForm.append_child("Caption").text().set(title.c_str());
    mainForm.append_child("AlphaBlendValue").text().set("255");
    mainForm.append_child("AlphaBlend").text().set("False");
    mainForm.append_child("Components");
  }
  if (!document.save_file(ProjectFileName().c_str(), "  ", pugi::format_default, pugi::encoding_utf8))
    throw std::runtime_error("Cannot create file \"" + ProjectFileName() + "\"");
}

// The menu's editor, finding no data file, starts with one record; its first
// link is made to open the read-me, and the editor saves it.
void WriteData(const TComponentClass& menuClass) {
  std::unique_ptr<TComponent> menu(menuClass.Create(nullptr));
  auto* form = dynamic_cast<TCDMenuForm*>(menu.get());
  std::optional<TMenuRecords> records = form ? MenuRecords(*form) : std::nullopt;
  if (!records || !CurrentDBForm) return;
  const TMenuLink& link = records->Links.front();
  TDataSet& store = link.Launcher.LinkField()->DataSet();
  store.Edit();
  link.Title->SetAsString("Read me");
  link.Launcher.LinkField()->SetAsString(kReadme);
  if (TField* action = link.Launcher.ActionField()) action->SetAsString("File");
  store.Post();
  // A program slot lies in the package's nested record: the package is posted too.
  records->Records->CheckBrowseMode();
  fs::create_directories(DataFolder());
  CurrentDBForm->SaveData();
  WriteFile(ProgramFolder + kReadme,
            "The menu's first entry opens this file. Put the medium's files beside it, list them\n"
            "in Data/db.xml (orbdeck data import) and run orbdeck check before the medium is burned.\n");
}

void WriteAutorunPage() {
  WriteFile(ProgramFolder + kPage,
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Welcome</title></head>\n"
            "<body><h1>Welcome</h1><p>This page opens when the medium starts.</p></body></html>\n");
  TExeBuf payload;
  StrToExeBuf(kPage, payload);
  AppendExeBuf(ProgramFolder + "Setup", payload);
}

// An empty folder, made if it is missing; its full path without a final separator.
fs::path EmptyFolder(const std::string& folder) {
  std::error_code error;
  if (fs::exists(folder, error) && !(fs::is_directory(folder, error) && fs::is_empty(folder, error)))
    throw std::runtime_error("\"" + folder + "\" exists and is not an empty folder");
  fs::create_directories(folder, error);
  if (error) throw std::runtime_error("Cannot create folder \"" + folder + "\". " + error.message());
  fs::path path = fs::absolute(folder).lexically_normal();
  return path.has_filename() ? path : path.parent_path();
}

}  // namespace

int RunNewCommand(const TArguments& arguments) {
  std::vector<std::string> words;
  std::string setupArgument;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--setup" && i + 1 < arguments.size()) setupArgument = arguments[++i];
    else if (arguments[i].starts_with("--")) throw EUsage();
    else words.push_back(arguments[i]);
  }
  if (words.size() != 2) throw EUsage();

  TOffscreenQt qt;
  InitializeLowAPI();
  RegisterTemplateMenus();
  auto name = std::find_if(CDMenuNames.begin(), CDMenuNames.end(),
                           [&](const std::string& registered) { return SameText(registered, words[0]); });
  if (name == CDMenuNames.end()) {
    std::string templates;
    for (const std::string& registered : CDMenuNames) templates += (templates.empty() ? "" : ", ") + Quoted(registered);
    throw EUsage("No template " + Quoted(words[0]) + DidYouMean(words[0], CDMenuNames) + "; the templates are " +
                 templates);
  }
  const TComponentClass& menuClass = FindCDMenu(*name);
  const fs::path setup = setupArgument.empty()
                             ? fs::path(QCoreApplication::applicationDirPath().toStdString()) / "Setup"
                             : fs::path(setupArgument);
  std::error_code error;
  if (!fs::is_regular_file(setup, error))
    throw std::runtime_error("No program file \"" + setup.string() + "\"" +
                             (setupArgument.empty() ? " beside orbdeck; name one with --setup" : ""));

  const fs::path folder = EmptyFolder(words[1]);
  ProgramFolder = folder.string() + PathDelimiter;
  ProgramBaseName = "Setup";
  fs::copy_file(setup, folder / "Setup");
  fs::permissions(folder / "Setup", fs::status(setup).permissions());
  WriteProject(*name, folder.filename().string(), menuClass.IsForm);
  if (&menuClass == &ClassOf<TAutorunCDMenu>())
    WriteAutorunPage();
  else if (menuClass.IsForm)
    WriteData(menuClass);
  return 0;
}

}  // namespace orb
