#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/SourceLines.h"

namespace skerry {
namespace {

using namespace std::string_literals;

struct SplitCase {
  const char* label;
  std::string bytes;
  std::vector<std::string> lines;
};

class SourceLinesSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SourceLinesSplit, GivesTheLinesOfTheFile) {
  const SplitCase& c = GetParam();
  SourceLines lines = SourceLines::FromBytes(c.bytes);
  std::vector<std::string> got;
  for (std::string_view line : lines.Lines()) got.emplace_back(line);
  EXPECT_EQ(got, c.lines);
  EXPECT_EQ(lines.Count(), static_cast<int32_t>(c.lines.size()));
  EXPECT_EQ(lines.empty(), c.lines.empty());

  // The scans visit the same lines from the last to the first, numbered from 1.
  std::vector<std::string> reverse;
  int32_t expectedNumber = static_cast<int32_t>(c.lines.size());
  lines.ForEachReverse([&](std::string_view line, int32_t number) {
    EXPECT_EQ(number, expectedNumber--);
    reverse.insert(reverse.begin(), std::string(line));
  });
  EXPECT_EQ(reverse, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, SourceLinesSplit,
    ::testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"OneLineFeed", "\n", {""}},
                      SplitCase{"OnlyLineFeeds", "\n\n\n", {"", "", ""}},
                      SplitCase{"LastLineWithoutLineFeed", "a\nb\nc", {"a", "b", "c"}},
                      SplitCase{"LastLineWithLineFeed", "a\nb\nc\n", {"a", "b", "c"}},
                      SplitCase{"EmptyLinesInside", "a\n\n\nb\n", {"a", "", "", "b"}},
                      SplitCase{"CarriageReturnLineFeed", "a\r\nb\r\n\r\nc\r\n", {"a", "b", "", "c"}},
                      SplitCase{"CarriageReturnLineFeedWithoutFinal", "a\r\nb", {"a", "b"}},
                      SplitCase{"LoneCarriageReturnStays", "a\rb\rc\n", {"a\rb\rc"}},
                      SplitCase{"CarriageReturnAtLineStart", "\rb\n", {"\rb"}},
                      SplitCase{"CarriageReturnAtEndWithoutLineFeed", "a\nb\r", {"a", "b\r"}},
                      SplitCase{"OnlyOneCarriageReturnDropped", "a\r\r\n", {"a\r"}},
                      SplitCase{"OnlyCarriageReturn", "\r", {"\r"}},
                      SplitCase{"ControlZEndsText",
                                "l1\nl2\nl3\nl4\nab\x1a"
                                "cd\nl6\n",
                                {"l1", "l2", "l3", "l4", "ab"}},
                      SplitCase{"ControlZAtStart",
                                "\x1a"
                                "a\nb\n",
                                {}},
                      SplitCase{"ControlZAfterLineFeed", "a\n\x1a\nb\n", {"a"}},
                      SplitCase{"CarriageReturnBeforeControlZStays", "a\r\x1a\n", {"a\r"}},
                      SplitCase{"NulKept", "a\0b\n\0\n"s, {"a\0b"s, "\0"s}},
                      SplitCase{
                          "HighBytesKept", "\xef\xbb\xbfint\n\xe4\xff\x80\n", {"\xef\xbb\xbfint", "\xe4\xff\x80"}},
                      SplitCase{"BlanksAndTabsKept", "\t a \n  \n", {"\t a ", "  "}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace skerry
