#include "tools/json/mudlet_map.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace rb {
namespace {

Exits exitsOf(std::initializer_list<std::pair<int, int>> list) {
  Exits exits;
  exits.fill(kNoExit);
  for (const auto& [slot, destination] : list)
    exits[static_cast<std::size_t>(slot)] = destination;
  return exits;
}

TEST(MudletMap, PanelsStandAboveBelowAndBesideEachOther) {
  // 1 north to 2; 2 up to 3; 3 east to 4; 1 in to 5; 7 down to 8; 6 alone.
  AreaGraph graph;
  graph.add(1, exitsOf({{1, 2}, {11, 5}}));
  graph.add(2, exitsOf({{2, 1}, {9, 3}}));
  graph.add(3, exitsOf({{3, 4}}));
  graph.add(4, exitsOf({}));
  graph.add(5, exitsOf({{4, 7}}));
  graph.add(6, exitsOf({}));
  graph.add(7, exitsOf({{10, 8}}));
  graph.add(8, exitsOf({{1, 9}}));
  graph.add(9, exitsOf({}));
  graph.finish();
  const AreaLayout layout = layOut(graph, 0, graph.size(), 0);
  const auto at = mapCoordinates(graph, layout);
  using C = std::array<int, 3>;
  // The first panel's top row is y 0: 2 north of 1.
  EXPECT_EQ(at[0], (C{0, -1, 0}));
  EXPECT_EQ(at[1], (C{0, 0, 0}));
  // Up from 2: 3 stands over it, one level higher, 4 east of it.
  EXPECT_EQ(at[2], (C{0, 0, 1}));
  EXPECT_EQ(at[3], (C{1, 0, 1}));
  // In from 1: the panel of 7 and 5 beside the first, a column between.
  EXPECT_EQ(at[6], (C{2, 0, 0}));
  EXPECT_EQ(at[4], (C{3, 0, 0}));
  // Down from 7: 8 under it, 9 north of 8.
  EXPECT_EQ(at[7], (C{2, 0, -1}));
  EXPECT_EQ(at[8], (C{2, 1, -1}));
  // Joined to nothing: beside the rest.
  EXPECT_EQ(at[5], (C{5, 0, 0}));
}

// On random areas of every shape: each panel keeps the grid `map` draws
// (east +x, north +y), and no two rooms share a place.
TEST(MudletMap, CoordinatesKeepTheGridOfTheMapAndNeverCollide) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    AreaGraph graph;
    const int rooms = 1 + static_cast<int>(random() % 60);
    for (int n = 1; n <= rooms; ++n) {
      Exits exits = exitsOf({});
      for (int slot = 1; slot <= kExitCount; ++slot) {
        if (random() % 5 == 0)
          exits[static_cast<std::size_t>(slot)] =
              1 + static_cast<int>(random() % static_cast<unsigned>(rooms));
      }
      graph.add(n, exits);
    }
    graph.finish();
    const AreaLayout layout = layOut(graph, 0, graph.size(), 0);
    const auto at = mapCoordinates(graph, layout);
    std::set<std::array<int, 3>> places(at.begin(), at.end());
    ASSERT_EQ(places.size(), at.size()) << round;
    for (std::size_t a = 0; a < at.size(); ++a) {
      for (std::size_t b = 0; b < at.size(); ++b) {
        const GridCell& ca = layout.cells[a];
        const GridCell& cb = layout.cells[b];
        if (ca.panel != cb.panel) continue;
        ASSERT_EQ(at[b][0] - at[a][0], cb.col - ca.col) << round;
        ASSERT_EQ(at[b][1] - at[a][1], ca.row - cb.row) << round;
        ASSERT_EQ(at[b][2], at[a][2]) << round;
      }
    }
  }
}

}  // namespace
}  // namespace rb
