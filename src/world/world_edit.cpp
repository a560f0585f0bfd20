#include "world/world_edit.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "base/background_job.h"
#include "base/byte_hash.h"
#include "files/temporary_name.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/loose_record.h"
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

// The bytes of a file read in order through a block buffer, and written out
// to a replacement, with the ranges that steps replace taken out of it.
class Copier {
 public:
  Copier(int fd, ReplacementFile& out) : fd_(fd), out_(out), in_(kBlock) {}

  // Copies the bytes [pos, to) unchanged: a long stretch file to file
  // within the system, without passing through here.
  bool copyTo(long long to) {
    if (to - pos_ >= kSystemCopy) {
      char lastByte;
      if (!flush() || !out_.copyFrom(fd_, pos_, to - pos_)) return false;
      const ssize_t got = pread(fd_, &lastByte, 1, to - 1);
      if (got != 1) {
        if (got == 0) errno = EIO;
        return false;
      }
      last_ = lastByte;
      pos_ = to;
      return true;
    }
    while (pos_ < to) {
      const auto want = static_cast<std::size_t>(std::min<long long>(to - pos_, kBlock / 2));
      std::string_view piece;
      if (!get(want, piece) || !emit(piece)) return false;
    }
    return true;
  }
  // The `length` bytes at the current place, passed over; -1 takes one
  // line. The view holds until the next read. False (errno EIO) when the
  // file ends first.
  bool take(long long length, std::string_view& bytes) {
    if (length >= 0) return get(static_cast<std::size_t>(length), bytes);
    line_.clear();
    for (;;) {
      if (!holds(pos_) && !load(pos_)) return false;
      const std::string_view rest(in_.data() + (pos_ - start_),
                                  static_cast<std::size_t>(start_ + filled_ - pos_));
      if (rest.empty()) {
        errno = EIO;
        bytes = line_;
        return !line_.empty();
      }
      const std::size_t end = rest.find('\n');
      const std::size_t count = end == std::string_view::npos ? rest.size() : end + 1;
      pos_ += static_cast<long long>(count);
      if (end != std::string_view::npos && line_.empty()) {
        bytes = rest.substr(0, count);  // within the buffer: no copy
        return true;
      }
      line_.append(rest.substr(0, count));
      if (end != std::string_view::npos) {
        bytes = line_;
        return true;
      }
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
  // Appends what `make` writes into the text going out.
  template <class Make>
  bool emitMade(const Make& make) {
    return made(make, nullptr);
  }
  // As insert, with the text that `make` appends.
  template <class Make>
  bool insertMade(const Make& make, bool crLf) {
    return made(make, crLf ? "\r\n" : "\n");
  }
  bool flush() { return out_.writeTaking(pending_); }
  // Whether the file ends where it ended when read.
  bool atEnd() {
    char byte;
    return pread(fd_, &byte, 1, pos_) == 0;
  }

 private:
  // What `make` appends, after `lineBreak` when given and the text before
  // does not end a line.
  template <class Make>
  bool made(const Make& make, const char* lineBreak) {
    const std::size_t before = pending_.size();
    make(pending_);
    if (pending_.size() == before) return true;
    if (lineBreak && last_ != '\n' && last_ != '\0') pending_.insert(before, lineBreak);
    last_ = pending_.back();
    if (pending_.size() >= kBlock) return flush();
    return true;
  }
  bool holds(long long at) const { return at >= start_ && at < start_ + filled_; }
  // Fills the buffer from `at`; false (errno set) on an error of the read.
  bool load(long long at) {
    start_ = at;
    filled_ = 0;
    while (filled_ < static_cast<long long>(in_.size())) {
      const ssize_t n = pread(fd_, in_.data() + filled_,
                              in_.size() - static_cast<std::size_t>(filled_), start_ + filled_);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      filled_ += n;
    }
    return true;
  }
  // The `length` bytes at the current place, passed over.
  bool get(std::size_t length, std::string_view& piece) {
    if (length > in_.size()) {
      // Larger than the buffer (a record beyond any the writer writes).
      scratch_.resize(length);
      std::size_t got = 0;
      while (got < length) {
        const ssize_t n =
            pread(fd_, scratch_.data() + got, length - got, pos_ + static_cast<long long>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
          if (n == 0) errno = EIO;
          return false;
        }
        got += static_cast<std::size_t>(n);
      }
      piece = scratch_;
    } else {
      if (!(holds(pos_) && pos_ + static_cast<long long>(length) <= start_ + filled_) &&
          !load(pos_)) {
        return false;
      }
      if (pos_ + static_cast<long long>(length) > start_ + filled_) {
        errno = EIO;  // the file ends before
        return false;
      }
      piece = std::string_view(in_.data() + (pos_ - start_), length);
    }
    pos_ += static_cast<long long>(length);
    return true;
  }

  static constexpr long long kSystemCopy = 256 * 1024;

  int fd_;
  ReplacementFile& out_;
  std::vector<char> in_;
  long long start_ = 0, filled_ = 0;  // what the buffer holds: [start_, start_ + filled_)
  long long pos_ = 0;
  std::string pending_, scratch_, line_;
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
  change.step = ++step_;
}

void WorldEdit::replaceLinks(std::size_t record, const Exits& exits) {
  for (int slot = 1; slot <= kExitCount; ++slot)
    setExit(record, slot, exits[static_cast<std::size_t>(slot)]);
}

void WorldEdit::setExit(std::size_t record, int slot, int destination) {
  if (!exits_.empty() && exits_.back().record > record) exitsSorted_ = false;
  exits_.push_back(
      {static_cast<std::uint32_t>(record), ++step_, destination, static_cast<std::uint8_t>(slot)});
}

std::pair<const WorldEdit::ExitChange*, const WorldEdit::ExitChange*> WorldEdit::exitChangesOf(
    std::size_t record) const {
  if (!exitsSorted_) {
    std::stable_sort(exits_.begin(), exits_.end(),
                     [](const ExitChange& a, const ExitChange& b) { return a.record < b.record; });
    exitsSorted_ = true;
  }
  const auto [first, last] = std::equal_range(
      exits_.begin(), exits_.end(), ExitChange{static_cast<std::uint32_t>(record), 0, 0, 0},
      [](const ExitChange& a, const ExitChange& b) { return a.record < b.record; });
  return {exits_.data() + (first - exits_.begin()), exits_.data() + (last - exits_.begin())};
}

namespace {

// Where the links line of a record's text lies: [begin, end), or npos.
std::pair<std::size_t, std::size_t> linksLineOf(std::string_view text) {
  const std::size_t at = text.find("\n" + std::string(format::kLinksStart));
  if (at == std::string_view::npos) return {std::string_view::npos, std::string_view::npos};
  const std::size_t end = text.find('\n', at + 1);
  return {at + 1, end == std::string_view::npos ? text.size() : end + 1};
}

}  // namespace

bool WorldEdit::exitsChange(const ExitChange* first, const ExitChange* last, std::uint32_t after,
                            std::string_view text, std::string& out) {
  if (first == last || last[-1].step <= after) return false;
  const auto [begin, end] = linksLineOf(text);
  if (begin == std::string_view::npos) return false;  // no links line: nothing to change
  Exits exits;
  exits.fill(kNoExit);
  scanLinks(text.substr(begin, end - begin), exits);
  for (const ExitChange* change = first; change != last; ++change) {
    if (change->step > after) exits[change->slot] = change->destination;
  }
  out.assign(text.substr(0, begin));
  appendLinksLine(out, exits);
  if (end >= begin + 2 && text[end - 2] == '\r') out.insert(out.size() - 1, "\r");
  out.append(text.substr(end));
  return true;
}

void WorldEdit::changeExits(std::size_t record, std::uint32_t after, std::string& text) const {
  const auto [first, last] = exitChangesOf(record);
  std::string changed;
  if (exitsChange(first, last, after, text, changed)) text.swap(changed);
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
  change.step = ++step_;
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
  change.step = ++step_;
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
  change.step = ++step_;
}

void WorldEdit::createFile(const std::string& name, std::string text) {
  created_.emplace_back(name, std::move(text));
}

void WorldEdit::rewriteRecords(std::vector<bool> which, Rewrite rewrite) {
  recordRewrite_ = Rewrites{std::move(which), std::move(rewrite)};
}

void WorldEdit::rewriteRows(std::vector<bool> which, Rewrite rewrite) {
  rowRewrite_ = Rewrites{std::move(which), std::move(rewrite)};
}

void WorldEdit::generateAfterRecord(std::size_t record, Generator generate) {
  recordGenerators_[record].push_back(std::move(generate));
}

void WorldEdit::generateAfterRow(std::size_t row, Generator generate) {
  rowGenerators_[row].push_back(std::move(generate));
}

std::optional<std::string> WorldEdit::recordTextNow(std::size_t record) const {
  std::uint32_t after = 0;
  std::string text;
  const auto found = records_.find(record);
  if (found != records_.end() && found->second.deleted) return std::nullopt;
  if (found != records_.end() && found->second.text) {
    text = *found->second.text;
    after = found->second.step;
  } else {
    text = world_.recordText(record);
  }
  changeExits(record, after, text);
  return text;
}

std::vector<std::size_t> WorldEdit::changedFiles() const {
  std::vector<std::size_t> files;
  for (const auto& [record, change] : records_)
    files.push_back(world_.fileIndexOfRecord(record));
  for (std::size_t k = 0; k < exits_.size(); ++k) {
    if (k == 0 || exits_[k].record != exits_[k - 1].record)
      files.push_back(world_.fileIndexOfRecord(exits_[k].record));
  }
  for (const auto& [row, change] : rows_)
    files.push_back(world_.fileIndexOfRow(row));
  for (const auto& [file, texts] : ends_)
    files.push_back(file);
  for (const auto& [record, generators] : recordGenerators_)
    files.push_back(world_.fileIndexOfRecord(record));
  for (const auto& [row, generators] : rowGenerators_)
    files.push_back(world_.fileIndexOfRow(row));
  for (std::size_t k = 0; k < world_.files().size(); ++k) {
    const WorldFile& file = world_.files()[k];
    const bool marked =
        file.rooms
            ? std::any_of(
                  recordRewrite_.which.begin() +
                      static_cast<std::ptrdiff_t>(
                          std::min(file.firstRecord, recordRewrite_.which.size())),
                  recordRewrite_.which.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                     file.endRecord, recordRewrite_.which.size())),
                  [](bool b) { return b; })
            : std::any_of(rowRewrite_.which.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                          file.firstRow, rowRewrite_.which.size())),
                          rowRewrite_.which.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                          file.endRow, rowRewrite_.which.size())),
                          [](bool b) { return b; });
    if (marked) files.push_back(k);
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

