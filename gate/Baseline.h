// The baseline: the violations a team has accepted, as a text file of
// entries "count<TAB>path<TAB>message", one per line, after comment lines
// that start with "#". Line numbers are left out on purpose, so that code
// moving above a violation does not make it new. A tab, line feed, carriage
// return or backslash inside a field is written \t, \n, \r, \\.
#ifndef SKERRY_GATE_BASELINE_H
#define SKERRY_GATE_BASELINE_H

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/RandomAccessFile.h"

namespace skerry {

struct BaselineEntry {
  std::string message;
  std::uint64_t count = 0;
};

// The entries of one or more paths, their messages kept as views into
// buffers of their own (no text per entry).
struct BaselineEntryViews {
  struct Entry {
    std::string_view message;
    std::uint64_t count;
  };
  std::vector<Entry> entries;
  std::deque<std::string> storage;               // texts the views point into
  std::vector<std::unique_ptr<char[]>> buffers;  // bytes read from the file, as read
};

// What a set of messages with counts adds up to: two sets with the same
// fingerprint hold, but for a chance of about 2^-64, the same messages the
// same number of times, in any order.
struct MessagesFingerprint {
  std::uint64_t sum = 0;
  std::uint64_t count = 0;
  void Add(std::string_view message, std::uint64_t times);
  bool operator==(const MessagesFingerprint& other) const { return sum == other.sum && count == other.count; }
};

// The comment lines at the top of a baseline the gate writes.
extern const char kBaselineHeader[];

// One entry line, with its line feed.
std::string BaselineLine(std::string_view path, std::string_view message, std::uint64_t count);
void AppendBaselineLine(std::string& out, std::string_view path, std::string_view message, std::uint64_t count);

// A baseline file, read once as a whole (so that a fault is found before any
// work is done) and indexed by path: the entries themselves stay on disk and
// are read again when a path asks for them, so memory grows with the number
// of paths, not of entries.
class Baseline {
 public:
  // Reads and checks every line of file. false with the reason in error:
  // "FILE: REASON" when it cannot be read, "FILE:LINE: not a baseline entry
  // (count<TAB>path<TAB>message)" for a line of another form.
  bool Load(const std::string& file, std::string& error);

  // The entries of path, in the order of the file, without those counted 0.
  // Safe from several threads.
  std::vector<BaselineEntry> EntriesOf(std::string_view path) const;
  // The same, appended to into as views.
  void ReadEntries(std::string_view path, BaselineEntryViews& into) const;

  // The fingerprint of path's entries (messages with their counts), known
  // without reading them: a file whose diagnostics give the same one has all
  // of them in the baseline.
  MessagesFingerprint FingerprintOf(std::string_view path) const;

  // Every path that has entries, in no particular order.
  std::vector<std::string> Paths() const;
  bool Holds(std::string_view path) const { return index_.count(std::string(path)) > 0; }

 private:
  struct Range {
    std::uint64_t offset;
    std::size_t length;
  };
  struct PathEntries {
    std::vector<Range> ranges;
    MessagesFingerprint fingerprint;
  };
  struct Segment;
  void ScanSegment(std::uint64_t begin, std::uint64_t end, Segment& segment) const;
  std::string name_;
  RandomAccessFile file_;
  std::unordered_map<std::string, PathEntries> index_;
};

}  // namespace skerry

#endif
