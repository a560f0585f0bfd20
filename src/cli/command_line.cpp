#include "cli/command_line.h"

#include <new>

#include "base/version.h"
#include "cli/command.h"
#include "cli/command_io.h"

namespace rb {

namespace {

constexpr const char* kIntroduction =
    "\n"
    "Without arguments, the interactive room builder starts: it creates rooms,\n"
    "appends them, edits them during a file transfer and explores room files.\n"
    "\n"
    "Each FILE is a room file or a data file, told apart by what it holds; all\n"
    "the files named form one world: exits lead across them, rows are matched\n"
    "to records by function name across them.\n"
    "\n";

// The whole usage: every command's synopsis, then each one's help.
std::string fullUsage() {
  std::string text = "Usage: roombuilder\n";
  for (const Command* command : commands())
    text += std::string("       roombuilder ") + command->name + " " + command->synopsis + "\n";
  text += "       roombuilder --help | --version | COMMAND --help\n";
  text += kIntroduction;
  for (const Command* command : commands())
    text += command->help;
  return text;
}

std::string commandUsage(const Command& command) {
  return std::string("Usage: roombuilder ") + command.name + " " + command.synopsis + "\n\n" +
         command.help;
}

const Command* commandNamed(const std::string& name) {
  for (const Command* command : commands()) {
    if (name == command->name) return command;
  }
  return nullptr;
}

int unknownCommand(const std::string& name, CommandIo& io) {
  if (name.size() > 1 && name[0] == '-') return io.usage("unknown option " + name);
  const Command* nearest = nullptr;
  std::size_t best = 3;  // within two edits
  for (const Command* command : commands()) {
    const std::size_t distance = editDistance(name, command->name);
    if (distance < best) {
      best = distance;
      nearest = command;
    }
  }
  std::string said = "'" + name + "' is not a command";
  if (nearest) said += std::string("; did you mean '") + nearest->name + "'?";
  return io.usage(said);
}

int runNamed(const Command& command, const std::vector<std::string>& args, CommandIo& io) {
  if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
    io.out.print(commandUsage(command));
    return io.finish(0);
  }
  const ParseOutcome parsed = parseArguments(args, command.options);
  if (!parsed.arguments) return io.usage(std::string(command.name) + ": " + parsed.error);
  return command.run(*parsed.arguments, io);
}

}  // namespace

const std::vector<const Command*>& commands() {
  static const std::vector<const Command*> all = {
      &kCheckCommand,  &kMapCommand,    &kLinkCommand, &kRenumberCommand,
      &kDeleteCommand, &kCopyCommand,   &kDiffCommand, &kShowCommand,
      &kExportCommand, &kImportCommand, &kEditCommand};
  return all;
}

int runCommand(const std::vector<std::string>& args, int outFd, int errFd) {
  CommandIo io(outFd, errFd);
  const std::string& name = args.front();
  if (name == "--help" || name == "help") {
    if (args.size() == 1) {
      io.out.print(fullUsage());
      return io.finish(0);
    }
    const Command* command = args.size() == 2 ? commandNamed(args[1]) : nullptr;
    if (!command)
      return args.size() == 2 ? unknownCommand(args[1], io)
                              : io.usage("--help: too many arguments");
    io.out.print(commandUsage(*command));
    return io.finish(0);
  }
  if (name == "--version") {
    if (args.size() > 1) return io.usage("--version: too many arguments");
    io.out.print("roombuilder ", kVersion, "\n");
    return io.finish(0);
  }
  const Command* command = commandNamed(name);
  if (!command) return unknownCommand(name, io);
  try {
    return runNamed(*command, args, io);
  } catch (const std::bad_alloc&) {
    io.message("out of memory");
    return 2;
  }
}

}  // namespace rb
