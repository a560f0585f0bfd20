#include "terminal/byte_queue.h"

namespace rb {

void ByteQueue::compact() {
  if (pos_ == data_.size()) {
    data_.clear();
    pos_ = 0;
  } else if (pos_ > 0) {
    data_.erase(0, pos_);
    pos_ = 0;
  }
}

bool ByteQueue::fill() {
  if (ended_ || !source_) {
    ended_ = true;
    return false;
  }
  compact();
  const std::size_t before = data_.size();
  while (data_.size() == before) {
    if (!source_(data_)) {
      ended_ = true;
      return data_.size() > before;
    }
  }
  return true;
}

int ByteQueue::peekWithin(std::size_t ahead, int ms) {
  while (data_.size() - pos_ <= ahead) {
    if (ended_) return -1;
    if (waiter_ && !waiter_(ms)) return -1;
    if (!fill()) return -1;
  }
  return static_cast<unsigned char>(data_[pos_ + ahead]);
}

}  // namespace rb
