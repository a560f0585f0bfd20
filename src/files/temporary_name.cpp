#include "files/temporary_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <set>

namespace rb {

namespace {

constexpr std::string_view kMark = ".rb-";
constexpr std::size_t kRandomPart = 6;  // the XXXXXX of mkstemp

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryPattern(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return folder + "." + baseNameOf(path) + std::string(kMark) + std::string(kRandomPart, 'X');
}

namespace {

// Whether `name` ends in `mark` and the six characters mkstemp puts there.
bool endsInMarkAndRandom(std::string_view name, std::string_view mark) {
  const std::size_t tail = mark.size() + kRandomPart;
  if (name.size() <= tail || name.substr(name.size() - tail, mark.size()) != mark) return false;
  for (const char c : name.substr(name.size() - kRandomPart)) {
    const bool alphanumeric =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alphanumeric) return false;
  }
  return true;
}

}  // namespace

bool isTemporaryName(std::string_view name) {
  return name.size() > 1 && name.front() == '.' && endsInMarkAndRandom(name.substr(1), kMark);
}

bool isPartialName(std::string_view name) {
  return endsInMarkAndRandom(name, ".partial-");
}

void removeLeftoverTemporaries(const std::vector<std::string>& paths) {
  std::map<std::string, std::set<std::string>> byFolder;  // folder -> ".NAME.rb-"
  for (const std::string& path : paths)
    byFolder[folderOf(path)].insert("." + baseNameOf(path) + std::string(kMark));
  for (const auto& [folder, prefixes] : byFolder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) continue;
    while (const dirent* entry = readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (!isTemporaryName(name)) continue;
      const std::string prefix(name.substr(0, name.size() - kRandomPart));
      if (prefixes.count(prefix) != 0) unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
  }
}

void syncFoldersOf(const std::vector<std::string>& paths) {
  std::set<std::string> folders;
  for (const std::string& path : paths)
    folders.insert(folderOf(path));
  for (const std::string& folder : folders)
    syncFolderOf(folder + "/.");
}

void syncFolderOf(const std::string& path) {
  const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace rb