bool WorldEdit::recordAsRead(std::size_t record, std::string_view old) const {
  if (world_.keepsHashes()) return shortHash(old) == world_.recordHash(record);
  const auto name = headerFunctionName(old.substr(0, old.find('\n') + 1));
  if (!name || headerRoomNumber(*name) != world_.graph().number(record)) return false;
  if (world_.keepsNames() && *name != world_.recordName(record)) return false;
  if (!world_.keepsExits()) return true;
  static const std::string kLinksLine = "\n" + std::string(format::kLinksStart);
  const std::size_t links = old.find(kLinksLine);
  if (links == std::string_view::npos) {
    for (int slot = 1; slot <= kExitCount; ++slot) {
      if (world_.graph().exit(record, slot) != kNoExit) return false;
    }
    return true;
  }
  Exits exits;
  exits.fill(kNoExit);
  scanLinks(old.substr(links + 1, old.find('\n', links + 1) - links), exits);
  for (int slot = 1; slot <= kExitCount; ++slot) {
    if (world_.graph().exit(record, slot) != exits[static_cast<std::size_t>(slot)]) return false;
  }
  return true;
}

bool WorldEdit::rowAsRead(std::size_t row, std::string_view old) const {
  if (world_.keepsHashes()) return shortHash(old) == world_.rowHash(row);
  return !world_.keepsNames() ||
         rowFunctionName(old) == world_.names().name(world_.matching().rowName(row));
}

