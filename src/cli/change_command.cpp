#include "cli/change_command.h"

#include "base/char_class.h"
#include "tools/change/change_report.h"

namespace rb {

std::string readRoomRange(std::string_view text, RoomRange& range) {
  // The dash between the numbers is the first one after a digit.
  std::size_t dash = std::string_view::npos;
  for (std::size_t at = 1; at < text.size(); ++at) {
    if (text[at] == '-' && isDigit(text[at - 1])) {
      dash = at;
      break;
    }
  }
  const std::string_view first = text.substr(0, dash);
  const std::string_view last = dash == std::string_view::npos ? first : text.substr(dash + 1);
  const NumberArgument a = readRoomNumber(first, range.first);
  const NumberArgument b = readRoomNumber(last, range.last);
  if (a == NumberArgument::NotANumber || b == NumberArgument::NotANumber) {
    return std::string(text) + ": not a room number or a range FIRST-LAST";
  }
  if (a == NumberArgument::OutOfRange || b == NumberArgument::OutOfRange) {
    return std::string(text) + ": out of range";
  }
  if (range.first > range.last) return std::string(text) + ": the first number is above the last";
  return "";
}

std::optional<int> takeChangeArguments(const char* command, const ParsedArguments& args,
                                       bool withNew, ChangeArguments& taken, CommandIo& io) {
  const std::size_t needed = withNew ? 2 : 1;  // the range, and the new number
  if (args.operands.size() <= needed) {
    return io.usage(std::string(command) + ": " +
                    (args.operands.empty()                 ? "no room range given"
                     : withNew && args.operands.size() < 2 ? "no new number given"
                                                           : "no file named"));
  }
  if (const std::string error = readRoomRange(args.operands[0], taken.range); !error.empty()) {
    return io.usage(std::string(command) + ": " + error);
  }
  if (withNew) {
    switch (readRoomNumber(args.operands[1], taken.newFirst)) {
      case NumberArgument::Number:
        break;
      case NumberArgument::NotANumber:
        return io.usage(std::string(command) + ": " + args.operands[1] + ": not a room number");
      case NumberArgument::OutOfRange:
        return io.usage(std::string(command) + ": " + args.operands[1] + ": out of range");
    }
    // A function name such as vosmerl_-8 is not C.
    if (taken.newFirst < 0) {
      return io.usage(std::string(command) + ": " + args.operands[1] +
                      ": no room gets a negative number");
    }
  }
  taken.files.assign(args.operands.begin() + static_cast<std::ptrdiff_t>(needed),
                     args.operands.end());
  return std::nullopt;
}

int runChange(const ChangeArguments& args, CommandIo& io,
              const std::function<ChangeOutcome(const World&, WorldEdit&)>& plan,
              const std::function<std::string(const ChangeOutcome&)>& summary) {
  const WorldReading reading = changeReading(args.range, args.dryRun);
  World world;
  if (const auto failed = io.readWorld(world, args.files, reading, args.includeBackups)) {
    return *failed;
  }
  WorldEdit edit(world);
  ChangeOutcome outcome;
  try {
    outcome = plan(world, edit);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  if (outcome.refused) {
    io.tell(changeRefusal(world, outcome));
    return io.finish(2);
  }
  if (!args.dryRun) {
    if (const auto failed = io.applyEdit(edit)) return *failed;
  }
  reportChange(world, outcome, io.out);
  io.out.print(summary(outcome));
  return io.finish(0);
}

}  // namespace rb
