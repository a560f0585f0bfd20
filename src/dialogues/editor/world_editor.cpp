#include "dialogues/editor/world_editor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/number_text.h"
#include "base/text_append.h"
#include "dialogues/builder/room_menu.h"
#include "dialogues/explorer/explorer_walk.h"
#include "dialogues/explorer/statistics.h"
#include "files/numbered_backup.h"
#include "format/exit_slot.h"
#include "terminal/keys.h"
#include "terminal/line_sizes.h"
#include "world/dig_grid.h"
#include "world/edit_journal.h"
#include "world/staged_world.h"
#include "world/world_edit.h"

namespace rb {

namespace {

constexpr std::size_t kNone = StagedWorld::kNone;

const char* const kKeys =
    "8 2 6 4 9 3 1 7 u d i o: move that way; where there is no exit, dig a new room\n"
    "e: edit this room    c: copy it    X: delete it    l: link its exits back\n"
    "z: undo    r: redo    w: write the changes    s: statistics\n"
    "q or 5: leave\n";

class Editor {
 public:
  Editor(Console& con, World& world, const EditorSetup& setup)
      : con_(con), world_(world), setup_(setup) {
    staged_ = std::make_unique<StagedWorld>(world_);
    journal_.begin(setup_.journal, world_);
  }

  int run() {
    recover();
    std::size_t room = kNone;
    if (setup_.startRoom) {
      room = staged_->find(*setup_.startRoom);
      if (room == kNone) con_.print("No such room.\n");
    }
    for (;;) {
      if (room == kNone || !staged_->exists(room)) {
        room = chooseStart();
        if (room == kNone) {
          if (leave()) return 0;
          continue;
        }
      }
      show(room);
      const int key = keypadDigit(con_.getch());
      if (key == 'q' || key == kEndKey) {
        if (leave()) return 0;
        continue;
      }
      if (const int slot = exitSlotForKey(key); slot != 0) {
        move(room, slot);
        continue;
      }
      switch (key) {
        case 'e':
          edit(room);
          break;
        case 'c':
          copy(room);
          break;
        case 'X':
          remove(room);
          break;
        case 'l':
          link(room);
          break;
        case 'z':
          undo(room);
          break;
        case 'r':
          redo(room);
          break;
        case 'w':
          write();
          break;
        case 's':
          con_.print(statistics(room));
          break;
        case '?':
          con_.print(kKeys);
          break;
        default:
          break;
      }
    }
  }

 private:
  // The journal of an earlier edit cut off: its changes offered again when
  // the files are as they were then, kept aside when not.
  void recover() {
    const auto read = EditJournal::read(setup_.journal);
    if (!read) return;
    bool same = read->files.size() == world_.files().size();
    for (std::size_t k = 0; same && k < read->files.size(); ++k)
      same = read->files[k].sameAs(world_.files()[k].state);
    if (!same) {
      const BackupOutcome kept = keepAsNumberedBackup(setup_.journal);
      if (kept.kept) unlink(setup_.journal.c_str());
      con_.print("The journal of an earlier edit of these files is kept as ",
                 kept.kept ? kept.name : setup_.journal,
                 ": the files have changed since it was made.\n");
      return;
    }
    // Replayed on a copy first, to count what it holds.
    std::size_t count = 0;
    {
      StagedWorld trial(world_);
      if (!replay(trial, *read)) {
        con_.print("The journal ", setup_.journal, " cannot be read; it is left as it is.\n");
        return;
      }
      count = trial.pending();
    }
    con_.print("An earlier edit of these files was cut off with ",
               counted(static_cast<long long>(count), "change"),
               " not written. Recover them? (y/n)\n");
    if (con_.getch() != 'y') {
      journal_.remove();
      return;
    }
    replay(*staged_, *read);
    // The journal goes on from here, holding what it held.
    journal_.remove();
    journal_.begin(setup_.journal, world_);
    replayInto(*read);
  }

