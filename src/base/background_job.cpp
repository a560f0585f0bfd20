#include "base/background_job.h"

#include <pthread.h>
#include <signal.h>

#include <utility>

namespace rb {

BackgroundJob::BackgroundJob() {
  // The thread starts with every signal blocked, and so keeps them.
  sigset_t all, before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  thread_ = std::thread([this] { run(); });
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

BackgroundJob::~BackgroundJob() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundJob::start(std::function<void()> job) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    job_ = std::move(job);
    busy_ = true;
  }
  changed_.notify_all();
}

void BackgroundJob::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
}

void BackgroundJob::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stop_; });
    if (!busy_) return;  // stopped, nothing left to run
    // The job's data are the job's alone while busy_: it runs unlocked.
    lock.unlock();
    try {
      job_();
    } catch (...) {
      thrown_ = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace rb
