#include "tools/check/check_options.h"

#include "base/char_class.h"

namespace rb {

namespace {

constexpr std::array<std::string_view, kWarningKinds> kNames = {
    "one-way", "unreachable", "short-name", "not-writer", "crlf",  "width",
    "spacing", "doubled",     "spelling",   "same-text",  "region"};

// The text of a diagnostic line after its "FILE:LINE: ", or nothing: the
// first ':' followed by digits and ": ".
std::optional<std::string_view> diagnosticText(std::string_view line) {
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos;
       colon = line.find(':', colon + 1)) {
    std::size_t pos = colon + 1;
    while (pos < line.size() && isDigit(line[pos]))
      ++pos;
    if (pos > colon + 1 && line.substr(pos, 2) == ": ") return line.substr(pos + 2);
  }
  return std::nullopt;
}

}  // namespace

std::string_view warningName(WarningKind kind) {
  return kNames[static_cast<std::size_t>(kind)];
}

std::optional<WarningKind> warningNamed(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) return static_cast<WarningKind>(i);
  }
  return std::nullopt;
}

void Baseline::read(std::string_view output) {
  while (!output.empty()) {
    const std::size_t end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const auto text = diagnosticText(line)) ++texts_[std::string(*text)];
  }
}

bool Baseline::take(std::string_view text) {
  const auto found = texts_.find(std::string(text));
  if (found == texts_.end()) return false;
  if (--found->second == 0) texts_.erase(found);
  return true;
}

}  // namespace rb
