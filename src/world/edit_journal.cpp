#include "world/edit_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>

#include "base/text_append.h"
#include "base/write_all.h"
#include "files/temporary_name.h"
#include "format/room_record.h"

namespace rb {

namespace {

constexpr std::string_view kFirstLine = "roombuilder edit journal 1\n";

void appendRoom(std::string& out, std::size_t id, const StagedRoom& state) {
  const std::string record = roomRecord(state.room);
  const long long rowFile =
      state.rowFile == World::kNone ? -1 : static_cast<long long>(state.rowFile);
  appendText(out, "room ", id, ' ', state.exists ? 1 : 0, ' ', state.file, ' ', rowFile, ' ',
             state.region, ' ', state.hasRow ? 1 : 0, ' ', state.room.roomdark, ' ',
             state.room.roomterrain, ' ', record.size(), '\n', record, '\n');
}

// The journal read back, entry by entry; any entry it cannot read whole
// ends it.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool atEnd() const { return text_.empty(); }
  // The next line's words, when it is one of `words` words after `first`.
  bool line(std::string_view first, std::vector<long long>& numbers, std::size_t count) {
    const std::size_t end = text_.find('\n');
    if (end == std::string_view::npos) return false;
    std::string_view line = text_.substr(0, end);
    if (line.substr(0, first.size()) != first) return false;
    line.remove_prefix(first.size());
    numbers.clear();
    while (!line.empty()) {
      if (line.front() != ' ') return false;
      line.remove_prefix(1);
      long long value = 0;
      const auto [ptr, error] = std::from_chars(line.data(), line.data() + line.size(), value);
      if (error != std::errc()) return false;
      numbers.push_back(value);
      line.remove_prefix(static_cast<std::size_t>(ptr - line.data()));
    }
    if (numbers.size() != count) return false;
    text_.remove_prefix(end + 1);
    return true;
  }
  bool is(std::string_view line) {
    if (text_.substr(0, line.size()) != line) return false;
    text_.remove_prefix(line.size());
    return true;
  }
  // `length` bytes, then a line break.
  bool bytes(std::size_t length, std::string_view& out) {
    if (text_.size() < length + 1 || text_[length] != '\n') return false;
    out = text_.substr(0, length);
    text_.remove_prefix(length + 1);
    return true;
  }
  bool room(std::size_t& id, StagedRoom& state) {
    std::vector<long long> n;
    std::string_view record;
    if (!line("room", n, 9) || n[0] < 0 || !bytes(static_cast<std::size_t>(n[8]), record)) {
      return false;
    }
    id = static_cast<std::size_t>(n[0]);
    state.exists = n[1] != 0;
    state.file = static_cast<std::size_t>(n[2]);
    state.rowFile = n[3] < 0 ? World::kNone : static_cast<std::size_t>(n[3]);
    state.region = static_cast<int>(n[4]);
    state.hasRow = n[5] != 0;
    if (!isWritersRecord(record, state.room)) return false;
    state.room.roomdark = static_cast<int>(n[6]);
    state.room.roomterrain = static_cast<int>(n[7]);
    return true;
  }
  bool name(std::string& out) {
    std::vector<long long> n;
    std::string_view text;
    if (!line("name", n, 1) || n[0] < 0 || !bytes(static_cast<std::size_t>(n[0]), text)) {
      return false;
    }
    out = std::string(text);
    return true;
  }

 private:
  std::string_view text_;
};

}  // namespace

std::string EditJournal::nameFor(const std::string& roomFile) {
  const std::size_t slash = roomFile.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : roomFile.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? roomFile : roomFile.substr(slash + 1);
  return folder + "." + base + ".journal";
}

void EditJournal::begin(const std::string& name, const World& world) {
  name_ = name;
  header_ = std::string(kFirstLine);
  for (const WorldFile& file : world.files()) {
    appendText(header_, "file ", file.state.id.device, ' ', file.state.id.inode, ' ',
               file.state.size, ' ', file.state.modified.tv_sec, ' ', file.state.modified.tv_nsec,
               '\n');
  }
}

bool EditJournal::append(const std::string& entry) {
  if (fd_ < 0) {
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return false;
    if (!writeAll(fd_, header_)) return false;
    syncFoldersOf({name_});
  }
  return writeAll(fd_, entry) && fsync(fd_) == 0;
}

bool EditJournal::change(const StagedChange& change) {
  std::string entry;
  appendText(entry, "change ", change.shownBefore, ' ', change.shownAfter, ' ', change.rooms.size(),
             '\n');
  for (std::size_t k = 0; k < change.rooms.size(); ++k)
    appendRoom(entry, change.rooms[k], change.after[k]);
  return append(entry);
}

bool EditJournal::undo() {
  return append("undo\n");
}

bool EditJournal::redo() {
  return append("redo\n");
}

bool EditJournal::write(const std::vector<Placement>& placements) {
  std::string entry;
  appendText(entry, "write ", placements.size(), '\n');
  for (const Placement& placement : placements) {
    appendText(entry, "place ", static_cast<int>(placement.how), '\n');
    appendText(entry, "name ", placement.temporary.size(), '\n', placement.temporary, '\n');
    appendText(entry, "name ", placement.target.size(), '\n', placement.target, '\n');
  }
  entry += "written\n";
  return append(entry);
}

void EditJournal::remove() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  unlink(name_.c_str());
  syncFoldersOf({name_});
}

std::optional<JournalRead> EditJournal::read(const std::string& name) {
  InputFile file;
  if (file.open(name) != InputFile::Status::Open) return std::nullopt;
  std::string text;
  if (!file.readAt(0, static_cast<std::size_t>(file.state().size), text)) return std::nullopt;
  Cursor in(text);
  if (!in.is(kFirstLine)) return std::nullopt;
  JournalRead read;
  std::vector<long long> n;
  while (in.line("file", n, 5)) {
    FileState state;
    state.id = FileId{static_cast<dev_t>(n[0]), static_cast<ino_t>(n[1])};
    state.size = static_cast<off_t>(n[2]);
    state.modified.tv_sec = static_cast<time_t>(n[3]);
    state.modified.tv_nsec = static_cast<long>(n[4]);
    read.files.push_back(state);
  }
  while (!in.atEnd()) {
    JournalEntry entry;
    if (in.is("undo\n")) {
      entry.kind = JournalEntry::Kind::Undo;
    } else if (in.is("redo\n")) {
      entry.kind = JournalEntry::Kind::Redo;
    } else if (in.line("change", n, 3)) {
      entry.change.shownBefore = static_cast<std::size_t>(n[0]);
      entry.change.shownAfter = static_cast<std::size_t>(n[1]);
      bool whole = true;
      for (long long k = 0; whole && k < n[2]; ++k) {
        std::size_t id = 0;
        StagedRoom state;
        whole = in.room(id, state);
        entry.change.rooms.push_back(id);
        entry.change.after.push_back(state);
      }
      if (!whole) break;
    } else if (in.line("write", n, 1)) {
      std::vector<Placement> placements;
      std::vector<long long> how;
      bool whole = true;
      for (long long k = 0; whole && k < n[0]; ++k) {
        Placement placement;
        whole =
            in.line("place", how, 1) && in.name(placement.temporary) && in.name(placement.target);
        if (whole) placement.how = static_cast<Placement::How>(how[0]);
        placements.push_back(placement);
      }
      if (whole && in.is("written\n")) read.write = std::move(placements);
      break;
    } else {
      break;
    }
    read.entries.push_back(std::move(entry));
  }
  return read;
}

}  // namespace rb
