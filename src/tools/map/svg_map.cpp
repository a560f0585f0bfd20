#include "tools/map/svg_map.h"

#include <algorithm>
#include <cmath>

#include "base/text_append.h"
#include "base/utf8.h"
#include "tools/map/name_lines.h"
#include "tools/map/xml_text.h"
#include "world/area_layout.h"

namespace rb {

namespace {

// Sizes in pixels: a grid cell's width, a room box's width, the free lane
// between boxes (half of it each side of a cell's edge), and the parts of
// the picture.
constexpr int kCellWidth = 170;
constexpr int kBoxWidth = 130;
constexpr int kLane = 20;    // from a box to its cell's edge, all round
constexpr int kMargin = 60;  // the least, left and right of a panel's grid
constexpr int kLegendHeight = 70;
constexpr int kSectionTitle = 36;
constexpr int kPanelTitle = 40;
constexpr int kStub = 28;
constexpr int kLineHeight = 14;
constexpr int kMarksHeight = 13;
constexpr int kBoxPadding = 6;
constexpr int kMinBoxHeight = 50;
constexpr int kNameColumns = 18;  // of a short name on one line of its box
// Links routed along one lane are set apart by up to this much each way.
constexpr int kLaneSpread = 8;
// A stub's label is 10 pixels high; its characters are at most this wide
// on average, which is what is reserved for it beside a panel.
constexpr int kLabelColumnWidth = 7;
// The legend's width: two rows, the wider about this long.
constexpr int kLegendWidth = 720;

struct Point {
  double x;
  double y;
};

struct Box {
  double left, top, right, bottom;
};

// Coordinates with at most one decimal, as "12.5".
void appendNumber(std::string& out, double value) {
  const long long tenths = std::llround(value * 10);
  if (tenths < 0 && tenths > -10) out += '-';
  appendText(out, tenths / 10);
  if (tenths % 10 != 0) appendText(out, ".", std::llabs(tenths % 10));
}

void appendPoint(std::string& out, Point p) {
  appendNumber(out, p.x);
  out += ',';
  appendNumber(out, p.y);
}

// A line element from `from` to `to`, up to the closing quote of its last
// coordinate: its class and data follow.
void appendLineStart(std::string& out, Point from, Point to) {
  out += "<line x1=\"";
  appendNumber(out, from.x);
  out += "\" y1=\"";
  appendNumber(out, from.y);
  out += "\" x2=\"";
  appendNumber(out, to.x);
  out += "\" y2=\"";
  appendNumber(out, to.y);
}

// Where the line from a box's centre towards `toward` leaves the box.
Point boxEdge(const Box& box, Point toward) {
  const Point centre = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  const double dx = toward.x - centre.x, dy = toward.y - centre.y;
  if (dx == 0 && dy == 0) return centre;
  const double halfWidth = (box.right - box.left) / 2, halfHeight = (box.bottom - box.top) / 2;
  const double scale = std::min(dx != 0 ? halfWidth / std::abs(dx) : 1e18,
                                dy != 0 ? halfHeight / std::abs(dy) : 1e18);
  return {centre.x + dx * scale, centre.y + dy * scale};
}

// Whether the segment from `a` to `b` meets the box (Liang-Barsky).
bool meets(Point a, Point b, const Box& box) {
  double enter = 0, leave = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
    if (enter > leave) return false;
  }
  return true;
}

const char* const kHead =
    "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"8\" "
    "markerHeight=\"8\" orient=\"auto-start-reverse\"><path d=\"M0,0 L10,5 L0,10 z\" "
    "fill=\"#333\"/></marker></defs>\n"
    "<style>.room rect{fill:#fdf8e8;stroke:#555;stroke-width:1.5}"
    ".start rect{fill:#e3f1dc;stroke:#2a7a1e;stroke-width:3}"
    ".number{font-weight:bold}.marks{font-size:10px;fill:#246}"
    ".missing{stroke:#c00;stroke-width:2}.missing-text{fill:#c00;font-size:10px}"
    ".other{stroke:#15c;stroke-width:2;stroke-dasharray:4 3}.other-text{fill:#15c;font-size:10px}"
    ".link{stroke:#333;stroke-width:1.5;fill:none}.panel-title{font-size:13px;font-weight:bold}"
    ".section-title{font-size:16px;font-weight:bold}</style>\n";

void appendLegend(std::string& out) {
  out += "<g class=\"legend\" transform=\"translate(20,10)\">\n";
  out +=
      "<rect x=\"0\" y=\"0\" width=\"30\" height=\"18\" fill=\"#fdf8e8\" stroke=\"#555\"/>"
      "<text x=\"36\" y=\"13\">room: number and short name</text>\n";
  out +=
      "<rect x=\"230\" y=\"0\" width=\"30\" height=\"18\" fill=\"#e3f1dc\" stroke=\"#2a7a1e\" "
      "stroke-width=\"3\"/><text x=\"266\" y=\"13\">the room the map starts with</text>\n";
  out +=
      "<line x1=\"0\" y1=\"40\" x2=\"30\" y2=\"40\" class=\"link\"/>"
      "<text x=\"36\" y=\"44\">two-way exit</text>\n";
  out +=
      "<line x1=\"130\" y1=\"40\" x2=\"160\" y2=\"40\" class=\"link\" "
      "marker-end=\"url(#arrow)\"/><text x=\"166\" y=\"44\">one-way exit</text>\n";
  out +=
      "<line x1=\"260\" y1=\"40\" x2=\"280\" y2=\"40\" class=\"missing\"/>"
      "<text x=\"286\" y=\"44\">exit to a room no file has</text>\n";
  out +=
      "<line x1=\"440\" y1=\"40\" x2=\"460\" y2=\"40\" class=\"other\"/>"
      "<text x=\"466\" y=\"44\">exit into another file's room</text>\n";
  out +=
      "<text x=\"466\" y=\"13\" class=\"marks\">up/down/in/out N: exits to other levels</text>\n";
  out += "</g>\n";
}

// One section of the picture: a room file's rooms, laid out, with the
// height of every row of every panel.
struct Section {
  const WorldFile* file = nullptr;
  AreaLayout layout;
  std::vector<std::uint8_t> lines;        // name lines of each room (by room - first)
  std::vector<std::vector<int>> rowTops;  // by panel: the top of each row, and the end
  std::vector<int> panelTops;             // by panel
  int top = 0;
  int width = 0;
};

class MapWriter {
 public:
  MapWriter(const World& world, const RoomNames& names, std::size_t start, OutputStream& out)
      : world_(world), graph_(world.graph()), names_(names), start_(start), out_(out) {}

