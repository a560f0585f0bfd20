// RapidJSON's writers writing into an OutputStream, which sends the text
// on in blocks as it grows: a document of any size is never held whole.
// Characters are gathered in a small block of its own first: the writers
// give them one at a time.
#pragma once

#include <array>
#include <string_view>

#include "files/output_stream.h"

namespace rb {

class JsonOut {
 public:
  using Ch = char;

  explicit JsonOut(OutputStream& out) : out_(out) {}
  ~JsonOut() { send(); }
  JsonOut(const JsonOut&) = delete;
  JsonOut& operator=(const JsonOut&) = delete;

  // The next value or closing bracket begins a line (after its comma): a
  // compact document with a line for each item of a long array, which
  // reads quickly and diffs by item.
  void lineBeforeNext() { newline_ = true; }

  void Put(char c) {
    if (newline_) [[unlikely]] {
      newline_ = false;
      if (c == ',') {
        put(',');
        c = '\n';
      } else {
        put('\n');
      }
    }
    put(c);
  }
  void Flush() { send(); }
  // Characters the writers did not make (a string already quoted and
  // escaped), all at once.
  void append(std::string_view text) {
    if (newline_) {
      newline_ = false;
      put('\n');
    }
    if (text.size() > block_.size() - used_) {
      send();
      if (text.size() > block_.size()) {
        out_.buffer().append(text);
        out_.print();
        return;
      }
    }
    text.copy(block_.data() + used_, text.size());
    used_ += text.size();
  }

  // Hands what is gathered to the output stream, which writes it out once
  // it holds a block.
  void send() {
    out_.buffer().append(block_.data(), used_);
    used_ = 0;
    out_.print();
  }

 private:
  void put(char c) {
    if (used_ == block_.size()) [[unlikely]]
      send();
    block_[used_++] = c;
  }

  OutputStream& out_;
  std::array<char, 16 * 1024> block_;
  std::size_t used_ = 0;
  bool newline_ = false;
};

}  // namespace rb
