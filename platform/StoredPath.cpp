#include "platform/StoredPath.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orb {
namespace {

namespace fs = std::filesystem;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// The entry of dir whose name equals name ignoring case; name itself when
// it exists as written or nothing matches.
std::string FindEntry(const fs::path& dir, const std::string& name) {
  std::error_code error;
  if (name.empty() || name == "." || name == ".." || fs::exists(dir / name, error)) return name;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string candidate = it->path().filename().string();
    if (SameNameIgnoringCase(candidate, name)) return candidate;
  }
  return name;
}

}  // namespace

std::string JoinStoredPath(std::string_view folder, std::string_view storedPath) {
  const char separator = static_cast<char>(fs::path::preferred_separator);
  std::string relative(storedPath);
  std::replace(relative.begin(), relative.end(), '\\', separator);
  std::string joined = std::string(folder) + relative;

  std::error_code error;
  if (fs::exists(joined, error) || folder.empty()) return joined;

  // Walk the stored part only: the folder is the program's own and real.
  fs::path resolved(folder);
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find(separator, start);
    if (end == std::string::npos) end = relative.size();
    std::string component = relative.substr(start, end - start);
    if (!component.empty()) resolved /= FindEntry(resolved, component);
    start = end + 1;
  }
  return fs::exists(resolved, error) ? resolved.string() : joined;
}

}  // namespace orb
