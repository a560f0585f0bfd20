// The commands of the command line, each a thin layer over the library:
// their arguments, the files they read, and how they end.
#pragma once

#include <string>
#include <vector>

#include "cli/command_io.h"

namespace rb {

// roombuilder check [OPTION]... FILE...
int checkCommand(const std::vector<std::string>& args, CommandIo& io);
// roombuilder map [OPTION]... FILE...
int mapCommand(const std::vector<std::string>& args, CommandIo& io);
// roombuilder link [OPTION]... ROOMFILE...
int linkCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace rb
