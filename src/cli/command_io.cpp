#include "cli/command_io.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "base/text_append.h"
#include "base/visible_text.h"
#include "base/write_all.h"
#include "files/input_file.h"
#include "files/numbered_backup.h"
#include "files/temporary_name.h"
#include "format/area_reader.h"

namespace rb {

namespace {

std::string visibleName(std::string_view name) {
  std::string shown;
  appendHexEscaped(shown, name);
  return shown;
}

}  // namespace

const char* const kHelpHint = "Try 'roombuilder --help' for more information.\n";

void CommandIo::message(std::string_view text) {
  std::string line = "roombuilder: ";
  appendHexEscaped(line, text);
  line += "\n";
  out.flush();
  writeAll(errFd_, line);
}

void CommandIo::tell(std::string_view text) {
  out.flush();
  writeAll(errFd_, text);
}

int CommandIo::usage(std::string_view reason) {
  message(reason);
  writeAll(errFd_, kHelpHint);
  return 2;
}

int CommandIo::fileFailed(const std::string& file, std::string_view reason) {
  out.flush();
  writeAll(errFd_, "roombuilder: " + visibleName(file) + ": " + std::string(reason) + "\n");
  return 2;
}

int CommandIo::finish(int status) {
  if (out.flush()) return status;
  writeAll(errFd_, std::string("roombuilder: cannot write the output: ") +
                       std::strerror(out.error()) + "\n");
  return 2;
}

std::optional<int> CommandIo::readOptionFile(const std::string& file, std::string& text) {
  // Read as a world's file is: line by line, a line beyond any a file of
  // ours holds being too large (so /dev/zero ends at once).
  InputFile input;
  if (input.open(file) != InputFile::Status::Open) return fileFailed(file, input.reason());
  try {
    LineReader lines(input.fd());
    std::string_view line;
    while (lines.next(line))
      text.append(line);
  } catch (const AreaReadError& error) {
    return fileFailed(file, error.tooLarge ? "too large to read" : std::strerror(error.error));
  } catch (const std::bad_alloc&) {
    return fileFailed(file, "too large to read");
  }
  return std::nullopt;
}

std::optional<int> CommandIo::readWorld(World& world, const std::vector<std::string>& files,
                                        const WorldReading& reading, bool includeBackups) {
  std::vector<std::string> read;
  std::size_t backups = 0;
  for (const std::string& file : files) {
    const std::string base = baseNameOf(file);
    if (isTemporaryName(base) || isPartialName(base)) continue;
    if (!includeBackups && !base.empty() && base.back() == '~') {
      ++backups;
      continue;
    }
    read.push_back(file);
  }
  if (backups > 0) {
    tell(std::to_string(backups) + (backups == 1 ? " backup file" : " backup files") +
         " left out (--include-backups to read them).\n");
  }
  try {
    world.read(read, reading);
  } catch (const WorldFileError& error) {
    return fileFailed(error.file, error.reason);
  }
  return std::nullopt;
}

std::optional<int> CommandIo::applyEdit(WorldEdit& edit) {
  EditOutcome outcome;
  try {
    outcome = edit.apply();
  } catch (const WorldFileError& error) {
    return fileFailed(error.file, error.reason);
  }
  switch (outcome.status) {
    case EditOutcome::Status::Done:
      for (const auto& [file, backup] : outcome.backups) {
        tell(backupNotice(visibleName(file), visibleName(backup)));
      }
      return std::nullopt;
    case EditOutcome::Status::Changed:
      message(outcome.file + " was changed by another program; nothing was written.");
      return 2;
    case EditOutcome::Status::Refused:
      return fileFailed(outcome.file, outcome.reason);
    case EditOutcome::Status::Failed:
      break;
  }
  fileFailed(outcome.file, outcome.reason);
  for (const ReplacedFile& file : outcome.files) {
    switch (file.state) {
      case ReplacedFile::State::AsItWas:
        message(file.name + ": as it was");
        break;
      case ReplacedFile::State::PutBack:
        message(file.name + ": put back as it was");
        break;
      case ReplacedFile::State::NotPutBack:
        message(file.name + ": has the new contents (it could not be put back: " + file.reason +
                "); the old contents are kept in " + file.backup);
        break;
      case ReplacedFile::State::Replaced:
        break;
    }
  }
  return 2;
}

}  // namespace rb
