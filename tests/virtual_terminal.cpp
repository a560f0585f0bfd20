#include "virtual_terminal.h"

#include <algorithm>
#include <stdexcept>

#include "base/utf8.h"

namespace rb::test {

VirtualTerminal::VirtualTerminal(int width, int height)
    : width_(width),
      height_(height),
      cells_(static_cast<std::size_t>(height),
             std::vector<std::string>(static_cast<std::size_t>(width))) {}

void VirtualTerminal::lineFeed() {
  pending_ = false;
  col_ = 0;
  if (row_ + 1 < height_) {
    ++row_;
  } else {
    cells_.erase(cells_.begin());
    cells_.emplace_back(static_cast<std::size_t>(width_));
  }
}

void VirtualTerminal::put(std::string_view character, int columns) {
  if (columns == 0) return;  // drawn on the character before it
  if (pending_ || col_ + columns > width_) lineFeed();
  auto& line = cells_[static_cast<std::size_t>(row_)];
  line[static_cast<std::size_t>(col_)] = std::string(character);
  if (columns == 2) line[static_cast<std::size_t>(col_ + 1)] = std::string(1, '\0');
  if (col_ + columns == width_) {
    col_ = width_ - 1;
    pending_ = true;
  } else {
    col_ += columns;
  }
}

void VirtualTerminal::write(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const char c = bytes[pos];
    if (c == '\x1b') {
      if (pos + 1 >= bytes.size() || bytes[pos + 1] != '[') throw std::runtime_error("bad ESC");
      std::size_t end = pos + 2;
      int count = 0;
      bool any = false;
      while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9') {
        count = count * 10 + (bytes[end++] - '0');
        any = true;
      }
      if (end >= bytes.size()) throw std::runtime_error("cut sequence");
      if (!any) count = 1;
      pending_ = false;
      switch (bytes[end]) {
        case 'A':
          row_ = std::max(0, row_ - count);
          break;
        case 'B':
          row_ = std::min(height_ - 1, row_ + count);
          break;
        case 'C':
          col_ = std::min(width_ - 1, col_ + count);
          break;
        case 'D':
          col_ = std::max(0, col_ - count);
          break;
        case 'J': {
          auto& line = cells_[static_cast<std::size_t>(row_)];
          std::fill(line.begin() + col_, line.end(), std::string());
          for (std::size_t r = static_cast<std::size_t>(row_) + 1; r < cells_.size(); ++r)
            std::fill(cells_[r].begin(), cells_[r].end(), std::string());
          break;
        }
        default:
          throw std::runtime_error("unknown sequence " +
                                   std::string(bytes.substr(pos, end - pos + 1)));
      }
      pos = end + 1;
      continue;
    }
    if (c == '\r') {
      col_ = 0;
      pending_ = false;
      ++pos;
    } else if (c == '\n') {
      lineFeed();
      ++pos;
    } else if (c == '\a') {
      ++pos;
    } else if (c == '\t') {
      if (!pending_) col_ = std::min((col_ / 8 + 1) * 8, width_ - 1);
      ++pos;
    } else {
      const std::size_t length = characterLength(bytes, pos);
      put(bytes.substr(pos, length), characterColumns(bytes, pos));
      pos += length;
    }
  }
}

std::string VirtualTerminal::row(int r) const {
  std::string text;
  std::size_t blanks = 0;
  for (const std::string& cell : cells_[static_cast<std::size_t>(r)]) {
    if (cell.empty()) {
      ++blanks;
    } else if (cell != std::string(1, '\0')) {
      text.append(blanks, ' ');
      blanks = 0;
      text += cell;
    }
  }
  return text;
}

std::vector<std::string> VirtualTerminal::rows() const {
  std::vector<std::string> all;
  for (int r = 0; r < height_; ++r)
    all.push_back(row(r));
  while (!all.empty() && all.back().empty())
    all.pop_back();
  return all;
}

}  // namespace rb::test
