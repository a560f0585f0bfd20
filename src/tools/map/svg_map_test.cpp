// The map's geometry as a property, on areas made to trouble a layout:
// grids with holes, chains that bend back on themselves, links that skip
// over rooms. However the rooms fall, no line or arrow of an exit passes
// through a room that is not one of its ends, every room is drawn once, and
// every name is shown whole.
#include "tools/map/svg_map.h"

#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <random>
#include <regex>

#include "test_support.h"
#include "world_texts.h"

namespace rb {
namespace {

struct Box {
  double left, top, right, bottom;
};
struct Point {
  double x, y;
};

// Whether the segment from a to b passes through the inside of the box:
// points half a unit apart along it, each looked at (a way of its own, not
// the clipping the map is drawn with, so that a fault there shows here).
bool passesThrough(Point a, Point b, const Box& box) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const int steps = static_cast<int>(std::ceil(length / 0.5)) + 1;
  constexpr double kEdge = 0.01;  // touching an edge is not passing through
  for (int k = 0; k <= steps; ++k) {
    const double t = static_cast<double>(k) / steps;
    const double x = a.x + (b.x - a.x) * t, y = a.y + (b.y - a.y) * t;
    if (x > box.left + kEdge && x < box.right - kEdge && y > box.top + kEdge &&
        y < box.bottom - kEdge) {
      return true;
    }
  }
  return false;
}

struct Drawn {
  std::map<int, Box> boxes;
  std::map<int, std::string> names;  // the name lines of each box, joined
  // Each exit's segments, with the rooms it may touch.
  struct Path {
    int from, to;  // to: -1 for a stub
    std::vector<Point> points;
  };
  std::vector<Path> paths;
};

Drawn parse(const std::string& svg) {
  Drawn drawn;
  const std::regex room(
      "data-room=\"(-?\\d+)\"><title>[^<]*</title><rect x=\"(-?[\\d.]+)\" y=\"(-?[\\d.]+)\" "
      "width=\"([\\d.]+)\" height=\"([\\d.]+)\"[^>]*>(.*?)</g>");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), room); it != std::sregex_iterator();
       ++it) {
    const int number = std::stoi((*it)[1]);
    EXPECT_EQ(drawn.boxes.count(number), 0u) << "room drawn twice: " << number;
    const double x = std::stod((*it)[2]), y = std::stod((*it)[3]);
    drawn.boxes[number] = {x, y, x + std::stod((*it)[4]), y + std::stod((*it)[5])};
    const std::string inside = (*it)[6];
    const std::regex line("<tspan x=\"[^\"]*\" y=\"[^\"]*\">([^<]*)</tspan>");
    std::string joined;
    for (auto l = std::sregex_iterator(inside.begin(), inside.end(), line);
         l != std::sregex_iterator(); ++l)
      joined += (*l)[1];
    drawn.names[number] = joined;
  }
  const std::regex line(
      "<line x1=\"(-?[\\d.]+)\" y1=\"(-?[\\d.]+)\" x2=\"(-?[\\d.]+)\" y2=\"(-?[\\d.]+)\" "
      "class=\"(link|missing|other)\"[^>]* data-from=\"(-?\\d+)\"(?: data-to=\"(-?\\d+)\")?");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator();
       ++it) {
    drawn.paths.push_back(
        {std::stoi((*it)[6]),
         (*it)[7].matched ? std::stoi((*it)[7]) : -1,
         {{std::stod((*it)[1]), std::stod((*it)[2])}, {std::stod((*it)[3]), std::stod((*it)[4])}}});
  }
  const std::regex path(
      "<path d=\"M([^\"]*)\" class=\"link\" data-from=\"(-?\\d+)\" data-to=\"(-?\\d+)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    Drawn::Path p{std::stoi((*it)[2]), std::stoi((*it)[3]), {}};
    const std::string d = (*it)[1];
    const std::regex point("(-?[\\d.]+),(-?[\\d.]+)");
    for (auto q = std::sregex_iterator(d.begin(), d.end(), point); q != std::sregex_iterator(); ++q)
      p.points.push_back({std::stod((*q)[1]), std::stod((*q)[2])});
    drawn.paths.push_back(p);
  }
  return drawn;
}

