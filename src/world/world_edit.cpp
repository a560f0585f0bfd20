#include "world/world_edit.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/byte_hash.h"
#include "files/temporary_name.h"
#include "format/data_row.h"
#include "format/record_format.h"
#include "format/room_record.h"

namespace rb {

namespace {

// Written out in blocks of about this much.
constexpr std::size_t kBlock = 1 << 20;

// The LF text with every line break made CR LF.
std::string withCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The bytes of a file read in order, a block at a time, and written out to
// a replacement, with the ranges that steps replace read and checked.
class Copier {
 public:
  Copier(int fd, ReplacementFile& out) : fd_(fd), out_(out) {}

  // Copies the bytes [pos, to) unchanged.
  bool copyTo(long long to) {
    while (pos_ < to) {
      const std::size_t want = static_cast<std::size_t>(std::min<long long>(to - pos_, kBlock));
      if (!read(want, block_)) return false;
      if (!emit(block_)) return false;
    }
    return true;
  }
  // Reads the `length` bytes at the current place into `bytes`, passing
  // over them; -1 reads one line.
  bool take(long long length, std::string& bytes) {
    if (length >= 0) return read(static_cast<std::size_t>(length), bytes);
    bytes.clear();
    std::string piece;
    for (;;) {
      const bool whole = readSome(256, piece);
      const std::size_t end = piece.find('\n');
      if (end != std::string::npos) {
        bytes.append(piece, 0, end + 1);
        pos_ -= static_cast<long long>(piece.size() - end - 1);
        return true;
      }
      bytes += piece;
      if (!whole) return !bytes.empty() || errno == EIO;
    }
  }
  // Writes a text of the edit: on a line of its own.
  bool insert(const std::string& text, bool crLf) {
    if (text.empty()) return true;
    if (last_ != '\n' && last_ != '\0' && !emit(crLf ? "\r\n" : "\n")) return false;
    return emit(text);
  }
  bool emit(std::string_view text) {
    if (text.empty()) return true;
    pending_.append(text);
    last_ = text.back();
    if (pending_.size() >= kBlock) return flush();
    return true;
  }
  bool flush() {
    const bool ok = out_.write(pending_);
    pending_.clear();
    return ok;
  }
  long long position() const { return pos_; }
  // Whether the file ends where it ended when read.
  bool atEnd() {
    char byte;
    const ssize_t got = pread(fd_, &byte, 1, pos_);
    return got == 0;
  }

