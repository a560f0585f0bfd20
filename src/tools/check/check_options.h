// What `roombuilder check` is asked to report: the kinds of warning it
// gives (each named as its -W flag names it), whether warnings count as
// errors, the room reachability is counted from, and the baseline of
// diagnostics already known.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace rb {

enum class WarningKind {
  OneWay,
  Unreachable,
  ShortName,
  NotWriter,
  Crlf,
  Width,
  Spacing,
  Doubled,
  Spelling,
  SameText,
  Region
};
inline constexpr std::size_t kWarningKinds = 11;

// The kind's name in -W flags and after a warning: "one-way" for
// -Wone-way and " [-Wone-way]".
std::string_view warningName(WarningKind kind);
// The kind a name stands for, or nothing.
std::optional<WarningKind> warningNamed(std::string_view name);

// Diagnostics already known: the text of each after its "FILE:LINE: ", as
// an earlier check printed them. Lines that are not diagnostics (the
// summary) do not count. A text known twice stands for two diagnostics.
class Baseline {
 public:
  void read(std::string_view output);
  // Whether `text` is known; it is then taken, once.
  bool take(std::string_view text);
  bool empty() const { return texts_.empty(); }

 private:
  std::unordered_map<std::string, int> texts_;
};

struct CheckOptions {
  std::array<bool, kWarningKinds> enabled = [] {
    std::array<bool, kWarningKinds> all{};
    all.fill(true);
    return all;
  }();
  bool warningsAreErrors = false;
  std::optional<int> start;  // the room reachability is counted from
  Baseline* baseline = nullptr;
  bool suggestions = true;  // spelling notes say what a word may have been meant to be
  // Distinct words suggestions are looked for, at most: each takes Hunspell
  // tens of milliseconds, so a world of invented names would take hours.
  std::size_t suggestedWords = 1000;

  bool on(WarningKind kind) const { return enabled[static_cast<std::size_t>(kind)]; }
};

}  // namespace rb
