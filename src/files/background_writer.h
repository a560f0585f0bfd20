// Writes blocks to a file on a thread of its own, in the order they are
// handed over, one block at a time: while the system copies one block into
// its cache, the caller makes the next. A file of a million rooms is
// written in about the time it takes to make its bytes, not that and the
// copying after it.
//
// A failed write is told at the next hand-over or wait, with its errno; what
// is handed over after it is not written.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "base/background_job.h"

namespace rb {

// Starts the disk on the bytes [offset, offset + length) of a file written,
// without waiting, so that a sync at the end waits for little more than
// the last of them (where the system can; otherwise nothing).
void startWriteback(int fd, off_t offset, off_t length);

class BackgroundWriter {
 public:
  explicit BackgroundWriter(int fd) : fd_(fd) {}

  // Hands over a copy of `text`, to be written after all handed over
  // before; waits while the block before it is still being written. False
  // (errno set) when an earlier write failed.
  bool write(std::string_view text);
  // As write, but takes `text`'s bytes instead of copying them: `text` is
  // left empty, holding the room of a block written before.
  bool writeTaking(std::string& text);
  // Waits until all that was handed over is written. False (errno set)
  // when a write failed.
  bool wait();

 private:
  void start();  // writes block_ on the job's thread

  int fd_;
  std::string block_;  // the block being written
  int error_ = 0;      // of the first write that failed
  BackgroundJob job_;  // last: ends (waiting for its job) before the block goes
};

}  // namespace rb