  std::uint64_t write() {
    margin_ = marginForStubs();
    int height = kLegendHeight, width = kLegendWidth;
    for (const WorldFile& file : world_.files()) {
      if (!file.rooms) continue;
      sections_.push_back(planSection(file, height));
      width = std::max(width, sections_.back().width);
    }
    std::string& o = out_.buffer();
    appendText(o, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", width, "\" height=\"", height,
               "\" viewBox=\"0 0 ", width, " ", height,
               "\" font-family=\"sans-serif\" font-size=\"12\">\n<title>Area map of ");
    bool firstName = true;
    for (const Section& section : sections_) {
      if (!firstName) o += ", ";
      firstName = false;
      appendXmlText(o, section.file->name);
    }
    o += "</title>\n";
    o += kHead;
    appendText(o, "<rect width=\"", width, "\" height=\"", height, "\" fill=\"#fff\"/>\n");
    appendLegend(o);
    for (const Section& section : sections_)
      writeSection(section);
    out_.print("</svg>\n");
    std::uint64_t work = 0;
    for (const Section& section : sections_)
      work += section.layout.work + section.layout.index.probes();
    return work;
  }

 private:
  int boxHeight(const Section& section, std::size_t local) const {
    const std::size_t room = section.layout.first + local;
    bool marks = false;
    for (int slot = 1; slot <= kExitCount; ++slot)
      marks = marks || (!exitSlot(slot).onGrid() && graph_.exit(room, slot) != kNoExit);
    const int lines = std::max(1, static_cast<int>(section.lines[local]));
    return std::max(kMinBoxHeight,
                    2 * kBoxPadding + kLineHeight * (1 + lines) + (marks ? kMarksHeight : 0));
  }

