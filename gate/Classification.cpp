#include "gate/Classification.h"

#include <map>
#include <nlohmann/json.hpp>
#include <unordered_map>

namespace skerry {

namespace {

constexpr std::string_view kMark = "): error style: ";

// The line number and message after "path(" in rest, or false.
bool SplitAfterPath(std::string_view rest, int32_t& number, std::string_view& message) {
  if (rest.empty() || rest[0] != '(') return false;
  std::size_t at = 1;
  int64_t value = 0;
  while (at < rest.size() && rest[at] >= '0' && rest[at] <= '9') {
    if (value < INT32_MAX) value = value * 10 + (rest[at] - '0');
    ++at;
  }
  if (at == 1 || rest.substr(at, kMark.size()) != kMark) return false;
  number = static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
  message = rest.substr(at + kMark.size());
  return true;
}

}  // namespace

const char* VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kNew:
      return "new";
    case Verdict::kKnown:
      return "known";
    case Verdict::kWaived:
      return "waived";
    case Verdict::kOutside:
      return "outside";
  }
  return "new";
}

GateCounts& GateCounts::operator+=(const GateCounts& other) {
  fresh += other.fresh;
  known += other.known;
  waived += other.waived;
  outside += other.outside;
  return *this;
}

std::string JsonText(std::string_view text) {
  return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool SplitDiagnosticLine(std::string_view line, std::string_view& path, int32_t& number, std::string_view& message) {
  for (std::size_t at = line.find(kMark); at != std::string_view::npos; at = line.find(kMark, at + 1)) {
    std::size_t open = at;
    while (open > 0 && line[open - 1] >= '0' && line[open - 1] <= '9') --open;
    if (open == at || open == 0 || line[open - 1] != '(') continue;
    path = line.substr(0, open - 1);
    return SplitAfterPath(line.substr(open - 1), number, message);
  }
  return false;
}

void Classify(std::string_view path, std::string_view key, std::string_view text, const Waivers& waivers,
              const FileChange* change, std::vector<BaselineEntry>& known, const ClassificationWants& wants,
              DiagnosticList& kept, Classification& result) {
  // The counts left of each message; the entries keep their order for what
  // stays stale.
  std::unordered_map<std::string_view, std::uint64_t> left;
  for (const BaselineEntry& entry : known) left[entry.message] += entry.count;
  std::map<std::string_view, std::uint64_t> entries;  // by message, for the baseline written
  const std::string keyJson = wants.records ? JsonText(key) : std::string();
  const std::string pathJson = wants.records ? JsonText(path) : std::string();

  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at + path.size());
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    int32_t number = 0;
    std::string_view message;
    if (line.substr(0, path.size()) != path || !SplitAfterPath(line.substr(path.size()), number, message)) continue;
    if (!message.empty() && message.back() == '\r') message.remove_suffix(1);

    Verdict verdict = Verdict::kNew;
    if (waivers.Waives(number)) {
      verdict = Verdict::kWaived;
    } else if (wants.changedLinesOnly && (change == nullptr || !change->Covers(number))) {
      verdict = Verdict::kOutside;
    } else {
      if (wants.everyEntry) ++entries[message];
      auto found = left.empty() ? left.end() : left.find(message);
      if (found != left.end() && found->second > 0) {
        --found->second;
        verdict = Verdict::kKnown;
        if (wants.knownEntries) ++entries[message];
      }
    }
    switch (verdict) {
      case Verdict::kNew:
        ++result.counts.fresh;
        kept.Append(line);
        break;
      case Verdict::kKnown:
        ++result.counts.known;
        break;
      case Verdict::kWaived:
        ++result.counts.waived;
        break;
      case Verdict::kOutside:
        ++result.counts.outside;
        break;
    }
    if (wants.records) {
      result.records.append("{\"kind\":\"diagnostic\",\"path\":")
          .append(pathJson)
          .append(",\"key\":")
          .append(keyJson)
          .append(",\"line\":")
          .append(std::to_string(number))
          .append(",\"message\":")
          .append(JsonText(message))
          .append(",\"status\":\"")
          .append(VerdictName(verdict))
          .append("\"}\n");
    }
  }
  for (const auto& entry : entries) result.entries.append(BaselineLine(key, entry.first, entry.second));
  // What is left of each message stays with its first entry.
  for (BaselineEntry& entry : known) {
    auto found = left.find(entry.message);
    entry.count = found == left.end() ? 0 : found->second;
    if (found != left.end()) found->second = 0;
  }
}

}  // namespace skerry
