#include "cli/command_line.h"

#include <new>

#include "base/version.h"
#include "cli/command_io.h"
#include "cli/commands.h"

namespace rb {

const char* const kUsage =
    "Usage: roombuilder\n"
    "       roombuilder check [OPTION]... FILE...\n"
    "       roombuilder map [OPTION]... FILE... > MAP.svg\n"
    "       roombuilder link [OPTION]... ROOMFILE...\n"
    "       roombuilder --help | --version\n"
    "\n"
    "Without arguments, the interactive room builder starts: it creates rooms,\n"
    "appends them, edits them during a file transfer and explores room files.\n"
    "\n"
    "Each FILE is a room file or a data file, told apart by what it holds; all\n"
    "the files named form one world: exits lead across them, rows are matched\n"
    "to records by function name across them.\n"
    "\n"
    "  check  lists what is wrong with the world, a line each, as\n"
    "         FILE:LINE: error: TEXT or FILE:LINE: warning: TEXT [-WKIND], then\n"
    "         a summary. Errors: a function name or a room number used twice,\n"
    "         an exit to a room no file has; with a data file, a room without a\n"
    "         row, a row naming no room, a second row for one room. Warnings:\n"
    "         one-way exits (one-way), rooms not reachable from the start room\n"
    "         (unreachable), rooms without a short name (short-name), records\n"
    "         and rows the room writer would not have written (not-writer),\n"
    "         CR LF line ends (crlf); in short names, description lines,\n"
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
    "         Exit status 0 without errors, 1 with errors, 2 on wrong\n"
    "         arguments, a file that cannot be read or output not written.\n"
    "         In CI: check world/* > known.txt once, then\n"
    "         check --baseline known.txt world/* fails only on new problems.\n"
    "  map    writes a picture of the world as SVG to standard output, a\n"
    "         section per room file (data files are left out).\n"
    "         --start N        lay the first panel out from room N\n"
    "  link   gives every exit without a way back its way back: when room A's\n"
    "         exit leads to room B and B's exit the opposite way is -1, B gets\n"
    "         that exit, leading to A. Says what it adds (note) and why it\n"
    "         leaves others one-way (warning). Only the links lines change;\n"
    "         each file changed keeps its old contents in NAME.~N~.\n"
    "         -n, --dry-run    say what would be done, change nothing\n"
    "         --baseline FILE  leave the one-way exits an earlier check\n"
    "                          printed in FILE as they are\n"
    "         Build with each exit typed once, link, then check.\n";

namespace {

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>& args, CommandIo& io);
};

// The commands: each a thin file over the library (commands.h).
constexpr Command kCommands[] = {
    {"check", checkCommand},
    {"map", mapCommand},
    {"link", linkCommand},
};

}  // namespace

int runCommand(const std::vector<std::string>& args, int outFd, int errFd) {
  CommandIo io(outFd, errFd);
  const std::string& command = args.front();
  if (command == "--help" && args.size() == 1) {
    io.out.print(kUsage);
    return io.finish(0);
  }
  if (command == "--version" && args.size() == 1) {
    io.out.print("roombuilder ", kVersion, "\n");
    return io.finish(0);
  }
  for (const Command& entry : kCommands) {
    if (command != entry.name) continue;
    try {
      return entry.run(args, io);
    } catch (const std::bad_alloc&) {
      io.message("out of memory");
      return 2;
    }
  }
  return io.usage("");
}

}  // namespace rb
