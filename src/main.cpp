#include <unistd.h>

#include "program.h"
#include "shell/standard_descriptors.h"
#include "shell/terminal_mode.h"

int main() {
  rb::openMissingStandardDescriptors();
  rb::installTerminalSignalHandlers();
  rb::Console con(STDIN_FILENO, STDOUT_FILENO);
  return rb::runProgram(con);
}
