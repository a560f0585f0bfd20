#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "program.h"
#include "shell/standard_descriptors.h"
#include "shell/terminal_mode.h"

namespace {

void writeAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace

int main(int argc, char** argv) {
  rb::openMissingStandardDescriptors();
  if (argc > 1) {
    const rb::CommandResult result =
        rb::runCommand(std::vector<std::string>(argv + 1, argv + argc));
    writeAll(STDOUT_FILENO, result.out);
    writeAll(STDERR_FILENO, result.err);
    return result.status;
  }
  rb::installTerminalSignalHandlers();
  rb::Console con(STDIN_FILENO, STDOUT_FILENO);
  return rb::runProgram(con);
}
