#include "world/area_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace rb {
namespace {

Exits noExits() {
  Exits exits;
  exits.fill(kNoExit);
  return exits;
}

// Every room is placed once, in a cell of its own, and the index finds it
// there.
void expectEachRoomOnce(const AreaLayout& layout) {
  std::set<std::tuple<std::uint32_t, int, int>> cells;
  std::set<std::uint32_t> placed(layout.order.begin(), layout.order.end());
  EXPECT_EQ(placed.size(), layout.end - layout.first);
  EXPECT_EQ(layout.order.size(), layout.end - layout.first);
  for (std::size_t local = 0; local < layout.cells.size(); ++local) {
    const GridCell& cell = layout.cells[local];
    EXPECT_TRUE(cells.insert({cell.panel, cell.col, cell.row}).second);
    EXPECT_EQ(layout.index.at(cell.panel, cell.col, cell.row), local);
    const LayoutPanel& panel = layout.panels[cell.panel];
    EXPECT_GE(cell.col, 0);
    EXPECT_LT(cell.col, panel.cols);
    EXPECT_GE(cell.row, 0);
    EXPECT_LT(cell.row, panel.rows);
  }
}

TEST(AreaLayout, RoomsThatWouldShareACellEachGetTheirOwn) {
  // Every room claims the cell north of room 0: the first gets it, the next
  // ones stand beside room 0, the rest go further.
  AreaGraph graph;
  graph.add(0, noExits());
  for (int n = 1; n <= 200; ++n) {
    Exits exits = noExits();
    exits[2] = 0;  // south to room 0
    graph.add(n, exits);
  }
  graph.finish();
  const AreaLayout layout = layOut(graph, 0, graph.size(), 0);
  expectEachRoomOnce(layout);
  EXPECT_EQ(layout.panels.size(), 1u);
  const GridCell zero = layout.cell(0);
  const GridCell second = layout.cell(2);
  EXPECT_LE(std::abs(second.col - zero.col), 1);
  EXPECT_LE(std::abs(second.row - zero.row), 1);
}

// Worlds of every shape lay out in work linear in the rooms: a hub (every
// room's exit leads to one room, so that nearly all of them overflow into
// rows below the panel), a long chain and a grid, counted in slots of the
// cell indexes looked at.
TEST(AreaLayout, WorkIsLinearOnEveryShape) {
  constexpr int kRooms = 100000;
  const auto laidOut = [](const auto& exitsOf) {
    AreaGraph graph;
    for (int n = 0; n < kRooms; ++n)
      graph.add(n, exitsOf(n));
    return layOut(graph, 0, graph.size(), 0);
  };
  const AreaLayout hub = laidOut([](int n) {
    Exits exits = noExits();
    if (n > 0) exits[2] = 0;  // south, to room 0
    return exits;
  });
  const AreaLayout chain = laidOut([](int n) {
    Exits exits = noExits();
    if (n + 1 < kRooms) exits[3] = n + 1;
    return exits;
  });
  const AreaLayout grid = laidOut([](int n) {
    Exits exits = noExits();
    if ((n + 1) % 300 != 0) exits[3] = n + 1;
    if (n + 300 < kRooms) exits[2] = n + 300;
    return exits;
  });
  for (const AreaLayout* layout : {&hub, &chain, &grid}) {
    expectEachRoomOnce(*layout);
    EXPECT_LT(layout->work, 200u * kRooms);
  }
}

TEST(AreaLayout, PanelsForAreasLevelsAndLoneRooms) {
  // 10 - 11 east-west; 11 up to 20 (a level of its own); 30 alone; rooms
  // outside the range laid out join nothing.
  AreaGraph graph;
  Exits e10 = noExits(), e11 = noExits(), e20 = noExits(), e30 = noExits();
  e10[3] = 11;
  e11[4] = 10;
  e11[9] = 20;
  e20[10] = 11;
  e30[1] = 99;  // in the graph, but outside the range
  for (const auto& [number, exits] : std::initializer_list<std::pair<int, Exits>>{
           {10, e10}, {11, e11}, {20, e20}, {30, e30}, {99, noExits()}}) {
    graph.add(number, exits);
  }
  graph.finish();
  const AreaLayout layout = layOut(graph, 0, 4, 2);
  expectEachRoomOnce(layout);
  ASSERT_EQ(layout.panels.size(), 3u);
  // The start room's panel first, the area's next, lone rooms last.
  EXPECT_EQ(layout.order[layout.panels[0].first], 2u);
  EXPECT_EQ(layout.panels[1].end - layout.panels[1].first, 2u);
  EXPECT_TRUE(layout.panels[2].unconnected);
  EXPECT_EQ(layout.cell(1).col, layout.cell(0).col + 1);  // east of room 10
}

}  // namespace
}  // namespace rb