  Section planSection(const WorldFile& file, int& y) {
    Section section;
    section.file = &file;
    const bool startHere = start_ >= file.firstRecord && start_ < file.endRecord;
    const std::size_t from = startHere ? start_ : file.firstRecord;
    section.layout = layOut(graph_, file.firstRecord, file.endRecord, from);
    const AreaLayout& layout = section.layout;
    section.lines.resize(layout.end - layout.first);
    for (std::size_t local = 0; local < section.lines.size(); ++local) {
      const auto lines = nameLines(names_.name(layout.first + local), kNameColumns);
      section.lines[local] = static_cast<std::uint8_t>(std::min<std::size_t>(lines.size(), 255));
    }
    section.top = y;
    y += kSectionTitle;
    section.width = 0;
    for (const LayoutPanel& panel : layout.panels) {
      std::vector<int> rowHeights(static_cast<std::size_t>(panel.rows), 0);
      for (std::size_t k = panel.first; k < panel.end; ++k) {
        const std::uint32_t local = layout.order[k];
        int& row = rowHeights[static_cast<std::size_t>(layout.cells[local].row)];
        row = std::max(row, boxHeight(section, local) + 2 * kLane);
      }
      std::vector<int> tops(rowHeights.size() + 1, 0);
      for (std::size_t r = 0; r < rowHeights.size(); ++r)
        tops[r + 1] = tops[r] + rowHeights[r];
      section.panelTops.push_back(y);
      y += kPanelTitle + tops.back() + kMargin;
      section.rowTops.push_back(std::move(tops));
      section.width = std::max(section.width, 2 * margin_ + panel.cols * kCellWidth);
    }
    return section;
  }

  const WorldFile* firstFile() const {
    for (const WorldFile& file : world_.files()) {
      if (file.rooms && file.endRecord > file.firstRecord) return &file;
    }
    return nullptr;
  }

  std::size_t startRoom() const {
    if (start_ != AreaGraph::kNone) return start_;
    const WorldFile* first = firstFile();
    return first ? first->firstRecord : AreaGraph::kNone;
  }

  // The box of a room (counted from the section's first) in its panel.
  Box boxOf(const Section& section, std::size_t local) const {
    const GridCell& cell = section.layout.cells[local];
    const std::vector<int>& tops = section.rowTops[cell.panel];
    const double cx = margin_ + cell.col * kCellWidth + kCellWidth / 2.0;
    const double cy =
        section.panelTops[cell.panel] + kPanelTitle +
        (tops[static_cast<std::size_t>(cell.row)] + tops[static_cast<std::size_t>(cell.row) + 1]) /
            2.0;
    const double halfHeight = boxHeight(section, local) / 2.0;
    return {cx - kBoxWidth / 2.0, cy - halfHeight, cx + kBoxWidth / 2.0, cy + halfHeight};
  }

  double laneX(int col) const { return margin_ + col * kCellWidth; }
  double laneY(const Section& section, std::uint32_t panel, int row) const {
    return section.panelTops[panel] + kPanelTitle +
           section.rowTops[panel][static_cast<std::size_t>(row)];
  }

  // Whether a straight line from a to b would pass through a room between
  // them; only rooms near both are looked at, further ones never are.
  bool straightIsClear(const Section& section, std::size_t a, std::size_t b, Point from,
                       Point to) const {
    const GridCell& ca = section.layout.cells[a];
    const GridCell& cb = section.layout.cells[b];
    const long long dc = std::abs(static_cast<long long>(ca.col) - cb.col);
    const long long dr = std::abs(static_cast<long long>(ca.row) - cb.row);
    if ((dc + 1) * (dr + 1) > 16) return false;
    for (int col = std::min(ca.col, cb.col); col <= std::max(ca.col, cb.col); ++col) {
      for (int row = std::min(ca.row, cb.row); row <= std::max(ca.row, cb.row); ++row) {
        const std::uint32_t other = section.layout.index.at(ca.panel, col, row);
        if (other == CellIndex::kNoRoom || other == a || other == b) continue;
        if (meets(from, to, boxOf(section, other))) return false;
      }
    }
    return true;
  }

