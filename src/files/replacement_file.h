// Files written anew beside the ones they replace, and put in their places
// together, only when every one is whole.
//
// - Each new file is first a temporary file in the same folder, named
//   `.NAME.rb-XXXXXX` (temporary_name.h), so that it is never taken for an
//   area.
// - Only regular files are replaced, and only files the user may write.
//   A symbolic link is followed: the file it names is replaced and its
//   backup lies beside it; the link stays a link.
// - When all are written and synced, the old contents of each are kept in
//   a numbered backup (numbered_backup.h), then each new file is renamed
//   into place. A file with more than one name (hard links) is instead
//   rewritten in place, so that every name sees the new contents, and its
//   backup is a copy, from which a failed write puts the old contents back.
// - Should putting one in place fail, those already put in place are put
//   back from their backups and those backups removed; the outcome says
//   of each file what state it is in. A failure before that leaves every
//   file as it was and no temporary file behind.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/background_writer.h"

namespace rb {

// The file a name leads to through any symbolic links, named relative to
// where the name is when the links are relative (a.c -> ../real/a.c gives
// ../real/a.c); false (errno set) when a link cannot be followed.
bool followLinks(const std::string& name, std::string& target);

class ReplacementFile {
 public:
  ReplacementFile();
  ~ReplacementFile();  // gives up what is not committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ReplacementFile(ReplacementFile&& other) noexcept;
  ReplacementFile& operator=(ReplacementFile&& other) noexcept;

  // Starts replacing the file `name` leads to. False when it cannot be:
  // reason() says why ("not a regular file", or strerror's text).
  bool start(const std::string& name);
  // Starts writing a file that does not exist yet; it is refused at commit
  // time if by then it does.
  bool startNew(const std::string& name, mode_t mode = 0666);

  // False (reason set) when not all of `text` could be written (a large
  // text, written in the background: not all of an earlier one).
  bool write(std::string_view text);
  // As write, but a large text's bytes are taken, not copied: `text` is
  // left empty (to be filled again).
  bool writeTaking(std::string& text);
  // Copies the `length` bytes of the file `from` at `offset` after what is
  // written, file to file within the system where it can. False with errno
  // EIO (reason not set) when `from` ends first, or with errno set when a
  // read of `from` fails; false (reason set) when the write fails. A long
  // stretch is copied on a thread of its own while what follows it is
  // written after it: how that copy went is told by the next copyFrom, by
  // copiesDone(), or (reason set) by finishWriting. `from` must stay open
  // until then.
  bool copyFrom(int from, off_t offset, off_t length);
  // Waits for a stretch being copied; false as copyFrom is false.
  bool copiesDone();
  // Syncs and closes the temporary file; false (reason set) when that fails.
  bool finishWriting();
  // Removes the temporary file.
  void abandon();

  // How a copy of a stretch went.
  struct CopyOutcome {
    enum State { Done, SourceEnded, ReadFailed, WriteFailed } state = Done;
    int error = 0;
  };

  const std::string& name() const { return name_; }      // as it was named
  const std::string& target() const { return target_; }  // the file replaced (known once started)
  const std::string& reason() const { return reason_; }
  bool isNew() const { return new_; }

 private:
  friend struct ReplacementCommit;
  bool fail(int error);

  // Texts from this size on are handed to a background writer; stretches
  // from this size on are copied beside.
  static constexpr std::size_t kBackgroundBlock = 256 * 1024;
  static constexpr off_t kCopyBeside = 8 << 20;

  struct CopyBeside;
  bool told(CopyOutcome outcome);  // copyFrom's result from a copy's outcome

  std::string name_, target_, temporary_, reason_;
  int fd_ = -1;
  std::unique_ptr<BackgroundWriter> background_;
  std::unique_ptr<CopyBeside> beside_;  // a stretch being copied
  bool new_ = false;
  bool inPlace_ = false;  // more than one name: written in place of its inode
  mode_t mode_ = 0;
};

// What became of each file of a commit.
struct ReplacedFile {
  enum class State { Replaced, AsItWas, PutBack, NotPutBack };
  std::string name;  // as it was named
  State state = State::AsItWas;
  std::string backup;  // where its old contents are kept, when they are
  std::string reason;  // why it could not be put back (NotPutBack)
};

struct ReplacementOutcome {
  bool done = false;
  std::string failedName;  // the file that failed, when one did
  std::string reason;      // and why
  std::vector<ReplacedFile> files;
};

// How a new file is put in place (rename(2)); replaceable in tests, to fail
// part way.
using PlaceFile = std::function<int(const char* from, const char* to)>;

// A new file about to be put in place: its temporary file and the file it
// becomes, and how (renamed over it, copied over it when the old file's
// inode must stay, or given a name that was free).
struct Placement {
  enum class How { Rename, Copy, New };
  How how = How::Rename;
  std::string temporary, target;
};

// Told, once the old contents are kept and before the first file is put in
// place, what is about to be placed, so that a caller can note it where a
// run cut off later finds it (finishPlacements). False stops the commit,
// nothing replaced.
using BeforePlacing = std::function<bool(const std::vector<Placement>& placements)>;

// Keeps the old contents of every file in a backup and puts the new ones in
// place, all or (as far as the system allows) none.
ReplacementOutcome commitReplacements(std::vector<ReplacementFile>& files,
                                      const PlaceFile& place = {},
                                      const BeforePlacing& before = {});

// Finishes placements that a run cut off part way: each temporary file
// still there is put in place as it would have been. False (errno set)
// when one cannot be.
bool finishPlacements(const std::vector<Placement>& placements);

}  // namespace rb
