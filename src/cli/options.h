// The one parser of the command line's options, for every command: GNU
// getopt_long, so options may come before, between or after the other
// arguments, long options may be abbreviated and take their value as
// `--name VALUE` or `--name=VALUE`, and `--` ends the options (for an
// argument that begins with '-', such as a negative room number).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rb {

struct OptionSpec {
  const char* name;  // long name, without its dashes; may be null
  char letter = 0;   // short name, or 0
  bool takesValue = false;
  const char* valueHelp = nullptr;  // what a missing value is said to need: "a file"
};

struct ParsedOption {
  std::size_t which;  // which of the command's options
  std::string value;  // its value, when it takes one
};

struct ParsedArguments {
  std::vector<ParsedOption> options;  // in the order given
  std::vector<std::string> operands;  // every other argument, in order
};

// Parses `args` (the command's name first) against `specs`: the arguments,
// or the one line that says what is wrong with them ("unknown option
// --frobnicate", "--baseline needs a file").
struct ParseOutcome {
  std::optional<ParsedArguments> arguments;
  std::string error;
};
ParseOutcome parseArguments(const std::vector<std::string>& args,
                            const std::vector<OptionSpec>& specs);

// How a room number given as an argument reads: a whole number within the
// range of int ("-8" and "+5" too).
enum class NumberArgument { Number, NotANumber, OutOfRange };
NumberArgument readRoomNumber(std::string_view text, int& number);

// The number of single-character edits (insertions, deletions, changes and
// swaps of neighbours) between two words.
std::size_t editDistance(std::string_view a, std::string_view b);

}  // namespace rb
