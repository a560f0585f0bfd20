// One job at a time on a thread of its own, while the caller goes on: the
// program's second core at work on what can run beside the main thread
// (writing a file's blocks, reading records). The thread takes no signal:
// they go to the main thread, as they would without it.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace rb {

class BackgroundJob {
 public:
  BackgroundJob();
  ~BackgroundJob();  // waits for the job running, then ends the thread
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Starts `job` once the one before it is done (waiting for that).
  void start(std::function<void()> job);
  // Waits until the job started last is done; throws what it threw.
  void wait();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;  // the job to run or running, when busy_
  bool busy_ = false;
  bool stop_ = false;
  std::exception_ptr thrown_;
  std::thread thread_;
};

}  // namespace rb