  static bool replay(StagedWorld& staged, const JournalRead& read) {
    for (const JournalEntry& entry : read.entries) {
      std::size_t shown = 0;
      switch (entry.kind) {
        case JournalEntry::Kind::Undo:
          staged.undo(shown);
          break;
        case JournalEntry::Kind::Redo:
          staged.redo(shown);
          break;
        case JournalEntry::Kind::Change: {
          staged.begin(entry.change.shownBefore);
          for (std::size_t k = 0; k < entry.change.rooms.size(); ++k) {
            const std::size_t id = entry.change.rooms[k];
            if (id > staged.size()) return false;
            if (id == staged.size()) {
              staged.add(entry.change.after[k]);
            } else {
              staged.put(id, entry.change.after[k]);
            }
          }
          staged.end(entry.change.shownAfter);
          break;
        }
      }
    }
    return true;
  }

  // The entries replayed, written to the new journal.
  void replayInto(const JournalRead& read) {
    for (const JournalEntry& entry : read.entries) {
      switch (entry.kind) {
        case JournalEntry::Kind::Undo:
          noted(journal_.undo());
          break;
        case JournalEntry::Kind::Redo:
          noted(journal_.redo());
          break;
        case JournalEntry::Kind::Change:
          noted(journal_.change(entry.change));
          break;
      }
    }
  }

  void noted(bool written) {
    if (written || journalFailed_) return;
    journalFailed_ = true;
    con_.print("The journal ", setup_.journal, " cannot be written (", std::strerror(errno),
               "); changes not written are lost if the program is cut off.\n");
  }

  std::size_t chooseStart() {
    for (;;) {
      con_.print("Which room do you wish to start in? (q to quit)\n");
      const std::string answer = con_.readLine(kExplorerLineSize, LineKind::Number);
      if (answer == "q") return kNone;
      const std::size_t room = staged_->find(textToInt(answer));
      if (room != kNone) return room;
      con_.print("No such room.\n");
    }
  }

  void show(std::size_t room) {
    const StagedRoom state = staged_->room(room);
    con_.print("Room ", state.room.room, " in ", world_.files()[state.file].name);
    if (const std::size_t pending = staged_->pending(); pending > 0) {
      con_.print(", ", counted(static_cast<long long>(pending), "change"), " not written");
    }
    con_.print("\n");
    showRoom(con_, state.room);
  }

  bool refusedAsNotWriters(std::size_t room) {
    if (staged_->isWriters(room)) return false;
    con_.print("Room ", staged_->number(room),
               " is not as the room writer writes it; change it by hand.\n");
    return true;
  }

  // Ends a change: kept, and journalled, when it changed anything.
  void endChange(std::size_t shown) {
    if (staged_->end(shown)) noted(journal_.change(staged_->lastChange()));
  }

  // A room number read at a prompt: Enter takes `next`; a taken or negative
  // number, or none, is said and asked again.
  int readNewNumber(const char* prompt, int next) {
    for (;;) {
      con_.print(prompt, next, "):\n");
      const std::string answer = con_.readLine(kExplorerLineSize, LineKind::Number);
      if (answer.empty()) return next;
      int number = 0;
      if (!wholeIntInRange(answer, number)) {
        con_.print("That is not a room number.\n");
      } else if (number < 0) {
        con_.print("Room numbers are not negative.\n");
      } else if (staged_->find(number) != kNone) {
        con_.print("Room ", number, " already exists.\n");
      } else {
        return number;
      }
    }
  }

  // The room menu on `state`; true when it was saved (key 0).
  bool roomMenuOn(std::size_t id, StagedRoom& state) {
    AreaDefaults area;
    area.region = state.region;
    area.regionname = state.room.tempregionname;
    const auto taken = [this, id](std::string_view region, int number) {
      const std::size_t other = staged_->find(number);
      return other != kNone && other != id && staged_->room(other).room.tempregionname == region;
    };
    return roomMenu(con_, settings_, state.room, area, taken) == RoomMenuEnd::Save;
  }

