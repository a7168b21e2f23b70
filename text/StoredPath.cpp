#include "text/StoredPath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "text/TextCompare.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

// The entry of dir whose name equals name ignoring case; name itself when
// it exists as written or nothing matches.
std::string FindEntry(const fs::path& dir, const std::string& name) {
  std::error_code error;
  if (name.empty() || name == "." || name == ".." || fs::exists(dir / name, error)) return name;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string candidate = it->path().filename().string();
    if (SameFileName(candidate, name)) return candidate;
  }
  return name;
}

// A path split for the relative-path rule: the drive part, the names of the
// folders of its folder part (up to its last separator), and the rest.
struct TSplitPath {
  std::string_view Drive;
  std::vector<std::string_view> Folders;
  std::string_view Name;
};

std::string_view WindowsDrive(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (!path.starts_with("\\\\")) return {};
  std::size_t share = path.find('\\', 2);
  if (share == std::string_view::npos) return path;
  return path.substr(0, std::min(path.find('\\', share + 1), path.size()));
}

// On POSIX the one drive is the root: a path without it is no full path.
std::string_view PosixDrive(std::string_view path) { return path.starts_with('/') ? path.substr(0, 1) : std::string_view(); }

TSplitPath SplitPath(std::string_view path, char separator, std::string_view (*drive)(std::string_view)) {
  TSplitPath split;
  split.Drive = drive(path);
  std::size_t last = path.rfind(separator);
  std::size_t nameStart = last == std::string_view::npos ? 0 : last + 1;
  split.Name = path.substr(std::max(nameStart, split.Drive.size()));
  std::string_view folders = path.substr(split.Drive.size(), nameStart > split.Drive.size() ? nameStart - split.Drive.size() : 0);
  for (std::size_t start = 0; start < folders.size();) {
    std::size_t end = std::min(folders.find(separator, start), folders.size());
    if (end > start) split.Folders.push_back(folders.substr(start, end - start));
    start = end + 1;
  }
  return split;
}

std::string RelativePath(std::string_view base, std::string_view target, char separator,
                         std::string_view (*drive)(std::string_view)) {
  TSplitPath from = SplitPath(base, separator, drive);
  TSplitPath to = SplitPath(target, separator, drive);
  if (!SameText(from.Drive, to.Drive)) return std::string(target);
  std::size_t common = 0;
  while (common < from.Folders.size() && common < to.Folders.size() &&
         SameFileName(from.Folders[common], to.Folders[common]))
    ++common;
  std::string relative;
  for (std::size_t i = common; i < from.Folders.size(); ++i) relative += "..\\";
  for (std::size_t i = common; i < to.Folders.size(); ++i) (relative += to.Folders[i]) += '\\';
  return relative += to.Name;
}

}  // namespace

std::string ExtractRelativePath(std::string_view base, std::string_view target) {
  return RelativePath(base, target, '\\', WindowsDrive);
}

std::string StoredRelativePath(std::string_view baseFolder, std::string_view target) {
  const char separator = static_cast<char>(fs::path::preferred_separator);
  auto relative = [&](std::string_view path) {
    return separator == '\\' ? ExtractRelativePath(baseFolder, path)
                               : RelativePath(baseFolder, path, separator, PosixDrive);
  };
  // The target named as a folder comes out empty exactly when it is the base.
  std::string asFolder(target);
  if (!asFolder.ends_with(separator)) asFolder += separator;
  if (!baseFolder.empty() && !target.empty() && relative(asFolder).empty()) return ".";
  return relative(target);
}

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