  // The path of a link from room a to room b around the boxes: out of a's
  // box to the lane at its cell's edge, along the lanes between the boxes,
  // and into b's box from its cell's edge.
  std::vector<Point> routed(const Section& section, std::size_t a, std::size_t b) const {
    const GridCell& ca = section.layout.cells[a];
    const GridCell& cb = section.layout.cells[b];
    const Box boxA = boxOf(section, a), boxB = boxOf(section, b);
    const Point centreA = {(boxA.left + boxA.right) / 2, (boxA.top + boxA.bottom) / 2};
    const Point centreB = {(boxB.left + boxB.right) / 2, (boxB.top + boxB.bottom) / 2};
    const double spread =
        static_cast<double>(((a * 31 + b * 17) % 5)) / 2.0 * kLaneSpread - kLaneSpread;
    std::vector<Point> path;
    if (ca.row == cb.row) {
      // Out of the side facing b, up to the lane above the row, across, and
      // down into b's facing side.
      const bool east = cb.col > ca.col;
      const double xa = laneX(east ? ca.col + 1 : ca.col) + (east ? -1 : 1) * std::abs(spread) / 2;
      const double xb = laneX(east ? cb.col : cb.col + 1) + (east ? 1 : -1) * std::abs(spread) / 2;
      const double y = laneY(section, ca.panel, ca.row) + spread / 2;
      const double ya = centreA.y + spread, yb = centreB.y + spread;
      path = {{east ? boxA.right : boxA.left, ya}, {xa, ya}, {xa, y}, {xb, y}, {xb, yb},
              {east ? boxB.left : boxB.right, yb}};
      return path;
    }
    // Out of the side facing b's row, along the lane below (or above) a's
    // row to the lane beside b's column, along it to the lane next to b's
    // row, across to b and into it.
    const bool down = cb.row > ca.row;
    const double ya = laneY(section, ca.panel, down ? ca.row + 1 : ca.row) + spread;
    const double yb = laneY(section, cb.panel, down ? cb.row : cb.row + 1) - spread;
    const double xa = centreA.x + spread, xb = centreB.x + spread;
    const double xLane = (cb.col >= ca.col ? laneX(cb.col) : laneX(cb.col + 1)) + spread;
    path = {{xa, down ? boxA.bottom : boxA.top}, {xa, ya}, {xLane, ya}, {xLane, yb}, {xb, yb},
            {xb, down ? boxB.top : boxB.bottom}};
    return path;
  }

  void writeLink(const Section& section, std::size_t a, std::size_t b, bool twoWay) {
    const Box boxA = boxOf(section, a), boxB = boxOf(section, b);
    const Point centreA = {(boxA.left + boxA.right) / 2, (boxA.top + boxA.bottom) / 2};
    const Point centreB = {(boxB.left + boxB.right) / 2, (boxB.top + boxB.bottom) / 2};
    const Point from = boxEdge(boxA, centreB), to = boxEdge(boxB, centreA);
    std::string& o = out_.buffer();
    // The rooms it joins, for whoever reads the picture as data.
    std::string arrow;
    appendText(arrow, " data-from=\"", graph_.number(section.layout.first + a), "\" data-to=\"",
               graph_.number(section.layout.first + b), "\"",
               twoWay ? "" : " marker-end=\"url(#arrow)\"");
    if (straightIsClear(section, a, b, from, to)) {
      appendLineStart(o, from, to);
      appendText(o, "\" class=\"link\"", arrow, "/>\n");
      return;
    }
    o += "<path d=\"M";
    bool first = true;
    for (const Point p : routed(section, a, b)) {
      if (!first) o += " L";
      first = false;
      appendPoint(o, p);
    }
    appendText(o, "\" class=\"link\"", arrow, "/>\n");
  }

