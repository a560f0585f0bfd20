// Input bytes waiting to be read, and where more come from: a descriptor, a
// string given once, or a producer such as the line editor.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace rb {

class ByteQueue {
 public:
  // Appends more bytes to `into`; false when input has ended.
  using Source = std::function<bool(std::string& into)>;
  // Whether input is ready to be fetched within `ms` milliseconds.
  using Waiter = std::function<bool(int ms)>;

  ByteQueue() = default;
  explicit ByteQueue(std::string all) : data_(std::move(all)) {}
  ByteQueue(Source source, Waiter waiter = {})
      : source_(std::move(source)), waiter_(std::move(waiter)) {}

  // The byte `ahead` places past the next one, fetching as needed; -1 when
  // input ends first.
  int peek(std::size_t ahead = 0) {
    while (data_.size() - pos_ <= ahead) {
      if (!fill()) return -1;
    }
    return static_cast<unsigned char>(data_[pos_ + ahead]);
  }

  // As peek, but a queue with a waiter gives up after `ms` milliseconds
  // without a byte (and returns -1 then, with input not ended).
  int peekWithin(std::size_t ahead, int ms);

  void skip(std::size_t count = 1) { pos_ += count; }

  // The bytes already in memory, without fetching.
  std::string_view buffered() const { return std::string_view(data_).substr(pos_); }

  // Fetches more bytes; false when input has ended.
  bool fill();

  bool ended() const { return ended_; }
  // Ends input here: later reads find nothing (Ctrl-D on an empty line).
  void end() {
    ended_ = true;
    data_.erase(0, pos_);
    pos_ = 0;
  }

 private:
  void compact();

  std::string data_;
  std::size_t pos_ = 0;
  Source source_;
  Waiter waiter_;
  bool ended_ = false;
};

}  // namespace rb
