// roombuilder check: what is wrong with a world, a diagnostic a line.
#include <memory>
#include <unordered_set>

#include "cli/command.h"
#include "tools/check/diagnostic_json.h"
#include "tools/check/speller.h"
#include "tools/check/text_checks.h"
#include "tools/check/world_check.h"
#include "world/world.h"

namespace rb {

namespace {

// A JSON form: its diagnostics are all that is on standard output, so the
// summary goes to standard error.
class SummaryOnStandardError : public DiagnosticSink {
 public:
  SummaryOnStandardError(std::unique_ptr<DiagnosticSink> json, CommandIo& io)
      : json_(std::move(json)), io_(io) {}
  void report(const Diagnostic& diagnostic) override { json_->report(diagnostic); }
  void finish(const std::string& summary) override {
    json_->finish(summary);
    io_.tell(summary);
  }

 private:
  std::unique_ptr<DiagnosticSink> json_;
  CommandIo& io_;
};

enum Option {
  kWarning,
  kBaseline,
  kWords,
  kDictionary,
  kStart,
  kNoSuggestions,
  kIncludeBackups,
  kFormat
};

int check(const ParsedArguments& args, CommandIo& io) {
  CheckOptions options;
  Baseline baseline;
  std::string dictionary = "en_US";
  bool dictionaryNamed = false;
  bool includeBackups = false;
  std::string format = "text";
  std::unordered_set<std::string> words;
  for (const ParsedOption& option : args.options) {
    switch (option.which) {
      case kWarning: {
        if (option.value == "error") {
          options.warningsAreErrors = true;
          break;
        }
        const bool off = option.value.rfind("no-", 0) == 0;
        const auto kind = warningNamed(std::string_view(option.value).substr(off ? 3 : 0));
        if (!kind) return io.usage("check: unknown warning -W" + option.value);
        options.enabled[static_cast<std::size_t>(*kind)] = !off;
        break;
      }
      case kBaseline: {
        std::string text;
        if (const auto failed = io.readOptionFile(option.value, text)) return *failed;
        baseline.read(text);
        options.baseline = &baseline;
        break;
      }
      case kWords: {
        std::string text;
        if (const auto failed = io.readOptionFile(option.value, text)) return *failed;
        words.merge(wordList(text));
        break;
      }
      case kDictionary:
        if (option.value.empty()) return io.usage("check: --dictionary needs a name");
        dictionary = option.value;
        dictionaryNamed = true;
        break;
      case kNoSuggestions:
        options.suggestions = false;
        break;
      case kIncludeBackups:
        includeBackups = true;
        break;
      case kFormat:
        if (option.value != "text" && option.value != "json" && option.value != "sarif") {
          return io.usage("check: --format must be text, json or sarif, not " + option.value);
        }
        format = option.value;
        break;
      case kStart: {
        int number = 0;
        switch (readRoomNumber(option.value, number)) {
          case NumberArgument::Number:
            options.start = number;
            break;
          case NumberArgument::NotANumber:
            return io.usage("check: --start needs a room number");
          case NumberArgument::OutOfRange:
            return io.usage("check: --start " + option.value + ": out of range");
        }
        break;
      }
    }
  }
  if (args.operands.empty()) return io.usage("check: no file named");

  std::unique_ptr<Speller> speller;
  if (options.on(WarningKind::Spelling)) {
    speller = Speller::open(dictionary);
    if (!speller && dictionaryNamed) {
      // Named on purpose: a check without it would pass for the wrong reason.
      std::string installed;
      for (const std::string& name : Speller::installed())
        installed += (installed.empty() ? "" : ", ") + name;
      io.message("no dictionary " + dictionary +
                 " (installed: " + (installed.empty() ? "none" : installed) + ")");
      return 2;
    }
    if (!speller) {
      io.message("warning: the dictionary " + dictionary +
                 " is not installed; spelling is not checked [-Wspelling]");
    }
  }
  TextChecks texts(options, speller.get(), std::move(words));
  const bool checkTexts = options.on(WarningKind::Width) || options.on(WarningKind::Spacing) ||
                          options.on(WarningKind::Doubled) || speller != nullptr;
  WorldReading reading;
  reading.places = false;  // check reads every room once, as it goes
  // Same texts are found among every room's texts, read as they go by.
  if (checkTexts || options.on(WarningKind::SameText)) {
    reading.visitor = [&](std::size_t record, const WorkingRoom& room, const RecordText& text) {
      texts.check(record, room, text);
    };
  }
  World world;
  if (const auto failed = io.readWorld(world, args.operands, reading, includeBackups)) {
    return *failed;
  }
  std::size_t start = world.records() > 0 ? 0 : World::kNone;
  if (options.start) {
    start = world.findNumber(*options.start);
    if (start == World::kNone) {
      return io.usage("check: --start " + std::to_string(*options.start) +
                      ": no room has that number");
    }
  }
  // In JSON the diagnostics are all that is on standard output; the
  // summary goes to standard error.
  std::unique_ptr<DiagnosticSink> sink;
  if (format == "text") {
    sink = std::make_unique<TextDiagnostics>(io.out);
  } else {
    sink = std::make_unique<SummaryOnStandardError>(
        format == "json" ? gccJsonDiagnostics(io.out) : sarifDiagnostics(io.out), io);
  }
  const CheckCounts counts = checkWorld(world, options, texts.finish(&world), start, *sink);
  const bool failed = counts.errors > 0 || (options.warningsAreErrors && counts.warnings > 0);
  return io.finish(failed ? 1 : 0);
}

}  // namespace

const Command kCheckCommand = {
    "check",
    "[OPTION]... FILE...",
    "  check  lists what is wrong with the world, a line each, as\n"
    "         FILE:LINE: error: TEXT or FILE:LINE: warning: TEXT [-WKIND], then\n"
    "         a summary. Errors: a function name or a room number used twice,\n"
    "         an exit to a room no file has; with a data file, a room without a\n"
    "         row, a row naming no room, a second row for one room. Warnings:\n"
    "         one-way exits (one-way), rooms not reachable from the start room\n"
    "         (unreachable), rooms without a short name (short-name), records\n"
    "         and rows the room writer would not have written (not-writer),\n"
    "         CR LF line ends (crlf), a function name without a region name\n"
    "         (region), a room with an earlier room's short name and\n"
    "         description (same-text); in short names, description lines,\n"
    "         responses and event texts: lines wider than 79 columns (width),\n"
    "         blanks at the end, two in a row, a tab in a short name (spacing),\n"
    "         a word twice in a row (doubled), words the dictionary does not\n"
    "         know, with suggestions (spelling).\n"
    "         -Wno-KIND        leave out the warnings of KIND (-WKIND: again)\n"
    "         -Werror          warnings count as errors for the exit status\n"
    "         --baseline FILE  leave out what an earlier check printed in FILE\n"
    "         --start N        count reachability from room N (default: the\n"
    "                          first room of the first room file)\n"
    "         --words FILE     accept the words of FILE, one a line (# comments);\n"
    "                          the capitalised words of short names are accepted\n"
    "         --dictionary=NAME  spell with the installed dictionary NAME\n"
    "                          (default en_US)\n"
    "         --no-suggestions  say no words a misspelt word may have meant\n"
    "                          (they are looked for the first 1,000 words)\n"
    "         --include-backups  read NAME~ and NAME.~N~ too (left out and\n"
    "                          said to be, without it)\n"
    "         --format=json    the diagnostics as one JSON array in the form of\n"
    "                          gcc's JSON diagnostics (the summary on standard\n"
    "                          error)\n"
    "         --format=sarif   a SARIF 2.1.0 log for code-scanning services,\n"
    "                          with a rule for each kind (errors: function-twice,\n"
    "                          number-twice, missing-room, not-a-room-number,\n"
    "                          no-row, second-row, row-without-room; warnings\n"
    "                          by their -W kind)\n"
    "         Exit status 0 without errors, 1 with errors, 2 on wrong\n"
    "         arguments, a file that cannot be read or output not written.\n"
    "         In CI: check world/* > known.txt once, then\n"
    "         check --baseline known.txt world/* fails only on new problems.\n",
    {{nullptr, 'W', true, "a warning kind"},
     {"baseline", 0, true, "a file"},
     {"words", 0, true, "a file"},
     {"dictionary", 0, true, "a name"},
     {"start", 0, true, "a room number"},
     {"no-suggestions", 0, false, nullptr},
     {"include-backups", 0, false, nullptr},
     {"format", 0, true, "text, json or sarif"}},
    check,
};

}  // namespace rb
