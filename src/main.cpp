#include <unistd.h>

#include "program.h"
#include "shell/terminal_mode.h"

int main() {
  rb::restoreTerminalOnSignals();
  rb::Console con(STDIN_FILENO, STDOUT_FILENO);
  const int status = rb::runProgram(con);
  con.flush();
  return status;
}
