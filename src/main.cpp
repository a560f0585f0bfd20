#include <unistd.h>

#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "files/write_all.h"
#include "program.h"
#include "shell/standard_descriptors.h"
#include "shell/terminal_mode.h"

int main(int argc, char** argv) {
  rb::openMissingStandardDescriptors();
  if (argc > 1) {
    const rb::CommandResult result =
        rb::runCommand(std::vector<std::string>(argv + 1, argv + argc));
    rb::writeAll(STDOUT_FILENO, result.out);
    rb::writeAll(STDERR_FILENO, result.err);
    return result.status;
  }
  rb::installTerminalSignalHandlers();
  rb::Console con(STDIN_FILENO, STDOUT_FILENO);
  return rb::runProgram(con);
}
