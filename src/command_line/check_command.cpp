#include "command_line/commands.h"
#include "insight/world.h"
#include "insight/world_check.h"
#include "shell/number_text.h"

namespace rb {

int checkCommand(const std::vector<std::string>& args, CommandIo& io) {
  CheckOptions options;
  Baseline baseline;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !isOption(arg)) {
      files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-Werror") {
      options.warningsAreErrors = true;
    } else if (arg.rfind("-W", 0) == 0) {
      const bool off = arg.rfind("-Wno-", 0) == 0;
      const auto kind = warningNamed(arg.substr(off ? 5 : 2));
      if (!kind) return io.usage("check: unknown warning " + arg);
      options.enabled[static_cast<std::size_t>(*kind)] = !off;
    } else if (const auto file = optionValue(args, i, "--baseline")) {
      if (file->empty()) return io.usage("check: --baseline needs a file");
      std::string text;
      if (const std::string failure = readWholeFile(*file, text); !failure.empty()) {
        return io.fileFailed(*file, failure);
      }
      baseline.read(text);
      options.baseline = &baseline;
    } else if (const auto start = optionValue(args, i, "--start")) {
      if (!isRoomNumber(*start)) return io.usage("check: --start needs a room number");
      options.start = textToInt(*start);
    } else {
      return io.usage("check: unknown option " + arg);
    }
  }
  if (files.empty()) return io.usage("check: no file named");

  World world;
  try {
    world.read(files);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  std::size_t start = world.records() > 0 ? 0 : World::kNone;
  if (options.start) {
    start = world.graph().find(*options.start);
    if (start == AreaGraph::kNone) {
      return io.usage("check: --start " + std::to_string(*options.start) +
                      ": no room has that number");
    }
  }
  const CheckCounts counts = checkWorld(world, options, {}, start, io.out);
  const bool failed = counts.errors > 0 || (options.warningsAreErrors && counts.warnings > 0);
  return io.finish(failed ? 1 : 0);
}

}  // namespace rb