  void move(std::size_t& room, int slot) {
    const int destination = staged_->exit(room, slot);
    if (destination == kNoExit) {
      dig(room, slot);
      return;
    }
    const std::size_t next = staged_->find(destination);
    if (next == kNone) {
      con_.print("Invalid exit/room not present in room file.\n");
      return;
    }
    previous_ = room;
    room = next;
  }

  void dig(std::size_t& room, int slot) {
    if (refusedAsNotWriters(room)) return;
    const ExitSlot& way = exitSlot(slot);
    const int back = way.opposite;
    con_.print("There is no exit ", way.word, ". Dig a new room there? (y/n)\n");
    if (con_.getch() != 'y') return;
    const StagedRoom here = staged_->room(room);
    if (way.onGrid()) {
      const std::size_t beside = roomBeside(*staged_, room, slot);
      if (beside != kNone && staged_->exit(beside, back) == kNoExit) {
        con_.print("Room ", staged_->number(beside), " lies ", way.word,
                   ". Link to it instead? (y/n)\n");
        if (con_.getch() == 'y') {
          if (refusedAsNotWriters(beside)) return;
          staged_->begin(room);
          StagedRoom from = here;
          from.room.exitd[static_cast<std::size_t>(slot)] = staged_->number(beside);
          staged_->put(room, from);
          StagedRoom to = staged_->room(beside);
          to.room.exitd[static_cast<std::size_t>(back)] = here.room.room;
          staged_->put(beside, to);
          endChange(beside);
          previous_ = room;
          room = beside;
          return;
        }
      }
    }
    const int number =
        readNewNumber("New room number (next free: ", staged_->nextFreeNumber(here.room.room));
    StagedRoom dug;
    clearForReading(dug.room);
    dug.room.room = number;
    dug.room.tempregionname = here.room.tempregionname;
    dug.room.roomdark = here.room.roomdark;
    dug.room.roomterrain = here.room.roomterrain;
    dug.room.exitd[static_cast<std::size_t>(back)] = here.room.room;
    dug.region = here.region;
    dug.file = here.file;
    dug.rowFile = rowFileFor(room);
    dug.hasRow = dug.rowFile != World::kNone;
    staged_->begin(room);
    StagedRoom from = here;
    from.room.exitd[static_cast<std::size_t>(slot)] = number;
    staged_->put(room, from);
    const std::size_t id = staged_->add(dug);
    if (roomMenuOn(id, dug)) staged_->put(id, dug);
    endChange(id);
    previous_ = room;
    room = id;
  }

  // The data file a new room's row goes into: the one that holds the row
  // of `room`, else the world's first, else none.
  std::size_t rowFileFor(std::size_t room) const {
    if (room < world_.records()) {
      if (const std::size_t row = world_.rowOf(room); row != World::kNone) {
        return world_.fileIndexOfRow(row);
      }
    } else if (const StagedRoom state = staged_->room(room); state.rowFile != World::kNone) {
      return state.rowFile;
    }
    for (std::size_t file = 0; file < world_.files().size(); ++file) {
      if (!world_.files()[file].rooms) return file;
    }
    return World::kNone;
  }

  void edit(std::size_t room) {
    if (refusedAsNotWriters(room)) return;
    StagedRoom state = staged_->room(room);
    if (!roomMenuOn(room, state)) return;
    staged_->begin(room);
    staged_->put(room, state);
    endChange(room);
  }

  void copy(std::size_t room) {
    if (refusedAsNotWriters(room)) return;
    const StagedRoom original = staged_->room(room);
    const int number = readNewNumber("Copy to room number (next free: ",
                                     staged_->nextFreeNumber(original.room.room));
    StagedRoom copy = original;
    copy.room.room = number;
    copy.room.exitd.fill(kNoExit);
    copy.follows = room;
    copy.rowFile = original.hasRow ? rowFileFor(room) : World::kNone;
    copy.hasRow = copy.rowFile != World::kNone;
    staged_->begin(room);
    staged_->add(copy);
    endChange(room);
  }

