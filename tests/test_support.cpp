#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/program.h"
#include "terminal/console.h"

namespace rb::test {

const char* const kBanner =
    "Welcome to Varneth Room Builder 1.17\n\n"
    "This program was written by Haldrun,\n"
    "and designed to create rooms for use\n"
    "in the world of Varneth.\n\n"
    "Changes from versions 1.15-1.17 by Tesk.\n\n"
    "Ported to UNIX by Tesk.\n\n";

const char* const kMainMenu =
    "Please Select your option:\n"
    "0: Exit Varneth Room Builder.\n"
    "1: Create New Room(s).\n"
    "2: Append Room File.\n"
    "3: Edit Rooms During File Transfer.\n"
    "4: Explore Room File.\n"
    "s: Edit Setup of Tov.\n";

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rbtest.XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool fileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

RunResult runInProcess(const std::string& input) {
  Console con(input);
  RunResult result;
  result.status = runProgram(con);
  result.out = con.output();
  return result;
}

namespace {

int decodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

// Feeds `input` to the child's standard input and collects its standard
// output and error, all at once, so that no pipe can fill up and stall.
RunResult talkTo(pid_t child, int toChild, int fromChild, int errFromChild,
                 const std::string& input) {
  RunResult result;
  std::size_t sent = 0;
  if (input.empty()) {
    close(toChild);
    toChild = -1;
  }
  while (fromChild >= 0 || errFromChild >= 0) {
    struct pollfd fds[3] = {
        {fromChild, POLLIN, 0}, {errFromChild, POLLIN, 0}, {toChild, POLLOUT, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (toChild >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t n = write(toChild, input.data() + sent, input.size() - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
      if (n < 0 || sent == input.size()) {
        close(toChild);
        toChild = -1;
      }
    }
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? fromChild : errFromChild;
      if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[65536];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) {
        close(fd);
        fd = -1;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<std::size_t>(n));
      }
    }
  }
  if (toChild >= 0) close(toChild);
  int raw = 0;
  waitpid(child, &raw, 0);
  result.status = decodeStatus(raw);
  return result;
}

RunResult runChild(const std::string& input, const std::string& dir, const char* path,
                   char* const argv[], const std::function<void()>& beforeExec = {}) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  // A child that stops reading must not kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  pid_t child = fork();
  if (child == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
      close(fd);
    if (chdir(dir.c_str()) != 0) _exit(126);
    if (beforeExec) beforeExec();
    execv(path, argv);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  return talkTo(child, in[1], out[0], err[0], input);
}

}  // namespace

RunResult runBinary(const std::string& input, const std::string& dir,
                    const std::vector<std::string>& args, const std::function<void()>& beforeExec) {
  std::vector<char*> argv = {const_cast<char*>(ROOMBUILDER_BINARY)};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return runChild(input, dir, ROOMBUILDER_BINARY, argv.data(), beforeExec);
}

RunResult runBinaryAsUser(unsigned id, const std::string& input, const std::string& dir,
                          const std::vector<std::string>& args) {
  TempDir copyDir;
  const std::string copy = copyDir.file("roombuilder");
  std::filesystem::copy_file(ROOMBUILDER_BINARY, copy);
  chmod(copyDir.path().c_str(), 0755);
  chmod(copy.c_str(), 0755);
  std::vector<char*> argv = {const_cast<char*>(copy.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return runChild(input, dir, copy.c_str(), argv.data(), [&] {
    if (setgid(id) != 0 || setuid(id) != 0 || access(copy.c_str(), X_OK) != 0 ||
        access(dir.c_str(), W_OK | X_OK) != 0) {
      _exit(kCannotRunAsUser);
    }
  });
}

RunResult runShell(const std::string& command, const std::string& dir) {
  char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                  const_cast<char*>(command.c_str()), nullptr};
  return runChild("", dir, "/bin/sh", argv);
}

}  // namespace rb::test