std::string withoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

// Draws the rooms as one area and checks the picture.
void expectAGoodMap(const std::vector<WorkingRoom>& rooms, const std::string& what) {
  test::TempDir dir;
  std::string text;
  for (const WorkingRoom& room : rooms)
    text += roomRecord(room);
  test::writeFile(dir.file("area.c"), text);
  World world;
  RoomNames names;
  WorldReading reading;
  reading.visitor = [&](std::size_t, const WorkingRoom& room, const RecordText&) {
    names.add(room.shortname);
  };
  world.read({dir.file("area.c")}, reading);
  OutputStream out(-1);
  writeSvgMap(world, names, AreaGraph::kNone, out);
  const Drawn drawn = parse(out.text());
  ASSERT_EQ(drawn.boxes.size(), rooms.size()) << what;
  for (const WorkingRoom& room : rooms) {
    EXPECT_EQ(withoutBlanks(drawn.names.at(room.room)), withoutBlanks(room.shortname)) << what;
  }
  for (const Drawn::Path& path : drawn.paths) {
    for (std::size_t k = 1; k < path.points.size(); ++k) {
      for (const auto& [number, box] : drawn.boxes) {
        if (number == path.from || number == path.to) continue;
        ASSERT_FALSE(passesThrough(path.points[k - 1], path.points[k], box))
            << what << ": the exit from room " << path.from << " to room " << path.to
            << " passes through room " << number;
      }
    }
  }
}

// Room names of many lengths, with words longer than a line.
std::string nameOf(int number) {
  static const char* const words[] = {
      "Forest", "Edge", "of", "the", "Misty", "Mountains", "Extraordinarilylongword", "Inn"};
  std::string name;
  for (int k = 0; k <= number % 6; ++k) {
    if (!name.empty()) name += ' ';
    name += words[(number + k) % 8];
  }
  return name;
}

TEST(SvgMap, TheCaseOfARoomBetweenTwoJoinedRooms) {
  // 3 and 5 joined east-west; 4, whose only exit is west to 3, would stand
  // between them.
  expectAGoodMap({test::worldRoom(3, "Three", {{3, 5}}), test::worldRoom(4, "Four", {{4, 3}}),
                  test::worldRoom(5, "Five", {{4, 3}})},
                 "3-4-5");
}

TEST(SvgMap, NoExitThroughARoomOnAreasMadeToTroubleTheLayout) {
  std::mt19937 random(18);
  for (int round = 0; round < 40; ++round) {
    std::vector<WorkingRoom> rooms;
    const int width = 3 + static_cast<int>(random() % 6),
              height = 3 + static_cast<int>(random() % 6);
    const auto number = [&](int col, int row) { return 1 + row * width + col; };
    std::vector<bool> hole(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < hole.size(); ++i)
      hole[i] = random() % 5 == 0;
    for (int row = 0; row < height; ++row) {
      for (int col = 0; col < width; ++col) {
        if (hole[static_cast<std::size_t>(number(col, row) - 1)]) continue;
        WorkingRoom room = test::worldRoom(number(col, row), nameOf(number(col, row)), {});
        // Exits to the neighbours that are there, in all eight directions.
        for (const ExitSlot& exit : kExitSlots) {
          const int c = col + exit.gridCol, r = row + exit.gridRow;
          if (!exit.onGrid() || c < 0 || r < 0 || c >= width || r >= height) continue;
          if (hole[static_cast<std::size_t>(number(c, r) - 1)] || random() % 3 == 0) continue;
          room.exitd[static_cast<std::size_t>(exit.slot)] = number(c, r);
        }
        // Now and then an exit that skips far across the grid, or to a
        // missing room, or up.
        if (random() % 6 == 0)
          room.exitd[3] = 1 + static_cast<int>(random() % static_cast<unsigned>(width * height));
        if (random() % 9 == 0) room.exitd[1] = 999;
        if (random() % 9 == 0) room.exitd[9] = number(0, 0);
        rooms.push_back(room);
      }
    }
    // A chain that turns back on itself: east, north, then west over the
    // cells it has passed, so that its rooms must go elsewhere.
    const int first = 1000 + round * 100;
    const int length = 4 + static_cast<int>(random() % 8);
    for (int k = 0; k < 3 * length; ++k) {
      const int slot = k < length ? 3 : k < 2 * length ? 1 : 4;
      WorkingRoom room = test::worldRoom(first + k, nameOf(k), {{slot, first + k + 1}});
      room.exitd[static_cast<std::size_t>(exitSlot(slot).opposite)] = k > 0 ? first + k - 1 : -1;
      rooms.push_back(room);
    }
    rooms.back().exitd[4] = -1;
    expectAGoodMap(rooms, "round " + std::to_string(round));
  }
}