  void remove(std::size_t& room) {
    if (refusedAsNotWriters(room)) return;
    const int number = staged_->number(room);
    std::vector<std::pair<std::size_t, int>> leading = staged_->exitsTo(number);
    // The room's own exits to itself go with it.
    leading.erase(std::remove_if(leading.begin(), leading.end(),
                                 [room](const auto& exit) { return exit.first == room; }),
                  leading.end());
    con_.print("Delete room ", number, "? ", leading.size(),
               leading.size() == 1 ? " exit leads to it. (y/n)\n" : " exits lead to it. (y/n)\n");
    if (con_.getch() != 'y') return;
    for (const auto& [other, slot] : leading) {
      if (refusedAsNotWriters(other)) return;
    }
    const std::size_t back =
        previous_ != room && previous_ != kNone && staged_->exists(previous_) ? previous_ : kNone;
    staged_->begin(room);
    for (const auto& [other, slot] : leading) {
      StagedRoom state = staged_->room(other);
      state.room.exitd[static_cast<std::size_t>(slot)] = kNoExit;
      staged_->put(other, state);
    }
    StagedRoom gone = staged_->room(room);
    gone.exists = false;
    staged_->put(room, gone);
    endChange(back == kNone ? room : back);
    room = back;
    previous_ = kNone;
  }

  // The way back of each exit of the room, where the other room has none.
  void link(std::size_t room) {
    if (refusedAsNotWriters(room)) return;
    const StagedRoom here = staged_->room(room);
    const int number = here.room.room;
    bool said = false;
    staged_->begin(room);
    for (const int slot : kShownOrder) {
      const int destination = here.room.exitd[static_cast<std::size_t>(slot)];
      if (destination == kNoExit || destination == number) continue;
      const int back = exitSlot(slot).opposite;
      const std::size_t other = staged_->find(destination);
      std::string why;
      if (number == kNoExit) {
        why = "no exit can lead back to room -1";
      } else if (other == kNone) {
        appendText(why, "no file has room ", destination);
      } else if (const int there = staged_->exit(other, back); there == number) {
        continue;
      } else if (there != kNoExit) {
        appendText(why, "room ", destination, "'s ", exitSlot(back).word, " exit leads to room ",
                   there);
      } else if (!staged_->isWriters(other)) {
        appendText(why, "room ", destination, " is not as the room writer writes it");
      } else {
        StagedRoom state = staged_->room(other);
        state.room.exitd[static_cast<std::size_t>(back)] = number;
        staged_->put(other, state);
        con_.print("Room ", destination, ": its ", exitSlot(back).word,
                   " exit now leads back to room ", number, ".\n");
        said = true;
        continue;
      }
      con_.print("Room ", number, ": the ", exitSlot(slot).word, " exit to room ", destination,
                 " stays one-way (", why, ").\n");
      said = true;
    }
    endChange(room);
    if (!said) con_.print("Every exit of this room leads back already.\n");
  }

  void undo(std::size_t& room) {
    std::size_t shown = room;
    if (!staged_->undo(shown)) {
      con_.print("Nothing to undo.\n");
      return;
    }
    noted(journal_.undo());
    room = shown;
  }

  void redo(std::size_t& room) {
    std::size_t shown = room;
    if (!staged_->redo(shown)) {
      con_.print("Nothing to redo.\n");
      return;
    }
    noted(journal_.redo());
    room = shown;
  }

