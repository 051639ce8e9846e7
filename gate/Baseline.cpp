#include "gate/Baseline.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace skerry {

const char kBaselineHeader[] =
    "# Skerry_Lint baseline: known naming violations, written by skerry-lint-gate --write-baseline.\n"
    "# count<TAB>path<TAB>message; line numbers are left out on purpose.\n";

namespace {

std::string Unescaped(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      text.push_back(field[i]);
      continue;
    }
    const char next = field[++i];
    switch (next) {
      case '\\':
        text.push_back('\\');
        break;
      case 't':
        text.push_back('\t');
        break;
      case 'n':
        text.push_back('\n');
        break;
      case 'r':
        text.push_back('\r');
        break;
      default:  // not an escape: kept as it stands
        text.push_back('\\');
        text.push_back(next);
    }
  }
  return text;
}

void AppendEscaped(std::string& out, std::string_view field) {
  for (char c : field) {
    switch (c) {
      case '\\':
        out.append("\\\\");
        break;
      case '\t':
        out.append("\\t");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      default:
        out.push_back(c);
    }
  }
}

// One line of a baseline, without its line end. Gives false for a line of
// another form; path and message stay escaped.
struct ParsedLine {
  bool entry = false;  // false: a comment or an empty line
  std::uint64_t count = 0;
  std::string_view path;
  std::string_view message;
};

bool ParseLine(std::string_view line, ParsedLine& parsed) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  parsed.entry = !line.empty() && line.front() != '#';
  if (!parsed.entry) return true;
  const std::size_t first = line.find('\t');
  if (first == 0 || first == std::string_view::npos) return false;
  const std::size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) return false;
  if (std::memchr(line.data() + second + 1, '\t', line.size() - second - 1) != nullptr) return false;
  std::uint64_t count = 0;
  for (std::size_t i = 0; i < first; ++i) {
    const char c = line[i];
    if (c < '0' || c > '9') return false;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    count = count > (std::numeric_limits<std::uint64_t>::max() - digit) / 10 ? std::numeric_limits<std::uint64_t>::max()
                                                                             : count * 10 + digit;
  }
  parsed.count = count;
  parsed.path = line.substr(first + 1, second - first - 1);
  parsed.message = line.substr(second + 1);
  return true;
}

}  // namespace

std::string BaselineLine(std::string_view path, std::string_view message, std::uint64_t count) {
  std::string line = std::to_string(count);
  line.push_back('\t');
  AppendEscaped(line, path);
  line.push_back('\t');
  AppendEscaped(line, message);
  line.push_back('\n');
  return line;
}

bool Baseline::Load(const std::string& file, std::string& error) {
  name_ = file;
  std::string reason;
  if (!file_.Open(file, reason)) {
    error = file + ": " + reason;
    return false;
  }
  std::string carry;  // the start of a line that goes on in the next block
  std::vector<char> block(std::size_t{4} << 20);
  std::uint64_t offset = 0;  // of the start of carry in the file
  std::int64_t number = 0;
  std::string currentEscaped;
  std::vector<Range>* current = nullptr;
  auto handle = [&](std::string_view line, std::uint64_t at, std::size_t length) {
    ++number;
    ParsedLine parsed;
    if (!ParseLine(line, parsed)) {
      error = file + ":" + std::to_string(number) + ": not a baseline entry (count<TAB>path<TAB>message)";
      return false;
    }
    if (!parsed.entry) return true;
    if (current == nullptr || parsed.path != currentEscaped) {
      currentEscaped.assign(parsed.path);
      current = &index_[parsed.path.find('\\') == std::string_view::npos ? currentEscaped : Unescaped(parsed.path)];
      current->push_back(Range{at, 0});
    } else if (current->back().offset + current->back().length != at) {
      current->push_back(Range{at, 0});
    }
    current->back().length = static_cast<std::size_t>(at + length - current->back().offset);
    return true;
  };
  try {
    for (;;) {
      const std::size_t got = file_.Read(block.data(), block.size());
      if (got == 0) break;
      std::string_view data(block.data(), got);
      if (!carry.empty()) {
        const std::size_t end = data.find('\n');
        if (end == std::string_view::npos) {
          carry.append(data);
          continue;
        }
        carry.append(data.substr(0, end + 1));
        if (!handle(std::string_view(carry).substr(0, carry.size() - 1), offset, carry.size())) return false;
        offset += carry.size();
        data.remove_prefix(end + 1);
        carry.clear();
      }
      for (;;) {
        const void* found = std::memchr(data.data(), '\n', data.size());
        if (found == nullptr) break;
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - data.data());
        if (!handle(data.substr(0, end), offset, end + 1)) return false;
        offset += end + 1;
        data.remove_prefix(end + 1);
      }
      carry.assign(data);
    }
  } catch (const std::runtime_error& failure) {
    error = file + ": " + failure.what();
    return false;
  }
  if (!carry.empty() && !handle(carry, offset, carry.size())) return false;
  return true;
}

std::vector<BaselineEntry> Baseline::EntriesOf(std::string_view path) const {
  std::vector<BaselineEntry> entries;
  const auto found = index_.find(std::string(path));
  if (found == index_.end()) return entries;
  std::string bytes;
  for (const Range& range : found->second) {
    file_.ReadAt(range.offset, range.length, bytes);
    std::string_view rest(bytes);
    while (!rest.empty()) {
      std::size_t end = rest.find('\n');
      if (end == std::string_view::npos) end = rest.size();
      ParsedLine parsed;
      if (ParseLine(rest.substr(0, end), parsed) && parsed.entry && parsed.count > 0) {
        entries.push_back(BaselineEntry{Unescaped(parsed.message), parsed.count});
      }
      rest.remove_prefix(end == rest.size() ? end : end + 1);
    }
  }
  return entries;
}

std::vector<std::string> Baseline::Paths() const {
  std::vector<std::string> paths;
  paths.reserve(index_.size());
  for (const auto& entry : index_) paths.push_back(entry.first);
  return paths;
}

}  // namespace skerry
