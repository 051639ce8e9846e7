#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gate/Classification.h"

namespace skerry {
namespace {

// Diagnostic lines of src/a.c for (line, message) pairs.
std::string Lines(const std::vector<std::pair<int, std::string>>& lines) {
  std::string text;
  for (const auto& line : lines)
    text += "src/a.c(" + std::to_string(line.first) + "): error style: " + line.second + "\n";
  return text;
}

struct Outcome {
  std::string kept;
  GateCounts counts;
  std::string entries;
  std::string left;  // the baseline counts left, "message:count;"
};

Outcome Classified(const std::string& text, std::vector<std::pair<std::string, std::uint64_t>> known,
                   const std::string& source, const FileChange* change, ClassificationWants wants,
                   std::size_t pieceSize) {
  BaselineEntryViews entries;
  for (auto& entry : known) {
    entries.storage.push_back(entry.first);
    entries.entries.push_back({entries.storage.back(), entry.second});
  }
  const Waivers waivers = Waivers::Of(SourceLines::FromBytes(source));
  DiagnosticList kept;
  Classification result;
  Classifier classifier("src/a.c", "src/a.c", waivers, change, entries, wants, kept, result);
  for (std::size_t at = 0; at < text.size(); at += pieceSize)
    classifier.Write(std::string_view(text).substr(at, pieceSize));
  classifier.Finish();
  Outcome outcome{kept.Text(), result.counts, result.entries, ""};
  for (const auto& entry : entries.entries) {
    if (entry.count > 0) outcome.left += std::string(entry.message) + ":" + std::to_string(entry.count) + ";";
  }
  return outcome;
}

TEST(Classification, FiltersInOrderAndKeepsCounts) {
  FileChange change;
  change.lines = {{3, 5}};
  const ClassificationWants none;
  ClassificationWants changed;
  changed.changedLinesOnly = true;
  const struct {
    const char* name;
    std::vector<std::pair<int, std::string>> lines;
    std::vector<std::pair<std::string, std::uint64_t>> known;
    std::string source;
    const FileChange* change;
    const ClassificationWants* wants;
    std::vector<std::pair<int, std::string>> kept;
    std::uint64_t fresh, knownCount, waived, outside;
    std::string left;
  } cases[] = {
      {"all known", {{1, "m"}, {2, "n"}}, {{"m", 1}, {"n", 1}}, "", nullptr, &none, {}, 0, 2, 0, 0, ""},
      {"the first ones in order are known",
       {{1, "m"}, {2, "m"}, {3, "m"}},
       {{"m", 2}},
       "",
       nullptr,
       &none,
       {{3, "m"}},
       1,
       2,
       0,
       0,
       ""},
      {"a message in two entries adds up",
       {{1, "m"}, {2, "m"}},
       {{"m", 1}, {"m", 1}},
       "",
       nullptr,
       &none,
       {},
       0,
       2,
       0,
       0,
       ""},
      {"fixed entries stay stale",
       {{1, "m"}},
       {{"m", 3}, {"gone", 1}},
       "",
       nullptr,
       &none,
       {},
       0,
       1,
       0,
       0,
       "m:2;gone:1;"},
      {"waived before known",
       {{1, "m"}, {2, "m"}},
       {{"m", 1}},
       "a\nb // skerry-lint: allow\n",
       nullptr,
       &none,
       {},
       0,
       1,
       1,
       0,
       ""},
      {"outside the changed lines before known",
       {{1, "m"}, {3, "m"}, {5, "m"}},
       {{"m", 1}},
       "",
       &change,
       &changed,
       {},
       0,
       1,
       0,
       2,
       ""},
      {"no change for the file: all outside", {{1, "m"}}, {}, "", nullptr, &changed, {}, 0, 0, 0, 1, ""},
      {"a message ending in a carriage return meets its entry",
       {{1, "m\r"}},
       {{"m", 1}},
       "",
       nullptr,
       &none,
       {},
       0,
       1,
       0,
       0,
       ""},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
      const Outcome outcome = Classified(Lines(c.lines), c.known, c.source, c.change, *c.wants, piece);
      EXPECT_EQ(outcome.kept, Lines(c.kept)) << c.name << ", pieces of " << piece;
      EXPECT_EQ(outcome.counts.fresh, c.fresh) << c.name;
      EXPECT_EQ(outcome.counts.known, c.knownCount) << c.name;
      EXPECT_EQ(outcome.counts.waived, c.waived) << c.name;
      EXPECT_EQ(outcome.counts.outside, c.outside) << c.name;
      EXPECT_EQ(outcome.left, c.left) << c.name;
    }
  }
}

TEST(Classification, EntriesForTheBaselineWritten) {
  ClassificationWants every;
  every.everyEntry = true;
  const std::string text = Lines({{1, "b"}, {2, "a"}, {3, "b"}, {4, "w"}});
  EXPECT_EQ(Classified(text, {}, "\n\n\nx // skerry-lint: allow\n", nullptr, every, 64).entries,
            "1\tsrc/a.c\ta\n2\tsrc/a.c\tb\n");  // by message, counted, waived ones left out
  ClassificationWants known;
  known.knownEntries = true;
  EXPECT_EQ(Classified(text, {{"b", 1}, {"z", 4}}, "", nullptr, known, 64).entries, "1\tsrc/a.c\tb\n");  // never more
}

TEST(Classification, SplitsLinesAsTheConvertersDo) {
  const struct {
    const char* line;
    bool diagnostic;
    const char* path;
    int number;
    const char* message;
  } cases[] = {
      {"src/a.c(12): error style: x does not fit: ^y$", true, "src/a.c", 12, "x does not fit: ^y$"},
      {"dir (2)/a(1).c(0): error style: two upper", true, "dir (2)/a(1).c", 0, "two upper"},
      {"a.c(x): error style: m", false, "", 0, ""},
      {"Reading File : \"a.c\" size: 3 lines", false, "", 0, ""},
      {"(3): error style: m", true, "", 3, "m"},  // an empty path, as the converters read it
  };
  for (const auto& c : cases) {
    std::string_view path;
    std::string_view message;
    int32_t number = -1;
    EXPECT_EQ(SplitDiagnosticLine(c.line, path, number, message), c.diagnostic) << c.line;
    if (!c.diagnostic) continue;
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(message, c.message);
  }
  EXPECT_EQ(JsonText("a\"b\xff"), "\"a\\\"b\xef\xbf\xbd\"");
}

}  // namespace
}  // namespace skerry
