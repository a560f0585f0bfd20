#include "insight/statistics.h"

#include <string>
#include <vector>

#include "insight/area_graph.h"

namespace rb {

namespace {

// Cases shown under a count; the rest are only counted.
constexpr std::size_t kShownCases = 10;

template <class Case, class Print>
void printCases(Console& con, const std::vector<Case>& cases, Print print) {
  for (std::size_t i = 0; i < cases.size() && i < kShownCases; ++i)
    print(cases[i]);
  if (cases.size() > kShownCases) con.print("  and ", cases.size() - kShownCases, " more.\n");
}

}  // namespace

void printStatistics(Console& con, const RoomMap& map, int lowest, const MapRoom& current) {
  // The present rooms in ascending number, as the map holds them.
  std::vector<GraphRoom> rooms;
  std::vector<std::size_t> unnamed;
  std::size_t start = 0;
  for (std::size_t i = 0; i < kMapRooms; ++i) {
    const MapRoom& room = map[i];
    if (!room.present) continue;
    if (&room == &current) start = rooms.size();
    // A present room's number is an int: lowest + index does not overflow.
    rooms.push_back(
        {static_cast<int>(static_cast<long long>(lowest) + static_cast<long long>(i)), room.exits});
    if (room.shortName.empty()) unnamed.push_back(rooms.size() - 1);
  }
  const AreaGraph graph(std::move(rooms));
  const auto& all = graph.rooms();
  const auto exitCase = [&](const ExitCase& c) {
    con.print("  ", all[c.room].number, " ", exitSlot(c.slot).word, " to ", c.destination, ".\n");
  };
  const auto roomCase = [&](std::size_t i) { con.print("  ", all[i].number, "\n"); };

  con.print("Statistics for this room file:\n");
  con.print("Rooms: ", all.size(), ", numbered ", all.front().number, " to ", all.back().number,
            ".\n");
  con.print("Exits: ", graph.exitCount(), ".\n");
  const auto missing = graph.missingExits();
  con.print("Exits to rooms not present: ", missing.size(), ".\n");
  printCases(con, missing, exitCase);
  const auto oneWay = graph.oneWayExits();
  con.print("One-way exits: ", oneWay.size(), ".\n");
  printCases(con, oneWay, exitCase);
  const auto unreachable = graph.unreachableFrom(start);
  con.print("Rooms that cannot be reached from room ", all[start].number, ": ", unreachable.size(),
            ".\n");
  printCases(con, unreachable, roomCase);
  con.print("Rooms without a short name: ", unnamed.size(), ".\n");
  printCases(con, unnamed, roomCase);
}

}  // namespace rb
