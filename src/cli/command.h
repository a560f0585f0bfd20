// A command of the command line: its name, how it is called, its help text
// (kept beside its code) and its options, and the function that runs it
// over the library.
#pragma once

#include <string>
#include <vector>

#include "cli/command_io.h"
#include "cli/options.h"

namespace rb {

struct Command {
  const char* name;
  const char* synopsis;  // after "roombuilder NAME ": "[OPTION]... FILE..."
  // The help text of the command: what it does and its options, each line
  // indented as `roombuilder --help` shows it (two blanks before the name's
  // column, nine before the rest).
  const char* help;
  std::vector<OptionSpec> options;
  int (*run)(const ParsedArguments& args, CommandIo& io);
};

// The commands, in the order --help lists them.
const std::vector<const Command*>& commands();

extern const Command kCheckCommand;
extern const Command kMapCommand;
extern const Command kLinkCommand;
extern const Command kRenumberCommand;
extern const Command kDeleteCommand;
extern const Command kCopyCommand;
extern const Command kDiffCommand;
extern const Command kShowCommand;
extern const Command kExportCommand;
extern const Command kImportCommand;
extern const Command kEditCommand;

}  // namespace rb
