// How the gate's filters classify the diagnostics of one file.
#ifndef SKERRY_GATE_CLASSIFICATION_H
#define SKERRY_GATE_CLASSIFICATION_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Waivers.h"
#include "gate/Baseline.h"
#include "gate/GitChanges.h"
#include "report/Diagnostics.h"

namespace skerry {

// What becomes of one diagnostic, in the order the filters apply.
enum class Verdict { kNew, kKnown, kWaived, kOutside };

const char* VerdictName(Verdict verdict);

struct GateCounts {
  std::uint64_t fresh = 0;  // new
  std::uint64_t known = 0;
  std::uint64_t waived = 0;
  std::uint64_t outside = 0;
  GateCounts& operator+=(const GateCounts& other);
};

// What the classification of a file is asked to give besides the lines
// that are left.
struct ClassificationWants {
  // Where the baseline lines of a file go, a stretch at a time (with the
  // entries and violations they hold); unset: into Classification::entries.
  std::function<void(std::string_view key, std::string_view lines, std::uint64_t entries, std::uint64_t violations)>
      entriesTo;
  bool changedLinesOnly = false;  // --changed-since: lines without a change are outside
  bool everyEntry = false;        // --write-baseline: the entries of every violation not waived
  bool knownEntries = false;      // --update-baseline: the entries that were matched
  bool records = false;           // --jsonl
};

// The result for one file.
struct Classification {
  GateCounts counts;
  std::string entries;  // baseline lines for the file's key (see ClassificationWants), by message
  std::string records;  // JSON Lines, one per diagnostic
};

// The diagnostic lines of the file printed as path, fed in order and in
// any pieces (each "path(line): error style: message" and a line feed),
// handed on one at a time: line without its line feed, its number, and the
// message without a carriage return at its end. A line that is not one of
// path's diagnostics is passed over.
class DiagnosticLines : public OutputStream {
 public:
  explicit DiagnosticLines(std::string_view path) : path_(path) {}
  void Write(std::string_view text) override;
  // After the last piece.
  void Flush();

 protected:
  virtual void Line(std::string_view line, int32_t number, std::string_view message) = 0;

 private:
  void Whole(std::string_view line);
  std::string_view path_;
  std::string carry_;
};

// The fingerprint of the messages of a file's diagnostics.
class MessagesOf : public DiagnosticLines {
 public:
  using DiagnosticLines::DiagnosticLines;
  MessagesFingerprint fingerprint;

 private:
  void Line(std::string_view, int32_t, std::string_view message) override { fingerprint.Add(message, 1); }
};

// Classifies the diagnostic lines of the file printed as path, whose
// baseline key is key, fed as DiagnosticLines. known holds the file's baseline entries and loses
// the counts that are matched: of each message the first ones in order are
// known. Lines left are appended to kept.
class Classifier : public DiagnosticLines {
 public:
  Classifier(std::string_view path, std::string_view key, const Waivers& waivers, const FileChange* change,
             BaselineEntryViews& known, const ClassificationWants& wants, DiagnosticList& kept, Classification& result);
  // After the last line: the baseline lines of result, and known's counts
  // set to what is left of each message (on its first entry).
  void Finish();

 private:
  void Line(std::string_view line, int32_t number, std::string_view message) override;
  const Waivers& waivers_;
  const FileChange* change_;
  BaselineEntryViews& known_;
  const ClassificationWants& wants_;
  DiagnosticList& kept_;
  Classification& result_;
  std::string keyJson_;
  std::string pathJson_;
  std::string key_;
  // The counts left of each message: one place per message, found through
  // an open-addressing table of their hashes (empty: the file has no
  // entries).
  struct Left {
    std::string_view message;
    std::uint64_t count;
  };
  Left* Find(std::string_view message);
  std::vector<Left> left_;
  std::vector<std::uint32_t> slots_;  // index into left_ + 1; 0: free
  std::vector<std::size_t> hashes_;   // of left_
  // The messages of the baseline lines to write, one after the other in
  // messages_, as (offset, length).
  void Note(std::string_view message);
  std::string messages_;
  std::vector<std::pair<std::size_t, std::size_t>> entries_;
};

// Splits a diagnostic line (without its line feed) as the converters read
// it: the path up to the first "(digits): error style: ". false for any
// other line.
bool SplitDiagnosticLine(std::string_view line, std::string_view& path, int32_t& number, std::string_view& message);

// A text as a JSON string, bytes that are not UTF-8 replaced by U+FFFD.
std::string JsonText(std::string_view text);

}  // namespace skerry

#endif
