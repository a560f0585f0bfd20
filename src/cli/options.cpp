#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <climits>

#include "base/char_class.h"
#include "base/number_text.h"

namespace rb {

ParseOutcome parseArguments(const std::vector<std::string>& args,
                            const std::vector<OptionSpec>& specs) {
  ParseOutcome outcome;
  std::vector<std::string> copies(args);  // getopt permutes what it is given
  std::vector<char*> argv;
  for (std::string& arg : copies)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  // ':' first: a missing value is told apart from an unknown option.
  std::string letters = ":";
  std::vector<option> longs;
  for (std::size_t k = 0; k < specs.size(); ++k) {
    const OptionSpec& known = specs[k];
    if (known.letter) {
      letters += known.letter;
      if (known.takesValue) letters += ':';
    }
    if (known.name) {
      longs.push_back(option{known.name, known.takesValue ? required_argument : no_argument,
                             nullptr, static_cast<int>(256 + k)});
    }
  }
  longs.push_back(option{nullptr, 0, nullptr, 0});
  const auto named = [&](std::size_t k) {
    const OptionSpec& known = specs[k];
    return known.name ? "--" + std::string(known.name) : "-" + std::string(1, known.letter);
  };
  ParsedArguments parsed;
  opterr = 0;
  optind = 0;  // a fresh start: this may run more than once in a process
  const int argc = static_cast<int>(args.size());
  for (;;) {
    int index = -1;
    const int got = getopt_long(argc, argv.data(), letters.c_str(), longs.data(), &index);
    if (got == -1) break;
    const char* given = argv[static_cast<std::size_t>(optind - 1)];
    if (got == '?') {
      outcome.error =
          optopt && optopt < 256 && given[1] != '-'
              ? "unknown option -" + std::string(1, static_cast<char>(optopt))
              : "unknown option " + std::string(given).substr(0, std::string(given).find('='));
      return outcome;
    }
    if (got == ':') {
      std::size_t k = specs.size();
      for (std::size_t j = 0; j < specs.size(); ++j) {
        if ((optopt >= 256 && static_cast<std::size_t>(optopt - 256) == j) ||
            (optopt > 0 && optopt < 256 && specs[j].letter == optopt)) {
          k = j;
        }
      }
      outcome.error = k < specs.size() ? named(k) + " needs " +
                                             (specs[k].valueHelp ? specs[k].valueHelp : "a value")
                                       : std::string(given) + " needs a value";
      return outcome;
    }
    std::size_t k = 0;
    if (got >= 256) {
      k = static_cast<std::size_t>(got - 256);
    } else {
      while (k < specs.size() && specs[k].letter != got)
        ++k;
    }
    parsed.options.push_back(ParsedOption{k, optarg && specs[k].takesValue ? optarg : ""});
  }
  for (int i = optind; i < argc; ++i)
    parsed.operands.push_back(argv[static_cast<std::size_t>(i)]);
  outcome.arguments = std::move(parsed);
  return outcome;
}

NumberArgument readRoomNumber(std::string_view text, int& number) {
  if (wholeIntInRange(text, number)) return NumberArgument::Number;
  std::size_t pos = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (pos == text.size()) return NumberArgument::NotANumber;
  for (; pos < text.size(); ++pos) {
    if (!isDigit(text[pos])) return NumberArgument::NotANumber;
  }
  return NumberArgument::OutOfRange;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
  // Optimal string alignment: three rows of the table suffice.
  std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    last[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    before.swap(last);
    last.swap(row);
  }
  return last[b.size()];
}

}  // namespace rb
