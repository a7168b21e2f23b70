// The saved appearance under Project/MainForm, checked by running the
// host's restore on the menu form with an observer that goes on past each
// failure, where the host's restore stops.
#include <QMetaObject>

#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "framework/ComponentPersistency.h"
#include "framework/LowAPI_.h"
#include "platform/Form.h"
#include "text/TextBytes.h"
#include "tools/orbdeck/MediumCheck.h"
#include "tools/orbdeck/StoredPathCheck.h"

namespace orb {
namespace {

const std::string kRestoreStops = "; the restore stops here and the window is not centred";

std::string MessageOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown failure";
  }
}

// The names of the form's components that take a saved value.
std::vector<std::string> ComponentsWithSavedValues(const TForm& form) {
  std::vector<std::string> names;
  for (const QObject* child : form.findChildren<QObject*>()) {
    const QMetaObject& meta = *child->metaObject();
    if (!child->objectName().isEmpty() && (meta.indexOfProperty("Path") >= 0 || meta.indexOfProperty("Caption") >= 0))
      names.push_back(child->objectName().toStdString());
  }
  return names;
}

}  // namespace

void CheckAppearance(TForm& form, const std::string& menuName, const std::string& projectWhere, TFindings& findings) {
  const std::string mainForm = projectWhere + ": Project/MainForm";
  // Read without the binding, which would make the element it asks for.
  if (!ProjectRoot->Get_Project().Node().child("MainForm")) {
    findings.Error(mainForm, "missing" + kRestoreStops);
    return;
  }
  std::optional<int> opacity;
  RestoreProperties(form, [&](const TRestoreStep& step) {
    std::string where = mainForm;
    if (step.Owner != "MainForm") where += "/Components/" + TextAsUtf8(step.Owner);
    if (!step.Property.empty()) where += "/" + step.Property;

    if (step.Failure) {
      std::string what = step.Node ? MessageOf(step.Failure) : "missing";
      // A picture that fails names the file the message is about.
      if (step.Property == "Path" && step.Value.isValid()) what = Quoted(step.Value.toString().toStdString()) + ": " + what;
      findings.Error(where, what + kRestoreStops);
    } else if (!step.Target) {
      if (step.Node.type() == pugi::node_element)
        findings.Warning(where, "the " + menuName + " menu has no such component" +
                                    DidYouMean(step.Owner, ComponentsWithSavedValues(form)) + "; the restore skips it");
    } else if (step.Owner == "MainForm" && step.Property == "AlphaBlendValue") {
      opacity = step.Value.toInt();
      if (*opacity < 0 || *opacity > 255)
        findings.Warning(where, std::to_string(*opacity) + " is outside 0 to 255; the host takes " +
                                    (*opacity < 0 ? "0" : "255"));
    } else if (step.Owner == "MainForm" && step.Property == "AlphaBlend") {
      if (step.Value.toBool() && opacity && *opacity <= 0)
        findings.Warning(mainForm + "/AlphaBlendValue", "0 with AlphaBlend on; the window is fully transparent");
    } else if (step.Property == "Path") {
      const std::string path = step.Value.toString().toStdString();
      if (path.empty()) return;  // asks for no picture
      std::optional<std::string> file = CheckStoredPath(findings, where, "picture " + Quoted(path), path);
      std::error_code error;
      if (file && !std::filesystem::is_regular_file(*file, error))
        findings.Error(where, "picture " + Quoted(path) + " is a folder; the menu shows no picture");
    }
  });
}

}  // namespace orb
