#include <memory>
#include <unordered_set>
#include "cli/commands.h"

#include "base/number_text.h"
#include "tools/check/speller.h"
#include "tools/check/text_checks.h"
#include "tools/check/world_check.h"
#include "world/world.h"

namespace rb {

int checkCommand(const std::vector<std::string>& args, CommandIo& io) {
  CheckOptions options;
  Baseline baseline;
  std::string dictionary = "en_US";
  std::unordered_set<std::string> words;
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
      std::string text;
      if (const auto failed = io.readOptionFile("check", "--baseline", *file, text)) return *failed;
      baseline.read(text);
      options.baseline = &baseline;
    } else if (const auto list = optionValue(args, i, "--words")) {
      std::string text;
      if (const auto failed = io.readOptionFile("check", "--words", *list, text)) return *failed;
      words.merge(wordList(text));
    } else if (const auto name = optionValue(args, i, "--dictionary")) {
      if (name->empty()) return io.usage("check: --dictionary needs a name");
      dictionary = *name;
    } else if (const auto start = optionValue(args, i, "--start")) {
      if (!isRoomNumber(*start)) return io.usage("check: --start needs a room number");
      options.start = textToInt(*start);
    } else {
      return io.usage("check: unknown option " + arg);
    }
  }
  if (files.empty()) return io.usage("check: no file named");

  std::unique_ptr<Speller> speller;
  if (options.on(WarningKind::Spelling)) {
    speller = Speller::open(dictionary);
    if (!speller) {
      io.message("warning: the dictionary " + dictionary +
                 " is not installed; spelling is not checked [-Wspelling]");
    }
  }
  TextChecks texts(options, speller.get(), std::move(words));
  const bool checkTexts = options.on(WarningKind::Width) || options.on(WarningKind::Spacing) ||
                          options.on(WarningKind::Doubled) || speller;
  World world;
  try {
    world.read(files, checkTexts ? RecordHook([&](std::size_t record, const WorkingRoom& room,
                                                  const RecordText& text) {
                 texts.check(record, room, text);
               })
                                 : RecordHook());
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
  const CheckCounts counts = checkWorld(world, options, texts.finish(), start, io.out);
  const bool failed = counts.errors > 0 || (options.warningsAreErrors && counts.warnings > 0);
  return io.finish(failed ? 1 : 0);
}

}  // namespace rb
