// Runs every example of README.md through the built checker, so that the
// README cannot drift from what the program does.
//
// Markers in README.md (HTML comments, invisible on rendering), each right
// before a fenced block:
//   <!-- file: NAME -->   the block is the content of the file NAME
//   <!-- output -->       the block holds the diagnostic lines that the
//                         checker draws when it is run on each file shown
//                         since the last output or transcript, one run per
//                         file, in the order shown
//   <!-- transcript -->   the block starts with "$ Skerry_Lint ARGS" and
//                         holds the complete output of that run in a tree of
//                         the files shown; it may end with "$ echo $?" and
//                         the exit code. Build dates are masked.
//   <!-- shell -->        a shell example of the tools around the checker;
//                         tests/contrib/test_readme.py runs these
// Every ```c block must be a file of an example.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/SourcePath.h"
#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

struct ExampleFile {
  std::string name;
  std::string content;
};

struct Example {
  int line = 0;  // README line of the output or transcript marker
  std::vector<ExampleFile> files;
  bool transcript = false;
  std::vector<std::string> args;  // transcript only
  int exitCode = 0;               // transcript only
  std::string expected;           // lines, each ended by a line feed
};

std::string ReadmePath() { return SourcePath("README.md"); }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

std::string JoinLines(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string joined;
  for (std::size_t i = from; i < to; ++i) joined += lines[i] + "\n";
  return joined;
}

// The examples of the README; a malformed marker is a test failure.
std::vector<Example> ParseReadme(const std::vector<std::string>& readme) {
  std::vector<Example> examples;
  std::vector<ExampleFile> pending;
  const std::string fileMarker = "<!-- file: ";
  const std::string markerEnd = " -->";
  std::string marker;
  int markerLine = 0;
  for (std::size_t i = 0; i < readme.size(); ++i) {
    const std::string& line = readme[i];
    if (StartsWith(line, "<!-- ")) {
      marker = line;
      markerLine = static_cast<int>(i) + 1;
      continue;
    }
    if (!StartsWith(line, "```")) {
      if (!line.empty()) marker.clear();
      continue;
    }
    // A fenced block: its lines up to the closing fence.
    const std::string language = line.substr(3);
    std::size_t end = i + 1;
    while (end < readme.size() && readme[end] != "```") ++end;
    EXPECT_LT(end, readme.size()) << "README.md:" << i + 1 << ": block without closing fence";
    std::vector<std::string> block(readme.begin() + static_cast<long>(i) + 1,
                                   readme.begin() + static_cast<long>(std::min(end, readme.size())));
    i = end;
    if (StartsWith(marker, fileMarker) && marker.size() > fileMarker.size() + markerEnd.size() &&
        marker.compare(marker.size() - markerEnd.size(), markerEnd.size(), markerEnd) == 0) {
      pending.push_back({marker.substr(fileMarker.size(), marker.size() - fileMarker.size() - markerEnd.size()),
                         JoinLines(block, 0, block.size())});
    } else if (marker == "<!-- output -->" || marker == "<!-- transcript -->") {
      Example example;
      example.line = markerLine;
      example.files = pending;
      pending.clear();
      if (marker == "<!-- output -->") {
        EXPECT_FALSE(example.files.empty()) << "README.md:" << markerLine << ": output without files";
        example.expected = JoinLines(block, 0, block.size());
      } else {
        example.transcript = true;
        std::size_t last = block.size();
        if (last >= 2 && block[last - 2] == "$ echo $?") {
          example.exitCode = std::stoi(block[last - 1]);
          last -= 2;
        }
        if (block.empty() || !StartsWith(block[0], "$ Skerry_Lint")) {
          ADD_FAILURE() << "README.md:" << markerLine << ": transcript without \"$ Skerry_Lint\" line";
          continue;
        }
        std::vector<std::string> words = SplitWords(block[0].substr(2));
        example.args.assign(words.begin() + 1, words.end());
        example.expected = JoinLines(block, 1, last);
      }
      examples.push_back(example);
    } else if (marker == "<!-- shell -->") {
      EXPECT_EQ(language, "sh") << "README.md:" << markerLine << ": shell marker before a block that is not sh";
    } else {
      EXPECT_NE(language, "c") << "README.md:" << i + 1 << ": C block that is not the file of an example";
      EXPECT_TRUE(marker.empty()) << "README.md:" << markerLine << ": unknown marker " << marker;
    }
    marker.clear();
  }
  EXPECT_TRUE(pending.empty()) << "README.md: files after the last output or transcript";
  return examples;
}

// The diagnostic lines of a completed run: everything between the empty line
// after the progress lines and the closing line.
std::string DiagnosticLines(const RunResult& run) {
  const std::string closing = "Operation Finsh\n";
  std::size_t start = run.out.find("\n\n");
  if (run.exitCode != 0 || start == std::string::npos || run.out.size() < closing.size() ||
      run.out.compare(run.out.size() - closing.size(), closing.size(), closing) != 0) {
    ADD_FAILURE() << "run did not complete (exit code " << run.exitCode << "):\n" << run.out;
    return run.out;
  }
  start += 2;
  return run.out.substr(start, run.out.size() - closing.size() - start);
}

TEST(ReadmeExamplesTest, EveryExampleDrawsTheDiagnosticsShown) {
  std::ifstream in(ReadmePath(), std::ios::binary);
  ASSERT_TRUE(in) << "cannot read " << ReadmePath();
  std::stringstream text;
  text << in.rdbuf();
  const std::vector<Example> examples = ParseReadme(SplitLines(text.str()));
  ASSERT_FALSE(examples.empty()) << "README.md holds no examples";

  for (const Example& example : examples) {
    SCOPED_TRACE("README.md:" + std::to_string(example.line));
    TempTree tree;
    for (const ExampleFile& file : example.files) tree.Write(file.name, file.content);
    if (example.transcript) {
      RunResult run = RunLint(example.args, tree.Root());
      EXPECT_EQ(MaskBuildDate(run.out), MaskBuildDate(example.expected));
      EXPECT_EQ(run.exitCode, example.exitCode);
    } else {
      std::string diagnostics;
      for (const ExampleFile& file : example.files) diagnostics += DiagnosticLines(RunLint({file.name}, tree.Root()));
      EXPECT_EQ(diagnostics, example.expected);
    }
  }
}

}  // namespace
}  // namespace skerry::test