bool WorldEdit::writeFile(std::size_t index, const InputFile& in, ReplacementFile& out,
                          EditOutcome& outcome) const {
  const WorldFile& file = world_.files()[index];
  Copier copy(in.fd(), out);
  const bool crLf = file.lineEnds == LineEnds::CrLf;
  std::string_view old;
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
  // those read, then its new text (with the exit changes made after it,
  // and rewritten when marked) and what follows it.
  std::string text;
  const auto step = [&](const Change* change, std::size_t record, std::size_t row, long long offset,
                        long long length, const ExitChange* first, const ExitChange* last,
                        const Rewrites& rewrites, const std::vector<Generator>* generators) {
    if (!copy.copyTo(offset)) return errno == EIO ? changed() : failed(errno);
    if (!copy.take(length, old)) return errno == EIO ? changed() : failed(errno);
    if (record != World::kNone ? !recordAsRead(record, old) : !rowAsRead(row, old)) {
      return changed();
    }
    if (!change || !change->deleted) {
      const bool ownText = change && change->text;
      std::string_view base = ownText ? std::string_view(*change->text) : old;
      if (exitsChange(first, last, ownText ? change->step : 0, base, text)) base = text;
      const std::size_t item = record != World::kNone ? record : row;
      if (rewrites.marks(item)) {
        if (!copy.emitMade([&](std::string& made) { rewrites.rewrite(item, base, made); })) {
          return failed(errno);
        }
      } else if (!copy.emit(base)) {
        return failed(errno);
      }
    }
    if (change) {
      for (const std::string& after : change->after) {
        if (!copy.insert(after, crLf)) return failed(errno);
      }
    }
    if (generators) {
      for (const Generator& generate : *generators) {
        for (bool more = true; more;) {
          if (!copy.insertMade([&](std::string& made) { more = generate(made); }, crLf)) {
            return failed(errno);
          }
        }
      }
    }
    return true;
  };
  const auto generatorsOf = [](const std::map<std::size_t, std::vector<Generator>>& all,
                               std::size_t item) -> const std::vector<Generator>* {
    const auto found = all.find(item);
    return found == all.end() ? nullptr : &found->second;
  };
  if (file.rooms) {
    // The records with a change of any kind, in order.
    auto next = records_.lower_bound(file.firstRecord);
    exitChangesOf(0);  // sorts them
    const ExitChange* exit =
        std::lower_bound(exits_.data(), exits_.data() + exits_.size(), file.firstRecord,
                         [](const ExitChange& a, std::size_t record) { return a.record < record; });
    const ExitChange* const exitsEnd = exits_.data() + exits_.size();
    auto generated = recordGenerators_.lower_bound(file.firstRecord);
    for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
      const bool own = next != records_.end() && next->first == record;
      const ExitChange* first = exit;
      while (exit != exitsEnd && exit->record == record)
        ++exit;
      const bool generates = generated != recordGenerators_.end() && generated->first == record;
      if (!own && first == exit && !generates && !recordRewrite_.marks(record)) continue;
      if (!step(own ? &next->second : nullptr, record, World::kNone, world_.recordOffset(record),
                world_.recordLength(record), first, exit, recordRewrite_,
                generates ? &generated->second : nullptr)) {
        return false;
      }
      if (own) ++next;
      if (generates) ++generated;
    }
  } else {
    auto next = rows_.lower_bound(file.firstRow);
    for (std::size_t row = file.firstRow; row < file.endRow; ++row) {
      const bool own = next != rows_.end() && next->first == row;
      const std::vector<Generator>* generators = generatorsOf(rowGenerators_, row);
      if (!own && !generators && !rowRewrite_.marks(row)) continue;
      if (!step(own ? &next->second : nullptr, World::kNone, row, world_.rowOffset(row), -1,
                nullptr, nullptr, rowRewrite_, generators)) {
        return false;
      }
      if (own) ++next;
    }
  }
  if (!copy.copyTo(file.state.size) || !out.copiesDone()) {
    return errno == EIO ? changed() : failed(errno);
  }
  if (!copy.atEnd()) return changed();
  if (const auto end = ends_.find(index); end != ends_.end()) {
    for (const std::string& added : end->second) {
      if (!copy.insert(added, crLf)) return failed(errno);
    }
  }
  if (!copy.flush() || !out.finishWriting()) return failed(errno);
  return true;
}

