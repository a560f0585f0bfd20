#include "dialogues/explorer/statistics.h"

#include "base/text_append.h"

namespace rb {

namespace {

// Cases shown under a count; the rest are only counted.
constexpr std::size_t kShownCases = 10;

class Report {
 public:
  // A count and its first cases.
  template <class Case>
  void cases(const char* title, const std::vector<Case>& found) {
    appendText(text_, title, found.size(), ".\n");
    for (std::size_t i = 0; i < found.size() && i < kShownCases; ++i)
      text_ += found[i];
    if (found.size() > kShownCases)
      appendText(text_, "  and ", found.size() - kShownCases, " more.\n");
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

}  // namespace

std::string statisticsReport(const AreaGraph& graph, const std::vector<bool>& named,
                             std::size_t start) {
  std::vector<std::string> missing, oneWay, unreachable, unnamed;
  const std::vector<bool> reached = graph.reachedFrom(start);
  for (std::size_t room = 0; room < graph.size(); ++room) {
    const int number = graph.number(room);
    for (const int slot : kShownOrder) {
      const int destination = graph.exit(room, slot);
      std::string exitCase;
      appendText(exitCase, "  ", number, " ", exitSlot(slot).word, " to ", destination, ".\n");
      if (graph.isMissing(destination)) missing.push_back(exitCase);
      if (graph.isOneWay(room, slot)) oneWay.push_back(exitCase);
    }
    std::string roomCase;
    appendText(roomCase, "  ", number, "\n");
    if (!reached[room]) unreachable.push_back(roomCase);
    if (!named[room]) unnamed.push_back(roomCase);
  }
  Report report;
  appendText(report.text(), "Statistics for this room file:\n", "Rooms: ", graph.size(),
             ", numbered ", graph.number(0), " to ", graph.number(graph.size() - 1), ".\n",
             "Exits: ", graph.exitCount(), ".\n");
  report.cases("Exits to rooms not present: ", missing);
  report.cases("One-way exits: ", oneWay);
  std::string title;
  appendText(title, "Rooms that cannot be reached from room ", graph.number(start), ": ");
  report.cases(title.c_str(), unreachable);
  report.cases("Rooms without a short name: ", unnamed);
  return report.text();
}

}  // namespace rb
