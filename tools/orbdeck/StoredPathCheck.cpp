#include "tools/orbdeck/StoredPathCheck.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "framework/LowAPI_.h"
#include "text/StoredPath.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

// A path the medium's author wrote as a full one: with a drive, a server
// and share, or from the root.
bool IsFullPath(std::string_view path) {
  return path.starts_with('\\') || path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

// The path below the program folder, in the medium's stored form; empty
// when it lies outside.
std::string StoredForm(const fs::path& path) {
  const fs::path folder = fs::path(ProgramFolder).lexically_normal().parent_path();
  const fs::path relative = path.lexically_normal().lexically_relative(folder);
  if (relative.empty() || *relative.begin() == "..") return {};
  std::string stored = relative.string();
  std::replace(stored.begin(), stored.end(), static_cast<char>(fs::path::preferred_separator), '\\');
  return stored;
}

}  // namespace

std::optional<std::string> CheckStoredPath(TFindings& findings, const std::string& where, const std::string& subject,
                                           std::string_view storedPath) {
  if (IsFullPath(storedPath)) {
    findings.Error(where, subject + " is a full path; the host puts the program folder in front of it, so it is never found");
    return std::nullopt;
  }
  const std::string opened = JoinStoredPath(ProgramFolder, storedPath);
  if (StoredForm(opened).empty()) {
    findings.Error(where, subject + " leads outside the medium");
    return std::nullopt;
  }
  std::error_code error;
  if (!fs::exists(opened, error)) {
    findings.Error(where, subject + " is not on the medium");
    return std::nullopt;
  }
  std::string asWritten(storedPath);
  std::replace(asWritten.begin(), asWritten.end(), '\\', static_cast<char>(fs::path::preferred_separator));
  if (!fs::exists(ProgramFolder + asWritten, error))
    findings.Warning(where, subject + " is found as " + Quoted(StoredForm(opened)) + " only when letter case is ignored");
  return opened;
}

}  // namespace orb
