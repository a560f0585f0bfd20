#include "files/temporary_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

bool isTemporaryName(std::string_view name) {
  const std::size_t tail = kMark.size() + kRandomPart;
  if (name.size() < 1 + 1 + tail || name.front() != '.') return false;
  if (name.substr(name.size() - tail, kMark.size()) != kMark) return false;
  for (const char c : name.substr(name.size() - kRandomPart)) {
    const bool alphanumeric =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alphanumeric) return false;
  }
  return true;
}

void removeLeftoverTemporaries(const std::string& path) {
  const std::string folder = folderOf(path);
  const std::string prefix = "." + baseNameOf(path) + std::string(kMark);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() == prefix.size() + kRandomPart && name.substr(0, prefix.size()) == prefix &&
        isTemporaryName(name)) {
      unlinkat(dirfd(dir), entry->d_name, 0);
    }
  }
  closedir(dir);
}

void syncFolderOf(const std::string& path) {
  const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace rb
