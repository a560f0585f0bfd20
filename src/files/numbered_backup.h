// Keeping the old contents of a file before it is emptied or replaced, in a
// new numbered backup NAME.~N~: N is the smallest positive number for which
// no such file exists, as `cp --backup=numbered` names them.
//
// The copy is written to a temporary file in the same folder, synced, and
// only then put in place under a name that is free at that moment, by an
// operation that fails instead of replacing (renameat2 with
// RENAME_NOREPLACE, or link). So a backup never replaces anything: not a
// file being read or written, not one another run holds, not an older
// backup, not a symbolic link.
#pragma once

#include <sys/types.h>

#include <string>

namespace rb {

struct BackupOutcome {
  bool kept = false;
  std::string name;  // the backup's name; when not kept, the name that failed
  int error = 0;     // errno of a failure
};

// Copies what `from` (open for reading, at its start) holds to a new
// backup of `name`, with permissions `mode`. No temporary file is left
// behind, whatever fails.
BackupOutcome keepNumberedBackup(int from, const std::string& name, mode_t mode);

// Keeps the contents of the file `name` as they are in a new backup,
// before it is replaced by another file: the backup is the file itself
// under its new name too (a hard link), or, where the file system has no
// hard links, a copy.
// `syncFolder` false leaves syncing the folder to the caller, who makes
// many backups in it.
BackupOutcome keepAsNumberedBackup(const std::string& name, bool syncFolder = true);

// What the user is told: "The old contents of NAME are kept in BACKUP.\n".
std::string backupNotice(const std::string& name, const std::string& backup);

}  // namespace rb
