// WorldEdit: the one way to change a world's files. An edit is a list of
// steps on the records and rows of a World (replace, replace only the links
// line, insert after, insert at a file's end, delete) and new files; apply()
// writes them all or none:
//
// - Every byte no step touches stays as it is.
// - Each changed file is written anew beside the old one and synced; only
//   when every one is whole are the old contents kept in numbered backups
//   (NAME.~N~) and the new files put in place (files/replacement_file.h);
//   a failure before that leaves every file as it was and no temporary file
//   behind.
// - A file changed by another program since the world was read (its
//   identity, size or modification time, or the bytes of any record or row
//   a step replaces) is refused, and nothing is written.
// - The files are locked while they are written; those the world holds
//   stay locked by it.
//
// Steps on one record compose: replacing its links line after replacing the
// record changes the new record's links line. Texts given as rooms are
// written as the room writer writes them, with the line ends of the file
// they go into (CR LF in a file whose every line ends so).
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/replacement_file.h"
#include "format/room_model.h"
#include "world/world.h"

namespace rb {

struct EditOutcome {
  enum class Status { Done, Changed, Refused, Failed };
  Status status = Status::Done;
  std::string file;    // the file a failure is about, as named
  std::string reason;  // why (Refused, Failed)
  // Each file replaced, with the backup of its old contents (Done); each
  // file created.
  std::vector<std::pair<std::string, std::string>> backups;
  std::vector<std::string> created;
  // What became of each file when putting them in place failed part way.
  std::vector<ReplacedFile> files;
};

class WorldEdit {
 public:
  explicit WorldEdit(World& world) : world_(world) {}

  // Records.
  void replaceRecord(std::size_t record, const WorkingRoom& room);
  void replaceRecordText(std::size_t record, std::string text);
  // Only the links line: all of it, or one exit. An exit change is a few
  // bytes, whatever the record's size, so that an edit of every room of a
  // large world (link) stays small.
  void replaceLinks(std::size_t record, const Exits& exits);
  void setExit(std::size_t record, int slot, int destination);
  void insertRecordAfter(std::size_t record, const WorkingRoom& room);
  void insertRecordTextAfter(std::size_t record, std::string text);
  void insertRecordAtEnd(std::size_t file, const WorkingRoom& room);
  void insertRecordTextAtEnd(std::size_t file, std::string text);
  void deleteRecord(std::size_t record);
  // Rows. A row given as a room is the writer's row for it and `region`.
  void replaceRow(std::size_t row, const WorkingRoom& room, int region);
  void replaceRowText(std::size_t row, std::string text);
  void insertRowAfter(std::size_t row, const WorkingRoom& room, int region);
  void insertRowTextAfter(std::size_t row, std::string text);
  void insertRowAtEnd(std::size_t file, const WorkingRoom& room, int region);
  void insertRowTextAtEnd(std::size_t file, std::string text);
  void deleteRow(std::size_t row);
  // A new file, which must not exist when the edit is applied.
  void createFile(const std::string& name, std::string text);

  // Many records or rows at once, as the changes of a whole world need,
  // in little memory however many they are: each one that `which` marks is
  // written by `rewrite` from its text (its bytes as read, or as the steps
  // above left it) as the file is written: `rewrite` appends the new text
  // to `out` (which holds what goes before it), nothing removes it. And
  // texts made as they are written, after a record or a row: `generate`
  // appends the next piece to `out` each time it is called, and returns
  // false with the last.
  using Rewrite = std::function<void(std::size_t item, std::string_view text, std::string& out)>;
  using Generator = std::function<bool(std::string& out)>;
  void rewriteRecords(std::vector<bool> which, Rewrite rewrite);
  void rewriteRows(std::vector<bool> which, Rewrite rewrite);
  void generateAfterRecord(std::size_t record, Generator generate);
  void generateAfterRow(std::size_t row, Generator generate);

  bool empty() const {
    return records_.empty() && exits_.empty() && rows_.empty() && ends_.empty() &&
           created_.empty() && recordRewrite_.which.empty() && rowRewrite_.which.empty() &&
           recordGenerators_.empty() && rowGenerators_.empty();
  }
  // The record's text as the edit leaves it (its bytes when no step touches
  // it), or nothing when the edit deletes it.
  std::optional<std::string> recordTextNow(std::size_t record) const;
  // The files that the edit changes, by index in the world, in order.
  std::vector<std::size_t> changedFiles() const;

  // Writes every change; see the top of this file.
  // `before` is told what is about to be put in place (see
  // commitReplacements).
  EditOutcome apply(const PlaceFile& place = {}, const BeforePlacing& before = {});

 private:
  // What the edit does at one record or row: its new text (or its removal)
  // and what comes right after it. Steps are numbered in the order made, so
  // that an exit changed after a record was replaced changes the new text,
  // and a record replaced after an exit changed has its own links line.
  struct Change {
    std::optional<std::string> text;
    bool deleted = false;
    std::uint32_t step = 0;  // of the text or the removal
    std::vector<std::string> after;
  };
  struct ExitChange {
    std::uint32_t record;
    std::uint32_t step;
    int destination;
    std::uint8_t slot;
  };

  // A text for file `file` from the writer's LF text.
  std::string forFile(std::size_t file, std::string text) const;
  // `text` with the exit changes of `record` made after step `after`.
  void changeExits(std::size_t record, std::uint32_t after, std::string& text) const;
  // `text` with the changes [first, last) made after step `after` into
  // `out`; false when they change nothing.
  static bool exitsChange(const ExitChange* first, const ExitChange* last, std::uint32_t after,
                          std::string_view text, std::string& out);
  // Whether `old`, read where record `record` (or row `row`) was, is what
  // was read there: by the hash of its bytes when the world kept them,
  // otherwise by what the world knows of it (its name, number and exits).
  bool recordAsRead(std::size_t record, std::string_view old) const;
  bool rowAsRead(std::size_t row, std::string_view old) const;
  // The exit changes of `record`, once sorted.
  std::pair<const ExitChange*, const ExitChange*> exitChangesOf(std::size_t record) const;
  bool writeFile(std::size_t file, const InputFile& in, ReplacementFile& out,
                 EditOutcome& outcome) const;

  struct Rewrites {
    std::vector<bool> which;
    Rewrite rewrite;
    bool marks(std::size_t item) const { return item < which.size() && which[item]; }
  };

  World& world_;
  std::uint32_t step_ = 0;
  Rewrites recordRewrite_, rowRewrite_;
  std::map<std::size_t, std::vector<Generator>> recordGenerators_, rowGenerators_;
  std::map<std::size_t, Change> records_, rows_;
  mutable std::vector<ExitChange> exits_;
  mutable bool exitsSorted_ = true;
  std::map<std::size_t, std::vector<std::string>> ends_;  // by file
  std::vector<std::pair<std::string, std::string>> created_;
};

}  // namespace rb
