// What a command prints: its output, streamed to standard output, and its
// messages on standard error; and how it ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/output_stream.h"

namespace rb {

// The usage text of --help, and of wrong arguments.
extern const char* const kUsage;

class CommandIo {
 public:
  CommandIo(int outFd, int errFd) : out(outFd), errFd_(errFd) {}

  OutputStream out;

  // A line on standard error, as "roombuilder: TEXT\n".
  void message(std::string_view text);
  // Text on standard error as it is (a notice that ends with its line break).
  void tell(std::string_view text);
  // Wrong arguments: `reason` and the usage on standard error; status 2.
  int usage(std::string_view reason);
  // A file that cannot be read or written; status 2.
  int fileFailed(const std::string& file, std::string_view reason);
  // Reads the file an option names (`command`'s `option`, as a baseline or
  // a word list) whole into `text`; the status to end with when it names
  // none or cannot be read.
  std::optional<int> readOptionFile(std::string_view command, std::string_view option,
                                    const std::string& file, std::string& text);
  // The status to end with: `status`, or 2 (with a message) when the output
  // could not all be written.
  int finish(int status);

 private:
  int errFd_;
};

// Reads the whole of a file named on the command line that the command
// holds in memory (a baseline, a word list): "" when read, else the reason.
std::string readWholeFile(const std::string& name, std::string& text);

// An argument that looks like an option: it starts with '-' and is not "-".
bool isOption(const std::string& arg);

// The value of an option given as "NAME VALUE" or "NAME=VALUE", when
// `args[i]` is that option (`i` then moves past the value); nothing when it
// is another argument. An option without its value is an empty value.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& name);

// A whole room number: digits after an optional sign.
bool isRoomNumber(const std::string& text);

}  // namespace rb
