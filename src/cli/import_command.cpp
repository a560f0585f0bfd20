// roombuilder import: the files a world document names, written back.
#include "base/text_append.h"
#include "base/visible_text.h"
#include "cli/command.h"
#include "files/numbered_backup.h"
#include "tools/json/world_import.h"

namespace rb {

namespace {

enum Option { kDryRun, kInto };

int importCommand(const ParsedArguments& args, CommandIo& io) {
  ImportOptions options;
  for (const ParsedOption& option : args.options) {
    if (option.which == kDryRun) options.dryRun = true;
    if (option.which == kInto) options.into = option.value;
  }
  if (args.operands.size() != 1) {
    return io.usage(args.operands.empty() ? "import: no document named"
                                          : "import: one document at a time");
  }
  const std::string& name = args.operands.front();
  InputFile document;
  if (document.open(name) != InputFile::Status::Open) return io.fileFailed(name, document.reason());
  const ImportOutcome outcome = importWorld(document, options);
  if (!outcome.errors.empty()) {
    for (const ImportError& error : outcome.errors) {
      std::string line;
      appendHexEscaped(line, name);
      appendText(line, ":", error.line, ":", error.column, ": error: ");
      appendHexEscaped(line, error.text);
      io.tell(line + "\n");
    }
    if (outcome.moreErrors > 0) {
      io.tell("and " + counted(static_cast<long long>(outcome.moreErrors), "more error") + "\n");
    }
    return io.finish(2);
  }
  if (!outcome.failedFile.empty()) {
    io.fileFailed(outcome.failedFile, outcome.reason);
    for (const ReplacedFile& file : outcome.states) {
      if (file.state == ReplacedFile::State::PutBack)
        io.message(file.name + ": put back as it was");
      if (file.state == ReplacedFile::State::AsItWas) io.message(file.name + ": as it was");
      if (file.state == ReplacedFile::State::NotPutBack) {
        io.message(file.name + ": has the new contents (it could not be put back: " + file.reason +
                   "); the old contents are kept in " + file.backup);
      }
    }
    return io.finish(2);
  }
  for (const auto& [file, backup] : outcome.backups) {
    std::string shownFile, shownBackup;
    appendHexEscaped(shownFile, file);
    appendHexEscaped(shownBackup, backup);
    io.tell(backupNotice(shownFile, shownBackup));
  }
  std::size_t written = 0, unchanged = 0;
  for (const ImportedFile& file : outcome.files) {
    if (file.change == ImportedFile::Change::Unchanged) {
      ++unchanged;
      continue;
    }
    ++written;
    if (options.dryRun) {
      appendHexEscaped(io.out.buffer(), file.name);
      io.out.print(file.change == ImportedFile::Change::New ? " (new)\n" : " (changed)\n");
    }
  }
  io.out.print(counted(static_cast<long long>(written), "file"),
               options.dryRun ? " would be written, " : " written, ", unchanged, " unchanged.\n");
  return io.finish(0);
}

}  // namespace

const Command kImportCommand = {
    "import",
    "[OPTION]... WORLD.json",
    "  import writes the files a document of export names: rooms and rows as the\n"
    "         room writer writes them, text as it stands. The document is checked\n"
    "         whole first (each error as WORLD.json:LINE:COLUMN: error: TEXT, and\n"
    "         nothing written); files are put in place together, each changed\n"
    "         one's old contents kept in NAME.~N~, unchanged ones left alone.\n"
    "         -n, --dry-run    name the files that would be written, write none\n"
    "         --into DIR       write the files under DIR (made when missing)\n"
    "         Example: roombuilder export world/* | jq '(.files[].content[]\n"
    "           | .row? // empty | select(.terrain == 5)).terrain = 14' > w.json\n"
    "           && roombuilder import w.json\n",
    {{"dry-run", 'n', false, nullptr}, {"into", 0, true, "a folder"}},
    importCommand,
};

}  // namespace rb
