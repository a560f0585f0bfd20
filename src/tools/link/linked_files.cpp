#include "tools/link/linked_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/replacement_file.h"
#include "format/record_format.h"
#include "format/room_record.h"

namespace rb {

namespace {

// Written out in blocks of about this much.
constexpr std::size_t kWriteBlock = 256 * 1024;

struct Failed {
  std::string file;
  std::string reason;
};

// The bytes of a file read in order, a large block at a time.
class BlockReader {
 public:
  explicit BlockReader(int fd) : fd_(fd), block_(kBlock) {}

  // Appends the bytes [from, to) to `out`; false (errno set) when the file
  // cannot give them all. Ranges come in order, each after the last.
  bool append(off_t from, off_t to, std::string& out) {
    while (from < to) {
      if (!holds(from) && !load(from)) return false;
      const off_t take = std::min(to, start_ + filled_) - from;
      out.append(block_.data() + (from - start_), static_cast<std::size_t>(take));
      from += take;
    }
    return true;
  }

  // Appends the line that starts at `from`, its line break included.
  bool appendLine(off_t from, std::string& out) {
    for (;;) {
      if (!holds(from) && !load(from)) return false;
      const char* begin = block_.data() + (from - start_);
      const auto left = static_cast<std::size_t>(start_ + filled_ - from);
      const void* found = std::memchr(begin, '\n', left);
      const std::size_t take =
          found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin) + 1 : left;
      out.append(begin, take);
      from += static_cast<off_t>(take);
      if (found) return true;
    }
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;

  bool holds(off_t at) const { return at >= start_ && at < start_ + filled_; }
  bool load(off_t from) {
    for (;;) {
      const ssize_t got = pread(fd_, block_.data(), block_.size(), from);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        if (got == 0) errno = EIO;  // the file ended early
        return false;
      }
      start_ = from;
      filled_ = got;
      return true;
    }
  }

  int fd_;
  std::vector<char> block_;
  off_t start_ = 0;
  off_t filled_ = 0;
};

// Writes the file anew into `replacement`: its bytes as they are, but the
// links lines of the records that get the exits `next` .. `end`.
void rewrite(const World& world, const WorldFile& file,
             std::vector<ReturnExit>::const_iterator next,
             std::vector<ReturnExit>::const_iterator end, ReplacementFile& replacement) {
  const int fd = ::open(file.name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) throw Failed{file.name, std::strerror(errno)};
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (!replacement.start(file.name, info.st_mode)) throw Failed{file.name, std::strerror(errno)};
  const auto failed = [&] { throw Failed{file.name, std::strerror(errno)}; };
  BlockReader in(fd);
  std::string out;
  off_t copied = 0;
  while (next != end) {
    const std::size_t record = next->record;
    Exits exits;
    exits.fill(kNoExit);
    for (int slot = 1; slot <= kExitCount; ++slot)
      exits[static_cast<std::size_t>(slot)] = world.graph().exit(record, slot);
    for (; next != end && next->record == record; ++next)
      exits[next->slot] = next->destination;
    // Up to the record's links line, which is replaced: it runs from where
    // it was read to its line break.
    const auto offset = static_cast<off_t>(world.linksLineOffset(record));
    if (!in.append(copied, offset, out)) failed();
    const std::size_t lineStart = out.size();
    if (!in.appendLine(offset, out)) failed();
    if (std::string_view(out).substr(lineStart, format::kLinksStart.size()) !=
        format::kLinksStart) {
      throw Failed{file.name, "changed while it was being read"};
    }
    copied = offset + static_cast<off_t>(out.size() - lineStart);
    out.resize(lineStart);
    appendLinksLine(out, exits);
    if (out.size() >= kWriteBlock) {
      if (!replacement.write(out)) failed();
      out.clear();
    }
  }
  if (!in.append(copied, info.st_size, out) || !replacement.write(out) ||
      !replacement.finishWriting()) {
    failed();
  }
}

}  // namespace

LinkedFiles writeReturnExits(const World& world, const LinkPlan& plan) {
  LinkedFiles result;
  std::vector<ReplacementFile> replacements;
  try {
    auto next = plan.added.begin();
    for (const WorldFile& file : world.files()) {
      if (!file.rooms) continue;
      auto end = next;
      while (end != plan.added.end() && end->record < file.endRecord)
        ++end;
      if (end == next) continue;
      replacements.emplace_back();
      rewrite(world, file, next, end, replacements.back());
      next = end;
    }
  } catch (const Failed& failed) {
    // Every temporary file goes with the replacements; no file has changed.
    result.failure = {failed.file, failed.reason};
    return result;
  }
  for (ReplacementFile& replacement : replacements) {
    std::string backup;
    if (!replacement.commit(backup)) {
      result.failure = {replacement.name(), std::strerror(errno)};
      return result;
    }
    result.backups.emplace_back(replacement.name(), backup);
  }
  return result;
}

}  // namespace rb
