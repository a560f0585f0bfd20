// The program's command line. With no arguments the interactive room
// builder runs; otherwise:
//   roombuilder check ROOMFILE [DATAFILE]   diagnostics of an area
//   roombuilder map ROOMFILE                an SVG picture of it
//   roombuilder --help | --version
#pragma once

#include <string>
#include <vector>

namespace rb {

struct CommandResult {
  std::string out;  // for standard output
  std::string err;  // for standard error
  int status = 0;
};

// Runs the command that `args` (without the program name, at least one)
// name. Status 2 with a message or the usage on standard error, and
// nothing on standard output, when the arguments are wrong or a file
// cannot be read.
CommandResult runCommand(const std::vector<std::string>& args);

}  // namespace rb
