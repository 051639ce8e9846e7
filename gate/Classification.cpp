#include "gate/Classification.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

namespace skerry {

namespace {

// The baseline lines of a file handed on at a time.
constexpr std::size_t kEntriesStretch = std::size_t{256} << 10;

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

Classifier::Classifier(std::string_view path, std::string_view key, const Waivers& waivers, const FileChange* change,
                       BaselineEntryViews& known, const ClassificationWants& wants, DiagnosticList& kept,
                       Classification& result)
    : DiagnosticLines(path),
      waivers_(waivers),
      change_(change),
      known_(known),
      wants_(wants),
      kept_(kept),
      result_(result),
      key_(key) {
  if (wants.records) {
    keyJson_ = JsonText(key);
    pathJson_ = JsonText(path);
  }
  if (known.entries.empty()) return;
  std::size_t size = 16;
  while (size < known.entries.size() * 2) size *= 2;
  slots_.assign(size, 0);
  left_.reserve(known.entries.size());
  for (const auto& entry : known.entries) {
    if (Left* found = Find(entry.message)) {
      found->count += entry.count;
      continue;
    }
    const std::size_t hash = std::hash<std::string_view>()(entry.message);
    std::size_t slot = hash & (slots_.size() - 1);
    while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
    left_.push_back(Left{entry.message, entry.count});
    hashes_.push_back(hash);
    slots_[slot] = static_cast<std::uint32_t>(left_.size());
  }
}

Classifier::Left* Classifier::Find(std::string_view message) {
  if (slots_.empty()) return nullptr;
  const std::size_t hash = std::hash<std::string_view>()(message);
  for (std::size_t slot = hash & (slots_.size() - 1); slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1)) {
    const std::size_t at = slots_[slot] - 1;
    if (hashes_[at] == hash && left_[at].message == message) return &left_[at];
  }
  return nullptr;
}

void DiagnosticLines::Write(std::string_view text) {
  if (!carry_.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      carry_.append(text);
      return;
    }
    carry_.append(text.substr(0, end));
    Whole(carry_);
    carry_.clear();
    text.remove_prefix(end + 1);
  }
  while (!text.empty()) {
    // A path may hold a line feed: the line's end is looked for after it.
    const std::size_t from = std::min(path_.size(), text.size());
    const void* found = std::memchr(text.data() + from, '\n', text.size() - from);
    if (found == nullptr) {
      carry_.assign(text);
      return;
    }
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    Whole(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
}

void DiagnosticLines::Flush() {
  if (carry_.empty()) return;
  Whole(carry_);
  carry_.clear();
}

void DiagnosticLines::Whole(std::string_view line) {
  int32_t number = 0;
  std::string_view message;
  if (line.substr(0, path_.size()) != path_ || !SplitAfterPath(line.substr(path_.size()), number, message)) return;
  if (!message.empty() && message.back() == '\r') message.remove_suffix(1);
  Line(line, number, message);
}

void Classifier::Line(std::string_view line, int32_t number, std::string_view message) {
  Verdict verdict = Verdict::kNew;
  if (waivers_.Waives(number)) {
    verdict = Verdict::kWaived;
  } else if (wants_.changedLinesOnly && (change_ == nullptr || !change_->Covers(number))) {
    verdict = Verdict::kOutside;
  } else {
    if (wants_.everyEntry) Note(message);
    if (!left_.empty()) {
      Left* found = Find(message);
      if (found != nullptr && found->count > 0) {
        --found->count;
        verdict = Verdict::kKnown;
        if (wants_.knownEntries) Note(message);
      }
    }
  }
  switch (verdict) {
    case Verdict::kNew:
      ++result_.counts.fresh;
      kept_.Append(line);
      break;
    case Verdict::kKnown:
      ++result_.counts.known;
      break;
    case Verdict::kWaived:
      ++result_.counts.waived;
      break;
    case Verdict::kOutside:
      ++result_.counts.outside;
      break;
  }
  if (wants_.records) {
    result_.records.append("{\"kind\":\"diagnostic\",\"path\":")
        .append(pathJson_)
        .append(",\"key\":")
        .append(keyJson_)
        .append(",\"line\":")
        .append(std::to_string(number))
        .append(",\"message\":")
        .append(JsonText(message))
        .append(",\"status\":\"")
        .append(VerdictName(verdict))
        .append("\"}\n");
  }
}

void Classifier::Note(std::string_view message) {
  entries_.emplace_back(messages_.size(), message.size());
  messages_.append(message);
}

void Classifier::Finish() {
  Flush();
  auto text = [this](const std::pair<std::size_t, std::size_t>& entry) {
    return std::string_view(messages_).substr(entry.first, entry.second);
  };
  std::sort(entries_.begin(), entries_.end(), [&](const auto& a, const auto& b) { return text(a) < text(b); });
  std::uint64_t lines = 0;
  std::uint64_t violations = 0;
  auto hand = [&] {
    if (wants_.entriesTo && lines > 0) wants_.entriesTo(key_, result_.entries, lines, violations);
    if (wants_.entriesTo) result_.entries.clear();
    lines = violations = 0;
  };
  for (std::size_t i = 0; i < entries_.size();) {
    std::size_t j = i;
    while (j < entries_.size() && text(entries_[j]) == text(entries_[i])) ++j;
    AppendBaselineLine(result_.entries, key_, text(entries_[i]), j - i);
    ++lines;
    violations += j - i;
    if (result_.entries.size() >= kEntriesStretch) hand();
    i = j;
  }
  hand();
  std::string().swap(messages_);
  std::vector<std::pair<std::size_t, std::size_t>>().swap(entries_);
  // What is left of each message stays with its first entry.
  for (auto& entry : known_.entries) {
    Left* found = Find(entry.message);
    entry.count = found != nullptr ? found->count : 0;
    if (found != nullptr) found->count = 0;
  }
}

}  // namespace skerry
