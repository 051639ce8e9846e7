#include "gate/Baseline.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <thread>

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
  std::size_t plain = 0;
  while (plain < field.size() && field[plain] != '\\' && field[plain] != '\t' && field[plain] != '\n' &&
         field[plain] != '\r') {
    ++plain;
  }
  out.append(field.substr(0, plain));
  for (char c : field.substr(plain)) {
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
  const void* tab = std::memchr(line.data(), '\t', line.size());
  if (tab == nullptr || tab == line.data()) return false;
  const std::size_t first = static_cast<std::size_t>(static_cast<const char*>(tab) - line.data());
  tab = std::memchr(line.data() + first + 1, '\t', line.size() - first - 1);
  if (tab == nullptr) return false;
  const std::size_t second = static_cast<std::size_t>(static_cast<const char*>(tab) - line.data());
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

void MessagesFingerprint::Add(std::string_view message, std::uint64_t times) {
  // The library's hash of the bytes, spread over all 64 bits (splitmix64).
  std::uint64_t hash = std::hash<std::string_view>()(message) + 0x9e3779b97f4a7c15ULL;
  hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ULL;
  hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebULL;
  hash ^= hash >> 31;
  sum += hash * times;
  count += times;
}

void AppendBaselineLine(std::string& out, std::string_view path, std::string_view message, std::uint64_t count) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, count);
  out.append(digits, written.ptr);
  out.push_back('\t');
  AppendEscaped(out, path);
  out.push_back('\t');
  AppendEscaped(out, message);
  out.push_back('\n');
}

std::string BaselineLine(std::string_view path, std::string_view message, std::uint64_t count) {
  std::string line;
  AppendBaselineLine(line, path, message, count);
  return line;
}

// What one thread found in its stretch of the file: the runs of lines of
// one path, in order, and the first line that is not an entry.
struct Baseline::Segment {
  struct Run {
    std::string path;  // unescaped
    Range range;
    MessagesFingerprint fingerprint;
  };
  std::vector<Run> runs;
  std::uint64_t lines = 0;
  std::uint64_t badLine = 0;  // 1-based within the segment; 0: none
  std::string failure;        // a read error
};

// Reads the lines that start in [begin, end): a stretch that does not begin
// at the start of the file begins after the first line feed in it.
void Baseline::ScanSegment(std::uint64_t begin, std::uint64_t end, Segment& segment) const {
  constexpr std::size_t kBlock = std::size_t{4} << 20;
  std::string buffer(kBlock, '\0');
  std::string carry;
  std::uint64_t offset = begin;  // of the next byte to read
  std::uint64_t lineStart = begin;
  bool skipping = begin > 0;  // the line under way belongs to the stretch before
  if (skipping) {
    // Does the stretch begin at a line's start already?
    char before = 0;
    if (file_.ReadSome(begin - 1, &before, 1) == 1 && before == '\n') skipping = false;
  }
  std::string escapedPath;
  auto handle = [&](std::string_view line, std::uint64_t at, std::size_t length) {
    ++segment.lines;
    ParsedLine parsed;
    if (!ParseLine(line, parsed)) {
      segment.badLine = segment.lines;
      return false;
    }
    if (!parsed.entry) return true;
    if (segment.runs.empty() || parsed.path != escapedPath ||
        segment.runs.back().range.offset + segment.runs.back().range.length != at) {
      escapedPath.assign(parsed.path);
      segment.runs.push_back(
          Segment::Run{parsed.path.find('\\') == std::string_view::npos ? escapedPath : Unescaped(parsed.path),
                       Range{at, 0}, MessagesFingerprint()});
    }
    Segment::Run& run = segment.runs.back();
    run.range.length = static_cast<std::size_t>(at + length - run.range.offset);
    if (parsed.count > 0) {
      run.fingerprint.Add(parsed.message.find('\\') == std::string_view::npos
                              ? parsed.message
                              : std::string_view(Unescaped(parsed.message)),
                          parsed.count);
    }
    return true;
  };
  try {
    while (lineStart < end || !carry.empty() || skipping) {
      const std::size_t got = file_.ReadSome(offset, &buffer[0], kBlock);
      if (got == 0) break;
      std::string_view data(buffer.data(), got);
      offset += got;
      while (!data.empty()) {
        const void* found = std::memchr(data.data(), '\n', data.size());
        if (found == nullptr) {
          carry.append(data);
          break;
        }
        const std::size_t cut = static_cast<std::size_t>(static_cast<const char*>(found) - data.data());
        if (skipping) {
          skipping = false;
          lineStart += carry.size() + cut + 1;
          carry.clear();
        } else if (lineStart >= end) {
          return;
        } else if (carry.empty()) {
          if (!handle(data.substr(0, cut), lineStart, cut + 1)) return;
          lineStart += cut + 1;
        } else {
          carry.append(data.substr(0, cut));
          if (!handle(carry, lineStart, carry.size() + 1)) return;
          lineStart += carry.size() + 1;
          carry.clear();
        }
        data.remove_prefix(cut + 1);
      }
      if (lineStart >= end && carry.empty() && !skipping) return;
    }
    if (!carry.empty() && !skipping && lineStart < end) handle(carry, lineStart, carry.size());
  } catch (const std::runtime_error& failure) {
    segment.failure = failure.what();
  }
}