// The labels of stubs out of the rooms at a panel's edges (exits to missing
// rooms and into other files, whose names may be long) lie inside the
// picture, at the 6 pixels a character of their 10-pixel font takes.
TEST(SvgMap, StubLabelsInsideThePicture) {
  test::TempDir dir;
  const std::string far = dir.file("a-file-with-a-rather-long-name-for-the-far-road.c");
  test::writeFile(dir.file("town.c"),
                  roomRecord(test::worldRoom(1, "Gate", {{4, 200}, {3, 999999}, {1, 201}})));
  test::writeFile(far, roomRecord(test::worldRoom(200, "Road", {{3, 1}})) +
                           roomRecord(test::worldRoom(201, "Lane", {})));
  World world;
  RoomNames names;
  WorldReading reading;
  reading.visitor = [&](std::size_t, const WorkingRoom& room, const RecordText&) {
    names.add(room.shortname);
  };
  world.read({dir.file("town.c"), far}, reading);
  OutputStream out(-1);
  writeSvgMap(world, names, AreaGraph::kNone, out);
  const std::string svg = out.text();
  std::smatch size;
  ASSERT_TRUE(std::regex_search(svg, size, std::regex("<svg [^>]*width=\"(\\d+)\"")));
  const double width = std::stod(size[1]);
  const std::regex label(
      "<text class=\"(?:missing|other)-text\" text-anchor=\"(start|end|middle)\" "
      "x=\"(-?[\\d.]+)\" y=\"[^\"]*\">([^<]*)</text>");
  int labels = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator();
       ++it, ++labels) {
    const double x = std::stod((*it)[2]), extent = 6.0 * static_cast<double>((*it)[3].length());
    const std::string anchor = (*it)[1];
    const double left = anchor == "start" ? x : anchor == "end" ? x - extent : x - extent / 2;
    EXPECT_GE(left, 0) << (*it)[0];
    EXPECT_LE(left + extent, width) << (*it)[0];
  }
  EXPECT_EQ(labels, 4);  // west and north to the far road, east to 999999, back east
}

// A world whose every room leads to one room (a hub), and a long chain:
// the picture's work is linear in the rooms, counted in slots of the grid's
// cell indexes looked at, not timed.
TEST(SvgMap, AHubWorldDrawsInLinearWork) {
  test::TempDir dir;
  constexpr int kRooms = 100000;
  for (const bool hub : {true, false}) {
    std::string text;
    for (int n = 0; n < kRooms; ++n) {
      WorkingRoom room = test::worldRoom(n, "Room", {});
      if (hub && n > 0) room.exitd[1] = 0;
      if (!hub && n + 1 < kRooms) room.exitd[3] = n + 1;
      text += roomRecord(room);
    }
    test::writeFile(dir.file("world.c"), text);
    World world;
    RoomNames names;
    WorldReading reading;
    reading.visitor = [&](std::size_t, const WorkingRoom& room, const RecordText&) {
      names.add(room.shortname);
    };
    world.read({dir.file("world.c")}, reading);
    OutputStream out(-1);
    const std::uint64_t work = writeSvgMap(world, names, AreaGraph::kNone, out);
    EXPECT_LT(work, 200u * kRooms) << (hub ? "hub" : "chain");
    // Both directions: no side of the picture is a hundred times the other.
    std::smatch size;
    const std::string head = out.text().substr(0, 300);
    ASSERT_TRUE(std::regex_search(head, size, std::regex("width=\"(\\d+)\" height=\"(\\d+)\"")));
    if (hub) {
      EXPECT_LT(std::stod(size[1]) / std::stod(size[2]), 10.0);
    }
  }
}

}  // namespace
}  // namespace rb
