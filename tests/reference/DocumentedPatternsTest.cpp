// The forms the checker compiles or replaces by hand against the documented
// texts of their patterns: the linear DefinePattern and ParameterSplitPattern
// without its trailing group.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "analysis/Pattern.h"
#include "analysis/PatternTable.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry::reference {
namespace {

using namespace std::string_literals;

TEST(DocumentedPatterns, DefinePatternAfterMillionBlanksIsLinear) {
  // The timing bound holds for the PCRE2 engine.
  const Pattern linear(DefinePattern.Text(), Pattern::kNone, PatternEngine::Pcre2());
  const std::string statement = std::string(1000000, ' ') + "#define X 1";
  auto start = std::chrono::steady_clock::now();
  MatchGroups groups;
  ASSERT_TRUE(linear.Search(statement, groups));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(groups[1], " #define");
  EXPECT_EQ(groups[2], "X");
  // The same without a name after the directive: no match, just as fast.
  start = std::chrono::steady_clock::now();
  EXPECT_FALSE(linear.Search(std::string(1000000, ' ') + "#define (X)"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// DefinePattern is compiled with "[ ]" where its documented text has "[ ]+";
// both must agree on the match and on groups 1 and 2 of every line.
TEST(DocumentedPatterns, DefinePatternAgreesWithDocumentedText) {
  const Pattern documented(kDefinePatternText);
  ASSERT_TRUE(documented.Valid());
  EXPECT_NE(DefinePattern.Text(), kDefinePatternText);
  const std::vector<std::string> heads = {"", "x", "int", "\t", "\r", " #define A", "a#define", "\xe9"};
  const std::vector<std::string> tails = {
      "#define X",
      "#define X 1",
      "#define  X_Y(z) z",
      "#define",
      "#define\tX",
      "#defineX",
      "#define #define Y",
      "#define A  #define B",
      "#define A\r #define B",
      "#define A \r",
      "#DEFINE X",
      "# define X",
      "#define \xe9X",
      "#define (X)",
      "#define\r X",
      "\t#define X",
      "#define X\0Y"s,
  };
  std::vector<std::string> lines;
  for (std::size_t blanks : {0, 1, 2, 5, 40, 300}) {
    for (const std::string& head : heads) {
      for (const std::string& tail : tails) lines.push_back(head + std::string(blanks, ' ') + tail);
    }
  }
  // Long runs of blanks, where the documented form backtracks most.
  for (std::size_t blanks : {1500, 3000}) {
    lines.push_back(std::string(blanks, ' ') + "#define LONG_RUN 1");
    lines.push_back("x" + std::string(blanks, ' ') + "#defineX");
    lines.push_back(" #define A" + std::string(blanks, ' ') + "#define B" + std::string(blanks, ' '));
    lines.push_back(std::string(blanks, ' ') + "#define\r" + std::string(blanks, ' ') + "#define C");
  }
  std::size_t matches = 0;
  for (const std::string& line : lines) {
    SCOPED_TRACE("line '" + line.substr(0, 80) + "' of length " + std::to_string(line.size()));
    MatchGroups expected;
    MatchGroups actual;
    bool found = documented.Search(line, expected);
    ASSERT_EQ(DefinePattern.Search(line, actual), found);
    ASSERT_EQ(DefinePattern.WholeMatch(line), documented.WholeMatch(line));
    if (!found) continue;
    ++matches;
    EXPECT_EQ(actual[1], expected[1]);
    EXPECT_EQ(actual[2], expected[2]);
    EXPECT_EQ(actual[0], expected[0]);
  }
  // Both outcomes are well represented.
  EXPECT_GT(matches, lines.size() / 4);
  EXPECT_LT(matches, lines.size() * 3 / 4);
}

// ParameterSplitPattern is compiled without its documented trailing "(.*)":
// the parameter scanner takes that group as the text after the match up to
// the first line terminator. Runs the split repeatedly like the scanner does.
TEST(DocumentedPatterns, ParameterSplitAgreesWithDocumentedText) {
  const Pattern documented(kParameterSplitPatternText);
  ASSERT_TRUE(documented.Valid());
  ASSERT_EQ(documented.GroupCount(), 3u);
  const std::vector<std::string> lists = {
      "uint8 a, uint16 b",
      "const uint8 *p, int c",
      " a b,c d",
      "void",
      "",
      "a",
      "a b",
      "a  b  c",
      ",,a b",
      "a b,,,c d",
      "a b\r, c d",
      "a\tb, c d",
      "const volatile int x",
      "x y z, w v",
      "a b \r c d",
      "int (*fn)(void), int x",
      "  uint8  ucA ,sint16 B",
      "a b\n c d, e f",
      "\xe4 \xf6, \xfc \xdf",
      "a\0 b, c d"s,
      "struct S s, enum E e",
      "a b, c",
      "a b,",
      " , a b",
      "unsigned char *const p, const char q",
      "a b c d e f g h",
  };
  std::size_t steps = 0;
  for (const std::string& list : lists) {
    SCOPED_TRACE("list '" + list + "'");
    std::string_view rest = list;
    MatchGroups actual;
    MatchGroups expected;
    for (;;) {
      bool found = documented.Search(rest, expected);
      ASSERT_EQ(PatternTable::Of(PatternEngine::Pcre2()).parameterSplit.Search(rest, actual), found);
      if (!found) break;
      ++steps;
      EXPECT_EQ(actual[1], expected[1]);
      EXPECT_EQ(actual[2], expected[2]);
      std::string_view tail = rest.substr(static_cast<std::size_t>(actual[0].data() + actual[0].size() - rest.data()));
      tail = tail.substr(0, tail.find_first_of("\r\n"));
      ASSERT_EQ(tail, expected[3]);
      rest = expected[3];
    }
  }
  EXPECT_GT(steps, lists.size());
}

}  // namespace
}  // namespace skerry::reference