  // Writes every change; false when nothing could be written.
  bool write() {
    // Every file of the world as it was read: the rooms written refer to
    // rooms of the others.
    for (const WorldFile& file : world_.files()) {
      struct stat info {};
      if (stat(file.name.c_str(), &info) != 0 || !FileState::of(info).sameAs(file.state)) {
        con_.print(file.name, " was changed by another program; nothing was written.\n");
        return false;
      }
    }
    WorldEdit edit(world_);
    staged_->stage(edit);
    if (edit.empty()) {
      con_.print("There are no changes to write.\n");
      finishWrite();
      return true;
    }
    const EditOutcome outcome = edit.apply({}, [this](const std::vector<Placement>& placements) {
      return journal_.write(placements);
    });
    switch (outcome.status) {
      case EditOutcome::Status::Done:
        break;
      case EditOutcome::Status::Changed:
        con_.print(outcome.file, " was changed by another program; nothing was written.\n");
        return false;
      case EditOutcome::Status::Refused:
      case EditOutcome::Status::Failed:
        con_.print("Nothing was written: ", outcome.file, ": ", outcome.reason, ".\n");
        for (const ReplacedFile& file : outcome.files) {
          if (file.state == ReplacedFile::State::NotPutBack) {
            con_.print(file.name, " has the new contents; the old ones are kept in ", file.backup,
                       ".\n");
          }
        }
        return false;
    }
    for (const auto& [file, backup] : outcome.backups)
      con_.print(backupNotice(file, backup));
    finishWrite();
    return true;
  }

  // After a write: the world as the files now hold it, nothing staged.
  void finishWrite() {
    journal_.remove();
    staged_.reset();
    if (const std::string failure = setup_.readWorld(world_); !failure.empty()) {
      con_.print(failure);
      throw EndOfInput{};
    }
    staged_ = std::make_unique<StagedWorld>(world_);
    journal_.begin(setup_.journal, world_);
    previous_ = kNone;
  }

  // Leaving: true when the editor ends.
  bool leave() {
    if (staged_->pending() == 0) {
      journal_.remove();
      return true;
    }
    con_.print("Write the changes to the files? (y/n)\n");
    const int answer = con_.getch();
    if (answer == 'y') return write();
    if (answer == 'n') {
      journal_.remove();
      con_.print("The changes are dropped.\n");
      return true;
    }
    return false;
  }

  std::string statistics(std::size_t room) const {
    std::vector<std::pair<int, std::size_t>> rooms;
    for (std::size_t id = 0; id < staged_->size(); ++id) {
      if (staged_->exists(id)) rooms.emplace_back(staged_->number(id), id);
    }
    std::stable_sort(rooms.begin(), rooms.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    AreaGraph graph;
    std::vector<bool> named;
    std::size_t start = 0;
    for (const auto& [number, id] : rooms) {
      if (id == room) start = graph.size();
      Exits exits;
      for (int slot = 1; slot <= kExitCount; ++slot)
        exits[static_cast<std::size_t>(slot)] = staged_->exit(id, slot);
      graph.add(number, exits);
      named.push_back(staged_->hasShortName(id));
    }
    graph.finish();
    return statisticsReport(graph, named, start);
  }

  Console& con_;
  World& world_;
  const EditorSetup& setup_;
  std::unique_ptr<StagedWorld> staged_;
  EditJournal journal_;
  Settings settings_;
  std::size_t previous_ = kNone;
  bool journalFailed_ = false;
};

}  // namespace

int editWorld(Console& con, World& world, const EditorSetup& setup) {
  Editor editor(con, world, setup);
  return editor.run();
}

void finishCutOffWrite(Console& con, const std::string& journal) {
  const auto read = EditJournal::read(journal);
  if (!read || !read->write) return;
  if (!finishPlacements(*read->write)) {
    con.print("An earlier write of these files was cut off and cannot be finished: ",
              std::strerror(errno), ".\n");
    return;
  }
  unlink(journal.c_str());
  con.print("An earlier write of these files was cut off; it is finished now.\n");
}

}  // namespace rb
