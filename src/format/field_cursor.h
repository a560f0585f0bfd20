// Reading the fields of what the room writer writes, piece by piece.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "format/c_string_literal.h"
#include "format/record_format.h"

namespace rb {

// A reading position in a record or a data row, with the writer's pieces
// (record_format.h) as steps. A strict cursor takes numbers and texts only
// in the one form the writer writes them in, so that what it reads whole is
// exactly the writer's.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view text, bool strict = false) : text_(text), strict_(strict) {}

  bool at(std::string_view piece) const { return text_.substr(pos_, piece.size()) == piece; }
  bool take(std::string_view piece) {
    if (!at(piece)) return false;
    pos_ += piece.size();
    return true;
  }
  bool takeInt(int& value) {
    if (strict_) return takeWrittenInt(text_, pos_, value);
    const char* begin = text_.data() + pos_;
    const auto [end, error] = std::from_chars(begin, text_.data() + text_.size(), value);
    if (error != std::errc()) return false;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    pos_ += length;
    return true;
  }
  // A text up to the escape \n that the writer puts after it.
  bool takeLine(std::string& text) {
    if (!decode(text, false)) return false;
    return take(format::kTextLineEnd);
  }
  // A text up to the double quote that closes its literal.
  bool takeQuoted(std::string& text) {
    if (!decode(text, true)) return false;
    return at("\"");
  }
  bool strict() const { return strict_; }
  // The text up to `piece`, which is taken too.
  bool takeUntil(std::string_view piece, std::string_view& text) {
    const std::size_t end = text_.find(piece, pos_);
    if (end == std::string_view::npos) return false;
    text = text_.substr(pos_, end - pos_);
    pos_ = end + piece.size();
    return true;
  }
  bool atEnd() const { return pos_ == text_.size(); }

 private:
  bool decode(std::string& text, bool toQuote) {
    if (strict_) return decodeCanonical(text_, pos_, text, toQuote);
    decodeEscaped(text_, pos_, text, toQuote);
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  bool strict_;
};

}  // namespace rb