  // A short stub out of the box in the exit's direction, with a label.
  void writeStub(const Box& box, int from, const ExitSlot& exit, const char* kind,
                 const std::string& label) {
    const Point centre = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    const Point edge = boxEdge(box, {centre.x + exit.gridCol, centre.y + exit.gridRow});
    const double length = std::hypot(exit.gridCol, exit.gridRow);
    const Point end = {edge.x + kStub * exit.gridCol / length,
                       edge.y + kStub * exit.gridRow / length};
    std::string& o = out_.buffer();
    appendLineStart(o, edge, end);
    appendText(o, "\" class=\"", kind, "\" data-from=\"", from, "\"/>\n<text class=\"", kind,
               "-text\" text-anchor=\"",
               exit.gridCol > 0   ? "start"
               : exit.gridCol < 0 ? "end"
                                  : "middle",
               "\" x=\"");
    appendNumber(o, end.x + 3 * exit.gridCol);
    o += "\" y=\"";
    appendNumber(o, end.y + (exit.gridRow > 0 ? 12 : exit.gridRow < 0 ? -4 : 4));
    o += "\">";
    appendXmlText(o, label);
    o += "</text>\n";
  }

  // The margin beside every panel's grid, wide enough for the label of any
  // stub out of a room at its panel's edge: an exit to a missing room or to
  // another file's room, whose name may be long.
  int marginForStubs() const {
    int margin = kMargin;
    for (const WorldFile& file : world_.files()) {
      if (!file.rooms) continue;
      for (std::size_t room = file.firstRecord; room < file.endRecord; ++room) {
        for (const int slot : kShownOrder) {
          const int destination = graph_.exit(room, slot);
          const ExitSlot& exit = exitSlot(slot);
          if (destination == kNoExit || !exit.onGrid()) continue;
          const std::size_t other = graph_.find(destination);
          if (other != AreaGraph::kNone && other >= file.firstRecord && other < file.endRecord)
            continue;
          const int labelWidth = kLabelColumnWidth * displayWidth(stubLabel(destination, other));
          const int need = exit.gridCol != 0 ? kLane + kStub + 3 * 2 + labelWidth + 10
                                             : (labelWidth - kCellWidth) / 2 + 10;
          margin = std::max(margin, need);
        }
      }
    }
    return margin;
  }

  // The label of a stub to room `number`: the number alone when no file
  // has it (`room` is kNone), else with the name of the file that does.
  std::string stubLabel(int number, std::size_t room) const {
    std::string label;
    appendText(label, number);
    if (room != AreaGraph::kNone) appendText(label, " (", world_.fileOfRecord(room).name, ")");
    return label;
  }

  void writeLinks(const Section& section, std::size_t local) {
    const AreaLayout& layout = section.layout;
    const std::size_t room = layout.first + local;
    for (const int slot : kShownOrder) {
      const int destination = graph_.exit(room, slot);
      const ExitSlot& exit = exitSlot(slot);
      if (destination == kNoExit || !exit.onGrid()) continue;
      const std::size_t other = graph_.find(destination);
      if (other == AreaGraph::kNone || !layout.holds(other)) {
        writeStub(boxOf(section, local), graph_.number(room), exit,
                  other == AreaGraph::kNone ? "missing" : "other", stubLabel(destination, other));
      } else if (other != room) {
        const bool twoWay = graph_.exit(other, exit.opposite) == graph_.number(room);
        if (twoWay && other < room) continue;  // drawn from the other end
        writeLink(section, local, other - layout.first, twoWay);
      }
    }
  }

