#include "cli/command_io.h"

#include <cerrno>
#include <cstring>

#include "base/text_append.h"
#include "base/visible_text.h"
#include "base/write_all.h"
#include "files/input_file.h"
#include "files/numbered_backup.h"

namespace rb {

namespace {

// A baseline or word list far larger than this is no baseline or word list.
constexpr std::size_t kMaxWholeFile = std::size_t{1} << 30;

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
  if (const std::string failure = readWholeFile(file, kMaxWholeFile, text); !failure.empty()) {
    return fileFailed(file, failure);
  }
  return std::nullopt;
}

std::optional<int> CommandIo::readWorld(World& world, const std::vector<std::string>& files,
                                        const WorldReading& reading) {
  try {
    world.read(files, reading);
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
