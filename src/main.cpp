#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "cli/command_line.h"
#include "terminal/standard_descriptors.h"
#include "terminal/terminal_mode.h"

int main(int argc, char** argv) {
  rb::openMissingStandardDescriptors();
  // A write beyond the file size limit fails with EFBIG and is handled like
  // any failed write, instead of killing the program half way through it.
  signal(SIGXFSZ, SIG_IGN);
  if (argc > 1) {
    // A closed output pipe is an error to report, not a silent death.
    signal(SIGPIPE, SIG_IGN);
    return rb::runCommand(std::vector<std::string>(argv + 1, argv + argc), STDOUT_FILENO,
                          STDERR_FILENO);
  }
  rb::installTerminalSignalHandlers();
  rb::Console con(STDIN_FILENO, STDOUT_FILENO);
  return rb::runProgram(con);
}