  void writeRoom(const Section& section, std::size_t local) {
    const std::size_t room = section.layout.first + local;
    const Box box = boxOf(section, local);
    const double cx = (box.left + box.right) / 2;
    const std::string_view name = names_.name(room);
    std::string& o = out_.buffer();
    appendText(o, "<g class=\"room", room == startRoom() ? " start" : "", "\" data-room=\"",
               graph_.number(room), "\"><title>");
    appendXmlText(o, name);
    o += "</title><rect x=\"";
    appendNumber(o, box.left);
    o += "\" y=\"";
    appendNumber(o, box.top);
    appendText(o, "\" width=\"", kBoxWidth, "\" height=\"");
    appendNumber(o, box.bottom - box.top);
    o += "\" rx=\"4\"/><text class=\"number\" text-anchor=\"middle\" x=\"";
    appendNumber(o, cx);
    o += "\" y=\"";
    double y = box.top + kBoxPadding + kLineHeight - 3;
    appendNumber(o, y);
    appendText(o, "\">", graph_.number(room), "</text>");
    const auto lines = nameLines(name, kNameColumns);
    if (!lines.empty()) {
      o += "<text class=\"name\" text-anchor=\"middle\">";
      for (const std::string_view line : lines) {
        y += kLineHeight;
        o += "<tspan x=\"";
        appendNumber(o, cx);
        o += "\" y=\"";
        appendNumber(o, y);
        o += "\">";
        appendXmlText(o, line);
        o += "</tspan>";
      }
      o += "</text>";
    }
    // Up, down, in and out, marked on the room they leave: in red when no
    // file has the room they lead to, with its file when another has it.
    std::string marks;
    for (const int slot : kShownOrder) {
      const int destination = graph_.exit(room, slot);
      if (destination == kNoExit || exitSlot(slot).onGrid()) continue;
      const std::size_t other = graph_.find(destination);
      const bool missing = other == AreaGraph::kNone;
      if (!marks.empty()) marks += ' ';
      appendText(marks, missing ? "<tspan class=\"missing-text\">" : "", exitSlot(slot).word, " ",
                 destination);
      if (!missing && !section.layout.holds(other)) {
        marks += " (";
        appendXmlText(marks, world_.fileOfRecord(other).name);
        marks += ")";
      }
      if (missing) marks += "</tspan>";
    }
    if (!marks.empty()) {
      o += "<text class=\"marks\" text-anchor=\"middle\" x=\"";
      appendNumber(o, cx);
      o += "\" y=\"";
      appendNumber(o, box.bottom - kBoxPadding);
      appendText(o, "\">", marks, "</text>");
    }
    o += "</g>\n";
    out_.print();
  }

  void writeSection(const Section& section) {
    std::string& o = out_.buffer();
    appendText(o, "<g class=\"section\">\n<text class=\"section-title\" x=\"20\" y=\"",
               section.top + 24, "\">");
    appendXmlText(o, section.file->name);
    o += "</text>\n";
    const AreaLayout& layout = section.layout;
    for (std::size_t p = 0; p < layout.panels.size(); ++p) {
      const LayoutPanel& panel = layout.panels[p];
      appendText(o, "<g class=\"panel\">\n<text class=\"panel-title\" x=\"20\" y=\"",
                 section.panelTops[p] + 20, "\">");
      if (panel.unconnected) {
        o += "Rooms joined to no other room";
      } else {
        appendText(o, p == 0 ? "The area from room " : "Rooms around room ",
                   graph_.number(layout.first + layout.order[panel.first]));
      }
      o += "</text>\n";
      // Links first, so the boxes cover their ends.
      for (std::size_t k = panel.first; k < panel.end; ++k) {
        writeLinks(section, layout.order[k]);
        out_.print();
      }
      for (std::size_t k = panel.first; k < panel.end; ++k)
        writeRoom(section, layout.order[k]);
      out_.buffer() += "</g>\n";
    }
    out_.buffer() += "</g>\n";
    out_.print();
  }

  const World& world_;
  const AreaGraph& graph_;
  const RoomNames& names_;
  std::size_t start_;
  OutputStream& out_;
  std::vector<Section> sections_;
  int margin_ = kMargin;
};

}  // namespace

std::uint64_t writeSvgMap(const World& world, const RoomNames& names, std::size_t start,
                          OutputStream& out) {
  return MapWriter(world, names, start, out).write();
}

}  // namespace rb