bool Baseline::Load(const std::string& file, std::string& error) {
  name_ = file;
  std::string reason;
  if (!file_.Open(file, reason)) {
    error = file + ": " + reason;
    return false;
  }
  std::uint64_t size = 0;
  try {
    size = file_.Size();
  } catch (const std::runtime_error& failure) {
    error = file + ": " + failure.what();
    return false;
  }
  // Large files are read by several threads, a stretch each.
  const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t parts = size < (std::uint64_t{16} << 20) ? 1 : std::min<std::size_t>(hardware, 8);
  std::vector<Segment> segments(parts);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < parts; ++i) {
    const std::uint64_t begin = size * i / parts;
    const std::uint64_t end = i + 1 == parts ? size + 1 : size * (i + 1) / parts;
    if (i + 1 == parts) {
      ScanSegment(begin, end, segments[i]);
    } else {
      threads.emplace_back([this, begin, end, &segments, i] { ScanSegment(begin, end, segments[i]); });
    }
  }
  for (std::thread& thread : threads) thread.join();
  std::uint64_t linesBefore = 0;
  for (Segment& segment : segments) {
    if (!segment.failure.empty()) {
      error = file + ": " + segment.failure;
      return false;
    }
    if (segment.badLine > 0) {
      error = file + ":" + std::to_string(linesBefore + segment.badLine) +
              ": not a baseline entry (count<TAB>path<TAB>message)";
      return false;
    }
    linesBefore += segment.lines;
  }
  for (Segment& segment : segments) {
    PathEntries* current = nullptr;
    const std::string* currentPath = nullptr;
    for (Segment::Run& run : segment.runs) {
      if (currentPath == nullptr || run.path != *currentPath) {
        auto inserted = index_.try_emplace(std::move(run.path));
        current = &inserted.first->second;
        currentPath = &inserted.first->first;
      }
      std::vector<Range>& ranges = current->ranges;
      if (!ranges.empty() && ranges.back().offset + ranges.back().length == run.range.offset) {
        ranges.back().length += run.range.length;
      } else {
        ranges.push_back(run.range);
      }
      current->fingerprint.sum += run.fingerprint.sum;
      current->fingerprint.count += run.fingerprint.count;
    }
  }
  return true;
}

void Baseline::ReadEntries(std::string_view path, BaselineEntryViews& into) const {
  const auto found = index_.find(std::string(path));
  if (found == index_.end()) return;
  for (const Range& range : found->second.ranges) {
    // Read without filling the buffer first: it can be large.
    into.buffers.emplace_back(new char[range.length]);
    char* bytes = into.buffers.back().get();
    if (file_.ReadSome(range.offset, bytes, range.length) != range.length) {
      throw std::runtime_error(name_ + ": the file changed while it was read");
    }
    std::string_view rest(bytes, range.length);
    while (!rest.empty()) {
      const void* at = std::memchr(rest.data(), '\n', rest.size());
      const std::size_t end =
          at == nullptr ? rest.size() : static_cast<std::size_t>(static_cast<const char*>(at) - rest.data());
      ParsedLine parsed;
      if (ParseLine(rest.substr(0, end), parsed) && parsed.entry && parsed.count > 0) {
        std::string_view message = parsed.message;
        if (message.find('\\') != std::string_view::npos) {
          into.storage.push_back(Unescaped(message));
          message = into.storage.back();
        }
        into.entries.push_back(BaselineEntryViews::Entry{message, parsed.count});
      }
      rest.remove_prefix(end == rest.size() ? end : end + 1);
    }
  }
}

std::vector<BaselineEntry> Baseline::EntriesOf(std::string_view path) const {
  BaselineEntryViews views;
  ReadEntries(path, views);
  std::vector<BaselineEntry> entries;
  entries.reserve(views.entries.size());
  for (const auto& entry : views.entries) entries.push_back(BaselineEntry{std::string(entry.message), entry.count});
  return entries;
}

MessagesFingerprint Baseline::FingerprintOf(std::string_view path) const {
  const auto found = index_.find(std::string(path));
  return found == index_.end() ? MessagesFingerprint() : found->second.fingerprint;
}

std::vector<std::string> Baseline::Paths() const {
  std::vector<std::string> paths;
  paths.reserve(index_.size());
  for (const auto& entry : index_) paths.push_back(entry.first);
  return paths;
}

}  // namespace skerry