 private:
  bool read(std::size_t length, std::string& bytes) {
    if (!readSome(length, bytes)) {
      if (bytes.size() < length) errno = EIO;
      return false;
    }
    return true;
  }
  // Up to `length` bytes; false when fewer came (the file's end: errno EIO).
  bool readSome(std::size_t length, std::string& bytes) {
    bytes.resize(length);
    std::size_t got = 0;
    while (got < length) {
      const ssize_t n =
          pread(fd_, bytes.data() + got, length - got, pos_ + static_cast<long long>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (n == 0) errno = EIO;
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    pos_ += static_cast<long long>(got);
    return got == length;
  }

  int fd_;
  ReplacementFile& out_;
  long long pos_ = 0;
  std::string block_, pending_;
  char last_ = '\0';
};

std::uint32_t shortHash(std::string_view bytes) {
  return static_cast<std::uint32_t>(hashBytes(bytes));
}

}  // namespace

std::string WorldEdit::forFile(std::size_t file, std::string text) const {
  if (world_.files()[file].lineEnds == LineEnds::CrLf) return withCrLf(text);
  return text;
}

void WorldEdit::replaceRecord(std::size_t record, const WorkingRoom& room) {
  replaceRecordText(record, forFile(world_.fileIndexOfRecord(record), roomRecord(room)));
}

void WorldEdit::replaceRecordText(std::size_t record, std::string text) {
  Change& change = records_[record];
  change.text = std::move(text);
  change.deleted = false;
}

void WorldEdit::replaceLinks(std::size_t record, const Exits& exits) {
  std::string text = *recordTextNow(record);
  const std::string start = "\n" + std::string(format::kLinksStart);
  const std::size_t at = text.find(start);
  if (at == std::string::npos) return;  // no links line: nothing to replace
  const std::size_t begin = at + 1;
  std::size_t end = text.find('\n', begin);
  end = end == std::string::npos ? text.size() : end + 1;
  const bool crLf = end >= begin + 2 && text[end - 2] == '\r';
  std::string line;
  appendLinksLine(line, exits);
  if (crLf) line.insert(line.size() - 1, "\r");
  text.replace(begin, end - begin, line);
  replaceRecordText(record, std::move(text));
}

void WorldEdit::insertRecordAfter(std::size_t record, const WorkingRoom& room) {
  insertRecordTextAfter(record, forFile(world_.fileIndexOfRecord(record), roomRecord(room)));
}

void WorldEdit::insertRecordTextAfter(std::size_t record, std::string text) {
  records_[record].after.push_back(std::move(text));
}

void WorldEdit::insertRecordAtEnd(std::size_t file, const WorkingRoom& room) {
  insertRecordTextAtEnd(file, forFile(file, roomRecord(room)));
}

void WorldEdit::insertRecordTextAtEnd(std::size_t file, std::string text) {
  ends_[file].push_back(std::move(text));
}

void WorldEdit::deleteRecord(std::size_t record) {
  Change& change = records_[record];
  change.deleted = true;
  change.text.reset();
}

namespace {

std::string rowFor(const WorkingRoom& room, int region) {
  AreaDefaults area;
  area.region = region;
  return dataRow(room, area);
}

}  // namespace

void WorldEdit::replaceRow(std::size_t row, const WorkingRoom& room, int region) {
  replaceRowText(row, forFile(world_.fileIndexOfRow(row), rowFor(room, region)));
}

void WorldEdit::replaceRowText(std::size_t row, std::string text) {
  Change& change = rows_[row];
  change.text = std::move(text);
  change.deleted = false;
}

void WorldEdit::insertRowAfter(std::size_t row, const WorkingRoom& room, int region) {
  insertRowTextAfter(row, forFile(world_.fileIndexOfRow(row), rowFor(room, region)));
}

void WorldEdit::insertRowTextAfter(std::size_t row, std::string text) {
  rows_[row].after.push_back(std::move(text));
}

void WorldEdit::insertRowAtEnd(std::size_t file, const WorkingRoom& room, int region) {
  insertRowTextAtEnd(file, forFile(file, rowFor(room, region)));
}

void WorldEdit::insertRowTextAtEnd(std::size_t file, std::string text) {
  ends_[file].push_back(std::move(text));
}

void WorldEdit::deleteRow(std::size_t row) {
  Change& change = rows_[row];
  change.deleted = true;
  change.text.reset();
}

void WorldEdit::createFile(const std::string& name, std::string text) {
  created_.emplace_back(name, std::move(text));
}

std::optional<std::string> WorldEdit::recordTextNow(std::size_t record) const {
  const auto found = records_.find(record);
  if (found != records_.end()) {
    if (found->second.deleted) return std::nullopt;
    if (found->second.text) return *found->second.text;
  }
  return world_.recordText(record);
}

std::vector<std::size_t> WorldEdit::changedFiles() const {
  std::vector<std::size_t> files;
  for (const auto& [record, change] : records_)
    files.push_back(world_.fileIndexOfRecord(record));
  for (const auto& [row, change] : rows_)
    files.push_back(world_.fileIndexOfRow(row));
  for (const auto& [file, texts] : ends_)
    files.push_back(file);
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

bool WorldEdit::writeFile(std::size_t index, const InputFile& in, ReplacementFile& out,
                          EditOutcome& outcome) const {
  const WorldFile& file = world_.files()[index];
  Copier copy(in.fd(), out);
  const bool crLf = file.lineEnds == LineEnds::CrLf;
  std::string old;
  const auto failed = [&](int error) {
    outcome.status = EditOutcome::Status::Failed;
    outcome.file = file.name;
    outcome.reason = std::strerror(error);
    return false;
  };
  const auto changed = [&] {
    outcome.status = EditOutcome::Status::Changed;
    outcome.file = file.name;
    return false;
  };
  // One record's or row's change: the bytes it replaces checked against
  // those read, then its new text and what follows it.
  const auto step = [&](const Change& change, long long offset, long long length,
                        std::uint32_t hash) {
    if (!copy.copyTo(offset)) return errno == EIO ? changed() : failed(errno);
    if (!copy.take(length, old)) return errno == EIO ? changed() : failed(errno);
    if (world_.keepsHashes() && shortHash(old) != hash) return changed();
    if (!change.deleted && !copy.emit(change.text ? *change.text : old)) return failed(errno);
    for (const std::string& text : change.after) {
      if (!copy.insert(text, crLf)) return failed(errno);
    }
    return true;
  };
  if (file.rooms) {
    for (auto it = records_.lower_bound(file.firstRecord);
         it != records_.end() && it->first < file.endRecord; ++it) {
      const std::size_t record = it->first;
      if (!step(it->second, world_.recordOffset(record), world_.recordLength(record),
                world_.keepsHashes() ? world_.recordHash(record) : 0)) {
        return false;
      }
    }
  } else {
    for (auto it = rows_.lower_bound(file.firstRow); it != rows_.end() && it->first < file.endRow;
         ++it) {
      const std::size_t row = it->first;
      if (!step(it->second, world_.rowOffset(row), -1,
                world_.keepsHashes() ? world_.rowHash(row) : 0)) {
        return false;
      }
    }
  }
  if (!copy.copyTo(file.state.size)) return errno == EIO ? changed() : failed(errno);
  if (!copy.atEnd()) return changed();
  if (const auto end = ends_.find(index); end != ends_.end()) {
    for (const std::string& text : end->second) {
      if (!copy.insert(text, crLf)) return failed(errno);
    }
  }
  if (!copy.flush() || !out.finishWriting()) return failed(errno);
  return true;
}

EditOutcome WorldEdit::apply(const PlaceFile& place) {
  EditOutcome outcome;
  const std::vector<std::size_t> changed = changedFiles();
  // Every file locked and looked at before anything is written: the world
  // holds it, or it is locked here until the edit is done. Past what the
  // descriptors allow, a file is looked at now and opened again, unlocked,
  // to be copied: its state and the bytes checked as they are copied are
  // then the guard.
  std::vector<InputFile> locks(changed.size());
  const auto look = [&](std::size_t k, InputFile::Lock lock) -> const InputFile* {
    const WorldFile& file = world_.files()[changed[k]];
    const InputFile* held = world_.heldFile(changed[k]);
    if ((!held || !held->isOpen()) && locks[k].isOpen()) held = &locks[k];
    if (!held || !held->isOpen()) {
      if (locks[k].open(file.name, lock) != InputFile::Status::Open) {
        outcome.status = EditOutcome::Status::Refused;
        outcome.file = file.name;
        outcome.reason = locks[k].reason();
        return nullptr;
      }
      held = &locks[k];
    }
    const auto now = held->stateNow();
    if (!now || !now->sameAs(file.state) || !(fileIdOf(file.name) == file.state.id)) {
      outcome.status = EditOutcome::Status::Changed;
      outcome.file = file.name;
      return nullptr;
    }
    return held;
  };
  std::vector<bool> locked(changed.size(), false);
  for (std::size_t k = 0; k < changed.size(); ++k) {
    locked[k] = InputFile::mayHoldAnother();
    if (!look(k, locked[k] ? InputFile::Lock::Exclusive : InputFile::Lock::None)) return outcome;
    if (!locked[k]) locks[k].close();
  }
  // What killed runs left beside these files goes: no live run writes it
  // while the files are locked.
  std::vector<std::string> targets;
  for (const std::size_t index : changed) {
    std::string target;
    if (followLinks(world_.files()[index].name, target)) targets.push_back(target);
  }
  for (const auto& [name, text] : created_)
    targets.push_back(name);
  removeLeftoverTemporaries(targets);
  std::vector<ReplacementFile> replacements;
  for (std::size_t k = 0; k < changed.size(); ++k) {
    const InputFile* source = look(k, InputFile::Lock::None);
    if (!source) return outcome;
    replacements.emplace_back();
    if (!replacements.back().start(world_.files()[changed[k]].name)) {
      outcome.status = EditOutcome::Status::Refused;
      outcome.file = world_.files()[changed[k]].name;
      outcome.reason = replacements.back().reason();
      return outcome;
    }
    if (!writeFile(changed[k], *source, replacements.back(), outcome)) return outcome;
    if (!locked[k]) locks[k].close();
  }
  for (const auto& [name, text] : created_) {
    replacements.emplace_back();
    ReplacementFile& file = replacements.back();
    if (!file.startNew(name) || !file.write(text) || !file.finishWriting()) {
      outcome.status = EditOutcome::Status::Failed;
      outcome.file = name;
      outcome.reason = file.reason();
      return outcome;
    }
  }
  const ReplacementOutcome placed = commitReplacements(replacements, place);
  if (!placed.done) {
    outcome.status = EditOutcome::Status::Failed;
    outcome.file = placed.failedName;
    outcome.reason = placed.reason;
    outcome.files = placed.files;
    return outcome;
  }
  for (std::size_t k = 0; k < replacements.size(); ++k) {
    if (replacements[k].isNew()) {
      outcome.created.push_back(replacements[k].name());
    } else {
      outcome.backups.emplace_back(replacements[k].name(), placed.files[k].backup);
    }
  }
  records_.clear();
  rows_.clear();
  ends_.clear();
  created_.clear();
  return outcome;
}

}  // namespace rb
