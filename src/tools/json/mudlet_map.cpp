#include "tools/json/mudlet_map.h"

#include <rapidjson/prettywriter.h>

#include <algorithm>
#include <deque>
#include <map>

#include "base/text_append.h"
#include "format/exit_slot.h"
#include "format/terrain_table.h"
#include "tools/json/json_out.h"
#include "tools/json/json_text.h"

namespace rb {

namespace {

using Writer = rapidjson::PrettyWriter<JsonOut>;

// A colour for each terrain, as the client shows rooms of it.
constexpr std::array<std::array<int, 3>, TerrainTable::kLast + 1> kTerrainColours = {{
    {0, 0, 0},       {150, 150, 150},  // City
    {170, 120, 80},                    // Building
    {214, 200, 120},                   // Plains
    {96, 112, 64},                     // Swamps
    {34, 120, 34},                     // Forest
    {140, 110, 90},                    // Mountains
    {224, 240, 255},                   // Ice
    {150, 170, 90},                    // Hills
    {96, 84, 72},                      // Caverns
    {237, 201, 120},                   // Deserts
    {240, 222, 165},                   // Coastal
    {64, 128, 224},                    // Rivers
    {32, 80, 180},                     // Lakes
    {120, 200, 80},                    // Grassland
    {184, 164, 132},                   // Roads
    {40, 64, 128},                     // Underground Water
    {150, 90, 40},                     // On-ship
    {232, 200, 40},                    // Divine
}};

// The client's direction names, in the order its exits are written.
constexpr std::array<int, kExitCount> kMudletOrder = {1, 5, 8, 3, 4, 2, 6, 7, 9, 10, 11, 12};

// Which columns of one z level panels take: ranges [start, end) of x that
// do not overlap.
class Level {
 public:
  bool isFree(int start, int end) const {
    auto after = taken_.lower_bound(end);
    if (after == taken_.begin()) return true;
    --after;  // the last range that starts before `end`
    return after->second <= start;
  }
  void take(int start, int end) {
    taken_[start] = end;
    right_ = taken_.size() == 1 ? end : std::max(right_, end);
  }
  // Where a panel goes that stands beside all the others: one column free.
  int beside() const { return taken_.empty() ? 0 : right_ + 1; }

 private:
  std::map<int, int> taken_;
  int right_ = 0;
};

void key(Writer& w, std::string_view name) {
  w.Key(name.data(), static_cast<rapidjson::SizeType>(name.size()));
}

void string(Writer& w, std::string_view text) {
  const std::string valid = jsonText(text);
  w.String(valid.data(), static_cast<rapidjson::SizeType>(valid.size()));
}

}  // namespace

std::vector<std::array<int, 3>> mapCoordinates(const AreaGraph& graph, const AreaLayout& layout) {
  const std::size_t panels = layout.panels.size();
  struct Place {
    bool placed = false;
    int x = 0, y = 0, z = 0;  // of the panel's cell (0, 0)
  };
  std::vector<Place> places(panels);
  std::map<int, Level> levels;
  const auto put = [&](std::size_t panel, int x, int y, int z) {
    const LayoutPanel& p = layout.panels[panel];
    Level& level = levels[z];
    if (!level.isFree(x, x + p.cols)) x = level.beside();
    level.take(x, x + p.cols);
    places[panel] = {true, x, y, z};
  };
  // Panels reached from a placed one by up or down stand above or below it,
  // the room reached over the room it is reached from; by in or out beside
  // the rest. Panels are taken breadth first, in the layout's order.
  std::deque<std::size_t> queue;
  for (std::size_t root = 0; root < panels; ++root) {
    if (places[root].placed) continue;
    put(root, levels[0].beside(), 0, 0);
    queue.push_back(root);
    while (!queue.empty()) {
      const std::size_t panel = queue.front();
      queue.pop_front();
      const LayoutPanel& p = layout.panels[panel];
      const Place from = places[panel];
      for (std::size_t k = p.first; k < p.end; ++k) {
        const std::size_t room = layout.first + layout.order[k];
        for (const int slot : {9, 10, 11, 12}) {
          const int destination = graph.exit(room, slot);
          if (destination == kNoExit) continue;
          const std::size_t other = graph.find(destination);
          if (other == AreaGraph::kNone || !layout.holds(other)) continue;
          const GridCell& target = layout.cell(other);
          if (places[target.panel].placed) continue;
          const GridCell& source = layout.cell(room);
          if (slot == 9 || slot == 10) {
            put(target.panel, from.x + source.col - target.col, from.y - source.row + target.row,
                from.z + (slot == 9 ? 1 : -1));
          } else {
            put(target.panel, levels[0].beside(), 0, 0);
          }
          queue.push_back(target.panel);
        }
      }
    }
  }
  std::vector<std::array<int, 3>> coordinates(layout.cells.size());
  for (std::size_t local = 0; local < layout.cells.size(); ++local) {
    const GridCell& cell = layout.cells[local];
    const Place& place = places[cell.panel];
    coordinates[local] = {place.x + cell.col, place.y - cell.row, place.z};
  }
  return coordinates;
}

std::vector<std::string> writeMudletMap(const World& world, const RoomNames& names,
                                        OutputStream& out) {
  const AreaGraph& graph = world.graph();
  std::vector<std::string> warnings;
  // The rooms on the map: numbered from 1, the first of each number.
  std::vector<bool> shown(world.records(), false);
  std::size_t shownCount = 0, areaCount = 0;
  for (const WorldFile& file : world.files()) {
    if (!file.rooms) continue;
    ++areaCount;
    for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
      const int number = graph.number(record);
      std::string warning;
      appendText(warning, file.name, ':', world.recordLine(record), ": warning: room ", number,
                 " is left out: ");
      if (number < 1) {
        appendText(warning, "the client's room ids start at 1\n");
      } else if (const std::size_t first = graph.find(number); first != record) {
        appendText(warning, "its number is taken by the room at ", world.fileOfRecord(first).name,
                   ':', world.recordLine(first), "\n");
      } else {
        shown[record] = true;
        ++shownCount;
        continue;
      }
      warnings.push_back(std::move(warning));
    }
  }

