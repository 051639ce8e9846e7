#include <gtest/gtest.h>

#include <vector>

#include "analysis/Waivers.h"

namespace skerry {
namespace {

TEST(Waivers, CommentsWaiveTheirLines) {
  const struct {
    const char* text;
    std::vector<int> waived;  // line numbers checked from 0 to 4
  } cases[] = {
      {"uint8 a; /* skerry-lint: allow */\nuint8 b;\n", {1}},
      {"// skerry-lint: allow-next-line\n#define a \\\n  1\n", {2}},
      {"/* skerry-lint: allow-file-name */\nuint8 a;\n", {0}},
      {"uint8 a;\n/* skerry-lint: allow-file-name */\n", {}},  // only on the first line
      {"uint8 a; /* skerry-lint: allowed */\n", {}},           // runs on into a longer word
      {"uint8 a; /* skerry-lint: allow-this */\n", {}},
      {"uint8 a; // skerry-lint: allow\r\n", {1}},
      {"x skerry-lint: allowx skerry-lint: allow\n", {1}},  // the second mark stands alone
      {"no waiver here\n", {}},
  };
  for (const auto& c : cases) {
    const Waivers waivers = Waivers::Of(SourceLines::FromBytes(c.text));
    std::vector<int> waived;
    for (int line = 0; line <= 4; ++line) {
      if (waivers.Waives(line)) waived.push_back(line);
    }
    EXPECT_EQ(waived, c.waived) << c.text;
  }
}

}  // namespace
}  // namespace skerry
