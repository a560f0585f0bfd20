// `roombuilder map`: a picture of a world as SVG, a section per room file,
// each holding its area's panels on the grid of area_layout.h. Rooms are
// boxes with their number and their whole short name (wrapped onto as many
// lines as it needs); two-way links are plain lines, one-way exits arrows;
// an exit to a missing room is a short red stub with its number, one into
// another file's room a blue dashed stub with that room's number and file.
// Up, down, in and out are marked on the room they leave. No line or arrow
// passes through the box of a room that is not one of its ends: a link that
// a straight line would draw through one goes around the boxes, along the
// lanes between them. The start room is marked; a legend says what the
// marks mean. The picture is written as it is made, never held whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/output_stream.h"
#include "world/world.h"

namespace rb {

// The short names of a world's rooms, by record, one after another.
class RoomNames {
 public:
  void add(std::string_view name) {
    text_.append(name);
    ends_.push_back(text_.size());
  }
  std::string_view name(std::size_t room) const {
    const std::size_t start = room == 0 ? 0 : ends_[room - 1];
    return std::string_view(text_).substr(start, ends_[room] - start);
  }

 private:
  std::string text_;
  std::vector<std::size_t> ends_;
};

// `start` is the room the first panel of its file's section is laid out
// from and that is marked (the first room of the first file when kNone).
// Returns the work done in the grid's cell indexes (slots looked at), which
// tests hold linear in the rooms on every shape of world.
std::uint64_t writeSvgMap(const World& world, const RoomNames& names, std::size_t start,
                          OutputStream& out);

}  // namespace rb