  JsonOut stream(out);
  Writer w(stream);
  w.SetIndent(' ', 1);
  w.SetFormatOptions(rapidjson::kFormatSingleLineArray);
  w.StartObject();
  key(w, "formatVersion");
  w.Double(1.0);
  key(w, "defaultAreaName");
  w.String("Default Area");
  key(w, "anonymousAreaName");
  w.String("Unnamed Area");
  key(w, "areaCount");
  w.Uint64(areaCount);
  key(w, "roomCount");
  w.Uint64(shownCount);
  key(w, "labelCount");
  w.Int(0);
  key(w, "mapSymbolFontFudgeFactor");
  w.Int(1);
  key(w, "playerRoomStyle");
  w.Int(0);
  key(w, "playerRoomOuterDiameterPercentage");
  w.Int(120);
  key(w, "playerRoomInnerDiameterPercentage");
  w.Int(70);
  key(w, "envToColorMapping");
  w.StartObject();
  w.EndObject();
  key(w, "customEnvColors");
  w.StartArray();
  for (int terrain = TerrainTable::kFirst; terrain <= TerrainTable::kLast; ++terrain) {
    w.StartObject();
    key(w, "id");
    w.Int(mudletEnvironment(terrain));
    key(w, "color24RGB");
    w.StartArray();
    for (const int part : kTerrainColours[static_cast<std::size_t>(terrain)])
      w.Int(part);
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  key(w, "areas");
  w.StartArray();
  int areaId = 0;
  for (const WorldFile& file : world.files()) {
    if (!file.rooms) continue;
    const AreaLayout layout = layOut(graph, file.firstRecord, file.endRecord, file.firstRecord);
    const auto coordinates = mapCoordinates(graph, layout);
    std::vector<std::size_t> rooms;
    for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
      if (shown[record]) rooms.push_back(record);
    }
    std::sort(rooms.begin(), rooms.end(),
              [&](std::size_t a, std::size_t b) { return graph.number(a) < graph.number(b); });
    w.StartObject();
    key(w, "id");
    w.Int(++areaId);
    key(w, "name");
    string(w, file.name);
    key(w, "roomCount");
    w.Uint64(rooms.size());
    key(w, "rooms");
    w.StartArray();
    for (const std::size_t record : rooms) {
      w.StartObject();
      key(w, "id");
      w.Int(graph.number(record));
      key(w, "name");
      string(w, names.name(record));
      key(w, "coordinates");
      w.StartArray();
      for (const int c : coordinates[record - file.firstRecord])
        w.Int(c);
      w.EndArray();
      const std::size_t row = world.rowOf(record);
      if (row != World::kNone) {
        key(w, "environment");
        w.Int(mudletEnvironment(world.rowTerrain(row)));
      }
      std::vector<int> stubs;
      key(w, "exits");
      w.StartArray();
      for (const int slot : kMudletOrder) {
        const int destination = graph.exit(record, slot);
        if (destination == kNoExit) continue;
        const std::size_t other = graph.find(destination);
        if (other == AreaGraph::kNone || !shown[other]) {
          stubs.push_back(slot);
          continue;
        }
        w.StartObject();
        key(w, "exitId");
        w.Int(destination);
        key(w, "name");
        string(w, exitSlot(slot).word);
        w.EndObject();
      }
      w.EndArray();
      if (!stubs.empty()) {
        key(w, "stubExits");
        w.StartArray();
        for (const int slot : stubs) {
          w.StartObject();
          key(w, "name");
          string(w, exitSlot(slot).word);
          w.EndObject();
        }
        w.EndArray();
      }
      key(w, "userData");
      w.StartObject();
      key(w, "dark");
      w.String(row != World::kNone && world.rowDark(row) == 0 ? "yes" : "no");
      key(w, "file");
      string(w, file.name);
      key(w, "function");
      string(w, world.recordName(record));
      w.EndObject();
      w.EndObject();
      stream.send();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  stream.send();
  out.print("\n");
  return warnings;
}

}  // namespace rb
