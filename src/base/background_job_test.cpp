// Background jobs: each runs after the one before, on another thread, what
// one throws is thrown by the next wait, and the thread takes no signal.
#include "base/background_job.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <stdexcept>
#include <vector>

namespace rb {
namespace {

TEST(BackgroundJob, JobsRunInTurnAndWhatOneThrowsComesBack) {
  std::vector<int> done;
  bool sawSignalBlocked = true;
  {
    BackgroundJob job;
    for (int k = 0; k < 200; ++k) {
      job.start([&done, &sawSignalBlocked, k] {
        EXPECT_EQ(done.size(), static_cast<std::size_t>(k));  // the one before has finished
        done.push_back(k);
        sigset_t mask;
        pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        sawSignalBlocked = sawSignalBlocked && sigismember(&mask, SIGINT) == 1;
      });
    }
    job.wait();
    EXPECT_EQ(done.size(), 200u);
    job.start([] { throw std::runtime_error("failed"); });
    EXPECT_THROW(job.wait(), std::runtime_error);
    job.wait();  // thrown once
    job.start([&done] { done.push_back(-1); });
  }  // the last job is waited for
  EXPECT_EQ(done.back(), -1);
  EXPECT_TRUE(sawSignalBlocked);
}

}  // namespace
}  // namespace rb
