#include "pty_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace rb::test {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline(int timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

int decodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

[[noreturn]] void execProgram(const std::string& dir, const PtyOptions& options) {
  if (chdir(dir.c_str()) != 0) _exit(126);
  setenv("TERM", options.term.c_str(), 1);
  // Started as a shell starts a program: every signal at its default and
  // none blocked, whatever the test process itself ignores (an earlier test
  // in the same process may ignore SIGPIPE, which the program would keep).
  for (int sig = 1; sig < NSIG; ++sig)
    if (sig != SIGKILL && sig != SIGSTOP) signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  if (options.ignoreHangup) signal(SIGHUP, SIG_IGN);
  // Tests end the program by signals that would dump core.
  struct rlimit noCore = {0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  std::vector<char*> argv;
  for (const std::string& arg : options.wrapper)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(const_cast<char*>(ROOMBUILDER_BINARY));
  for (const std::string& arg : options.args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execvp(argv.front(), argv.data());
  _exit(127);
}

// The session leader: puts the program in a process group of its own in
// the foreground, as a job-control shell does, and ends as the program
// ends.
[[noreturn]] void runJob(int slave, int report, const std::string& dir, const PtyOptions& options) {
  setsid();
  ioctl(slave, TIOCSCTTY, 0);
  const pid_t program = fork();
  if (program == 0) {
    setpgid(0, 0);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(slave, STDERR_FILENO);
    close(slave);
    close(report);
    execProgram(dir, options);
  }
  setpgid(program, program);
  // The shell's own stop signals must not stop it while it hands over.
  signal(SIGTTOU, SIG_IGN);
  tcsetpgrp(slave, program);
  if (write(report, &program, sizeof program) != sizeof program) _exit(125);
  close(report);
  int raw = 0;
  while (waitpid(program, &raw, 0) < 0) {
  }
  if (WIFSIGNALED(raw)) {
    signal(WTERMSIG(raw), SIG_DFL);
    kill(getpid(), WTERMSIG(raw));
  }
  _exit(WIFEXITED(raw) ? WEXITSTATUS(raw) : 125);
}

}  // namespace

PtySession::PtySession(const std::string& dir, const PtyOptions& options) {
  struct winsize size {};
  size.ws_col = options.columns;
  size.ws_row = 24;
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
    throw std::runtime_error("openpty failed");
  }
  if (options.timedReads) {
    struct termios attrs {};
    tcgetattr(slave_, &attrs);
    attrs.c_cc[VMIN] = 0;
    attrs.c_cc[VTIME] = 10;
    tcsetattr(slave_, TCSANOW, &attrs);
  }
  int report[2];
  if (pipe(report) != 0) throw std::runtime_error("pipe failed");
  child_ = fork();
  if (child_ == 0) {
    close(master_);
    close(report[0]);
    runJob(slave_, report[1], dir, options);
  }
  close(report[1]);
  if (read(report[0], &program_, sizeof program_) != sizeof program_) program_ = -1;
  close(report[0]);
}

PtySession::~PtySession() {
  if (program_ > 0) kill(program_, SIGKILL);
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  close(master_);
  close(slave_);
}

void PtySession::send(const std::string& keys) {
  if (write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
    throw std::runtime_error("write to terminal failed");
  }
}

void PtySession::type(const std::string& keys, bool lineMode) {
  if (!waitForFlags(ICANON | ECHO, lineMode)) throw std::runtime_error("the program does not wait");
  send(keys);
}

std::string PtySession::startArea(const std::string& rooms, const std::string& data,
                                  bool lineMode) {
  std::string screen = readUntil("s: Edit Setup of Tov.\r\n");
  const std::pair<std::string, const char*> steps[] = {{"1", "same directory as this program.\r\n"},
                                                       {rooms + "\r", "data file.\r\n"},
                                                       {data + "\r", "first room number?\r\n"},
                                                       {"1 1\r", "(y/n)\r\n"},
                                                       {"y", "(e.g. vosmer)\r\n"},
                                                       {"r\r", "region number?\r\n"},
                                                       {"1\r", "(y/n)\r\n"},
                                                       {"n", "18: Divine"},
                                                       {"1\r", "9: See summary of room.\r\n"}};
  for (const auto& [keys, until] : steps) {
    // Single keys are read in keystroke mode whatever the terminal.
    type(keys, lineMode && keys.size() > 1);
    screen += readUntil(until);
  }
  return screen;
}

std::string PtySession::readUntil(const std::string& text, int timeoutMs) {
  const auto end = deadline(timeoutMs);
  for (;;) {
    const std::size_t at = pending_.find(text);
    if (at != std::string::npos) {
      std::string upTo = pending_.substr(0, at + text.size());
      pending_.erase(0, at + text.size());
      return upTo;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return pending_;
    struct pollfd fd = {master_, POLLIN, 0};
    // Looks in short slices so that a program that has ended fails the
    // step at once instead of after the whole wait; what it wrote before
    // it ended is still read first.
    if (poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 200))) <= 0) {
      if (!alive() && poll(&fd, 1, 0) <= 0) return pending_;
      continue;
    }
    char buf[4096];
    const ssize_t got = read(master_, buf, sizeof buf);
    if (got <= 0) return pending_;
    pending_.append(buf, static_cast<std::size_t>(got));
  }
}

std::string PtySession::drain(int quietMs) {
  for (;;) {
    struct pollfd fd = {master_, POLLIN, 0};
    if (poll(&fd, 1, quietMs) <= 0) break;
    char buf[4096];
    const ssize_t got = read(master_, buf, sizeof buf);
    if (got <= 0) break;
    pending_.append(buf, static_cast<std::size_t>(got));
  }
  std::string all;
  all.swap(pending_);
  return all;
}

tcflag_t PtySession::localFlags() const {
  struct termios attrs {};
  tcgetattr(slave_, &attrs);
  return attrs.c_lflag;
}

bool PtySession::waitForFlags(tcflag_t flags, bool set, int timeoutMs) {
  const auto end = deadline(timeoutMs);
  while (Clock::now() < end) {
    const tcflag_t now = localFlags() & flags;
    if (set ? now == flags : now == 0) return true;
    if (!alive()) return false;  // an ended program waits for nothing
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool PtySession::waitForStopped(bool stopped, int timeoutMs) {
  const auto end = deadline(timeoutMs);
  while (Clock::now() < end) {
    std::ifstream stat("/proc/" + std::to_string(program_) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The state follows the command name in parentheses.
    const std::size_t close = line.rfind(')');
    if (close != std::string::npos && close + 2 < line.size()) {
      const bool isStopped = line[close + 2] == 'T';
      if (isStopped == stopped) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

int PtySession::wait(int timeoutMs) {
  const auto end = deadline(timeoutMs);
  while (Clock::now() < end) {
    int raw = 0;
    if (waitpid(child_, &raw, WNOHANG) == child_) {
      child_ = -1;
      program_ = -1;
      return decodeStatus(raw);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

bool PtySession::alive() {
  if (child_ <= 0) return false;
  siginfo_t info{};
  // Looks without collecting the status, which wait() still reports.
  if (waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
    return false;
  return info.si_pid == 0;
}

}  // namespace rb::test
