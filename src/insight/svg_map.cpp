#include "insight/svg_map.h"

#include <algorithm>
#include <cmath>

#include "insight/area_layout.h"
#include "insight/xml_text.h"
#include "shell/text_append.h"

namespace rb {

namespace {

// Sizes in pixels: a grid cell, the room box inside it, panel margins.
constexpr int kCellWidth = 170;
constexpr int kCellHeight = 90;
constexpr int kBoxWidth = 130;
constexpr int kBoxHeight = 50;
constexpr int kMargin = 60;  // room for the stubs of the outer rooms
constexpr int kPanelTitle = 56;
constexpr int kLegendHeight = 70;
constexpr int kStub = 28;
constexpr std::size_t kNameShown = 18;  // characters of a short name in its box

struct Point {
  double x;
  double y;
};

// Coordinates with at most one decimal, as "12.5".
void appendNumber(std::string& out, double value) {
  const long long tenths = std::llround(value * 10);
  appendText(out, tenths / 10);
  if (tenths % 10 != 0) appendText(out, ".", std::llabs(tenths % 10));
}

void line(std::string& out, Point from, Point to, const char* attributes) {
  out += "<line x1=\"";
  appendNumber(out, from.x);
  out += "\" y1=\"";
  appendNumber(out, from.y);
  out += "\" x2=\"";
  appendNumber(out, to.x);
  out += "\" y2=\"";
  appendNumber(out, to.y);
  out += "\" ";
  out += attributes;
  out += "/>\n";
}

// Where the line from a box's centre towards `toward` leaves the box.
Point boxEdge(Point centre, Point toward) {
  const double dx = toward.x - centre.x, dy = toward.y - centre.y;
  if (dx == 0 && dy == 0) return centre;
  const double scale = std::min(dx != 0 ? (kBoxWidth / 2.0) / std::abs(dx) : 1e9,
                                dy != 0 ? (kBoxHeight / 2.0) / std::abs(dy) : 1e9);
  return {centre.x + dx * scale, centre.y + dy * scale};
}

const char* const kHead =
    "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"8\" "
    "markerHeight=\"8\" orient=\"auto-start-reverse\"><path d=\"M0,0 L10,5 L0,10 z\" "
    "fill=\"#333\"/></marker></defs>\n"
    "<style>.room rect{fill:#fdf8e8;stroke:#555;stroke-width:1.5}"
    ".start rect{fill:#e3f1dc;stroke:#2a7a1e;stroke-width:3}"
    ".number{font-weight:bold}.marks{font-size:10px;fill:#246}"
    ".missing{stroke:#c00;stroke-width:2}.missing-text{fill:#c00;font-size:10px}"
    ".link{stroke:#333;stroke-width:1.5}.panel-title{font-size:13px;font-weight:bold}</style>\n";

void appendLegend(std::string& out) {
  out += "<g class=\"legend\" transform=\"translate(20,10)\">\n";
  out +=
      "<rect x=\"0\" y=\"0\" width=\"30\" height=\"18\" fill=\"#fdf8e8\" stroke=\"#555\"/>"
      "<text x=\"36\" y=\"13\">room: number and short name</text>\n";
  out +=
      "<rect x=\"230\" y=\"0\" width=\"30\" height=\"18\" fill=\"#e3f1dc\" stroke=\"#2a7a1e\" "
      "stroke-width=\"3\"/><text x=\"266\" y=\"13\">the room the file starts with</text>\n";
  out +=
      "<line x1=\"0\" y1=\"40\" x2=\"30\" y2=\"40\" class=\"link\"/>"
      "<text x=\"36\" y=\"44\">two-way exit</text>\n";
  out +=
      "<line x1=\"130\" y1=\"40\" x2=\"160\" y2=\"40\" class=\"link\" "
      "marker-end=\"url(#arrow)\"/><text x=\"166\" y=\"44\">one-way exit</text>\n";
  out +=
      "<line x1=\"260\" y1=\"40\" x2=\"280\" y2=\"40\" class=\"missing\"/>"
      "<text x=\"286\" y=\"44\">exit to a room not in the file</text>\n";
  out +=
      "<text x=\"460\" y=\"44\" class=\"marks\">up/down/in/out N: exits to other levels</text>\n";
  out += "</g>\n";
}

}  // namespace

std::string svgMap(const AreaGraph& graph, const std::vector<std::string>& names,
                   const std::string& title) {
  const auto& rooms = graph.rooms();
  const AreaLayout layout = layOut(graph);

  // Panels one under another.
  std::vector<int> panelTop(layout.panels.size());
  int height = kLegendHeight;
  int width = 700;
  for (std::size_t p = 0; p < layout.panels.size(); ++p) {
    panelTop[p] = height;
    height += kPanelTitle + layout.panels[p].rows * kCellHeight + kMargin;
    width = std::max(width, 2 * kMargin + layout.panels[p].cols * kCellWidth);
  }
  const auto centre = [&](std::size_t room) {
    const GridCell& cell = layout.cells[room];
    return Point{kMargin + cell.col * kCellWidth + kCellWidth / 2.0,
                 panelTop[static_cast<std::size_t>(cell.panel)] + kPanelTitle +
                     cell.row * kCellHeight + kCellHeight / 2.0};
  };

  std::string out;
  out.reserve(rooms.size() * 600 + 4096);
  appendText(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", width, "\" height=\"", height,
             "\" viewBox=\"0 0 ", width, " ", height,
             "\" font-family=\"sans-serif\" font-size=\"12\">\n");
  out += "<title>Area map of ";
  appendXmlText(out, title);
  out += "</title>\n";
  out += kHead;
  appendText(out, "<rect width=\"", width, "\" height=\"", height, "\" fill=\"#fff\"/>\n");
  appendLegend(out);

  for (std::size_t p = 0; p < layout.panels.size(); ++p) {
    const LayoutPanel& panel = layout.panels[p];
    appendText(out, "<g class=\"panel\">\n<text class=\"panel-title\" x=\"20\" y=\"",
               panelTop[p] + 18, "\">");
    if (panel.unconnected) {
      out += "Rooms joined to no other room";
    } else {
      appendText(out, p == 0 ? "The area from room " : "Rooms around room ",
                 rooms[panel.rooms.front()].number);
    }
    out += "</text>\n";
    // Links first, so the boxes cover their ends.
    for (const std::size_t i : panel.rooms) {
      const Point from = centre(i);
      for (const int slot : kShownOrder) {
        const int destination = rooms[i].exits[static_cast<std::size_t>(slot - 1)];
        const GridStep step = gridStep(slot);
        if (destination == kNoExit || (step.col == 0 && step.row == 0)) continue;
        const std::size_t j = graph.find(destination);
        if (j == i) continue;
        if (j == AreaGraph::kNone) {
          const Point edge = boxEdge(from, {from.x + step.col, from.y + step.row});
          const double length = std::hypot(step.col, step.row);
          const Point end = {edge.x + kStub * step.col / length,
                             edge.y + kStub * step.row / length};
          line(out, edge, end, "class=\"missing\"");
          // The number beyond the stub's end.
          appendText(out, "<text class=\"missing-text\" text-anchor=\"",
                     step.col > 0   ? "start"
                     : step.col < 0 ? "end"
                                    : "middle",
                     "\" x=\"");
          appendNumber(out, end.x + 3 * step.col);
          out += "\" y=\"";
          appendNumber(out, end.y + (step.row > 0 ? 12 : step.row < 0 ? -4 : 4));
          appendText(out, "\">", destination, "</text>\n");
          continue;
        }
        const int back = rooms[j].exits[static_cast<std::size_t>(exitSlot(slot).opposite - 1)];
        const bool twoWay = back == rooms[i].number;
        if (twoWay && j < i) continue;  // drawn from the other end
        const Point to = centre(j);
        line(out, boxEdge(from, to), boxEdge(to, from),
             twoWay ? "class=\"link\"" : "class=\"link\" marker-end=\"url(#arrow)\"");
      }
    }
    for (const std::size_t i : panel.rooms) {
      const Point c = centre(i);
      appendText(out, "<g class=\"room", i == 0 ? " start" : "", "\" data-room=\"", rooms[i].number,
                 "\">");
      out += "<title>";
      appendXmlText(out, names[i]);
      out += "</title><rect x=\"";
      appendNumber(out, c.x - kBoxWidth / 2.0);
      out += "\" y=\"";
      appendNumber(out, c.y - kBoxHeight / 2.0);
      appendText(out, "\" width=\"", kBoxWidth, "\" height=\"", kBoxHeight, "\" rx=\"4\"/>");
      out += "<text class=\"number\" text-anchor=\"middle\" x=\"";
      appendNumber(out, c.x);
      out += "\" y=\"";
      appendNumber(out, c.y - 9);
      appendText(out, "\">", rooms[i].number, "</text><text text-anchor=\"middle\" x=\"");
      appendNumber(out, c.x);
      out += "\" y=\"";
      appendNumber(out, c.y + 6);
      out += "\">";
      appendXmlText(out, shortenedText(names[i], kNameShown));
      out += "</text>";
      // Up, down, in and out, marked on the room they leave; in red when
      // the room they lead to is not in the file.
      std::string marks;
      for (const int slot : kShownOrder) {
        const int destination = rooms[i].exits[static_cast<std::size_t>(slot - 1)];
        const GridStep step = gridStep(slot);
        if (destination == kNoExit || step.col != 0 || step.row != 0) continue;
        const bool missing = graph.find(destination) == AreaGraph::kNone;
        appendText(marks, marks.empty() ? "" : " ", missing ? "<tspan class=\"missing-text\">" : "",
                   exitSlot(slot).word, " ", destination, missing ? "</tspan>" : "");
      }
      if (!marks.empty()) {
        out += "<text class=\"marks\" text-anchor=\"middle\" x=\"";
        appendNumber(out, c.x);
        out += "\" y=\"";
        appendNumber(out, c.y + 20);
        appendText(out, "\">", marks, "</text>");
      }
      out += "</g>\n";
    }
    out += "</g>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace rb