EditOutcome WorldEdit::apply(const PlaceFile& place, const BeforePlacing& before) {
  EditOutcome outcome;
  const std::vector<std::size_t> changed = changedFiles();
  // Every file locked and looked at before anything is written: the world
  // holds it, or it is locked here until the edit is done. Past what the
  // descriptors allow, a file is looked at now and opened again, unlocked,
  // to be copied: its state and the bytes checked as they are copied are
  // then the guard.
  std::vector<InputFile> locks(changed.size());
  const auto look = [&](std::size_t k, InputFile::Lock lock,
                        EditOutcome& told) -> const InputFile* {
    const WorldFile& file = world_.files()[changed[k]];
    const InputFile* held = world_.heldFile(changed[k]);
    if ((!held || !held->isOpen()) && locks[k].isOpen()) held = &locks[k];
    if (!held || !held->isOpen()) {
      if (locks[k].open(file.name, lock) != InputFile::Status::Open) {
        told.status = EditOutcome::Status::Refused;
        told.file = file.name;
        told.reason = locks[k].reason();
        return nullptr;
      }
      held = &locks[k];
    }
    const auto now = held->stateNow();
    if (!now || !now->sameAs(file.state) || !(fileIdOf(file.name) == file.state.id)) {
      told.status = EditOutcome::Status::Changed;
      told.file = file.name;
      return nullptr;
    }
    return held;
  };
  std::vector<bool> locked(changed.size(), false);
  for (std::size_t k = 0; k < changed.size(); ++k) {
    locked[k] = InputFile::mayHoldAnother();
    if (!look(k, locked[k] ? InputFile::Lock::Exclusive : InputFile::Lock::None, outcome)) {
      return outcome;
    }
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
  // Each file looked at again and written to its replacement, two at a
  // time (a world's room file and data file side by side, on both cores),
  // taken in order; after a failure no other is begun, and the first
  // failure in file order is told.
  std::vector<ReplacementFile> replacements(changed.size());
  std::vector<EditOutcome> told(changed.size());
  const auto writeOne = [&](std::size_t k) {
    const InputFile* source = look(k, InputFile::Lock::None, told[k]);
    if (!source) return false;
    if (!replacements[k].start(world_.files()[changed[k]].name)) {
      told[k].status = EditOutcome::Status::Refused;
      told[k].file = world_.files()[changed[k]].name;
      told[k].reason = replacements[k].reason();
      return false;
    }
    if (!writeFile(changed[k], *source, replacements[k], told[k])) return false;
    if (!locked[k]) locks[k].close();
    return true;
  };
  // What is made when first asked for is made now: the writers share it.
  exitChangesOf(0);
  world_.findNumber(0);
  std::atomic<std::size_t> next = 0;
  std::atomic<bool> stop = false;
  const auto writeInTurn = [&] {
    for (std::size_t k; !stop && (k = next++) < changed.size();) {
      if (!writeOne(k)) stop = true;
    }
  };
  if (changed.size() > 1) {
    BackgroundJob beside;
    beside.start(writeInTurn);
    writeInTurn();
    beside.wait();
  } else {
    writeInTurn();
  }
  for (EditOutcome& one : told) {
    if (one.status != EditOutcome::Status::Done) return std::move(one);
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
  const ReplacementOutcome placed = commitReplacements(replacements, place, before);
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
  exits_.clear();
  rows_.clear();
  recordRewrite_ = {};
  rowRewrite_ = {};
  recordGenerators_.clear();
  rowGenerators_.clear();
  ends_.clear();
  created_.clear();
  return outcome;
}

}  // namespace rb
