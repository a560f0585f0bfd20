#include "cli/command_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/char_class.h"
#include "base/text_append.h"
#include "base/visible_text.h"
#include "base/write_all.h"

namespace rb {

namespace {

// A baseline or word list far larger than this is no baseline or word list.
constexpr std::size_t kMaxWholeFile = std::size_t{1} << 30;

}  // namespace

void CommandIo::message(std::string_view text) {
  std::string line = "roombuilder: ";
  appendHexEscaped(line, text);
  line += "\n";
  out.flush();
  writeAll(errFd_, line);
}

void CommandIo::tell(std::string_view text) {
  writeAll(errFd_, text);
}

int CommandIo::usage(std::string_view reason) {
  if (!reason.empty()) message(reason);
  writeAll(errFd_, kUsage);
  return 2;
}

int CommandIo::fileFailed(const std::string& file, std::string_view reason) {
  std::string shown;
  appendHexEscaped(shown, file);
  out.flush();
  writeAll(errFd_, "roombuilder: " + shown + ": " + std::string(reason) + "\n");
  return 2;
}

int CommandIo::finish(int status) {
  if (out.flush()) return status;
  writeAll(errFd_, std::string("roombuilder: cannot write the output: ") +
                       std::strerror(out.error()) + "\n");
  return 2;
}

std::optional<int> CommandIo::readOptionFile(std::string_view command, std::string_view option,
                                             const std::string& file, std::string& text) {
  if (file.empty()) {
    std::string reason;
    appendText(reason, command, ": ", option, " needs a file");
    return usage(reason);
  }
  if (const std::string failure = readWholeFile(file, text); !failure.empty()) {
    return fileFailed(file, failure);
  }
  return std::nullopt;
}

std::string readWholeFile(const std::string& name, std::string& text) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      return std::strerror(error);
    }
    if (got == 0) break;
    if (text.size() > kMaxWholeFile) {
      ::close(fd);
      return "too large to read";
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return "";
}

bool isOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& name) {
  const std::string& arg = args[i];
  if (arg == name) return i + 1 < args.size() ? args[++i] : std::string();
  if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
  return std::nullopt;
}

bool isRoomNumber(const std::string& text) {
  std::size_t pos = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (pos == text.size()) return false;
  for (; pos < text.size(); ++pos) {
    if (!isDigit(text[pos])) return false;
  }
  return true;
}

}  // namespace rb
