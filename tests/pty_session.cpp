#include "pty_session.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace rb::test {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline(int timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

}  // namespace

PtySession::PtySession(const std::string& dir) {
  if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  child_ = fork();
  if (child_ == 0) {
    setsid();
    ioctl(slave_, TIOCSCTTY, 0);
    dup2(slave_, STDIN_FILENO);
    dup2(slave_, STDOUT_FILENO);
    dup2(slave_, STDERR_FILENO);
    close(master_);
    close(slave_);
    if (chdir(dir.c_str()) != 0) _exit(126);
    execl(ROOMBUILDER_BINARY, ROOMBUILDER_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
}

PtySession::~PtySession() {
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
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[4096];
    const ssize_t got = read(master_, buf, sizeof buf);
    if (got <= 0) return pending_;
    pending_.append(buf, static_cast<std::size_t>(got));
  }
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
      if (WIFEXITED(raw)) return WEXITSTATUS(raw);
      if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

}  // namespace rb::test
