#include <gtest/gtest.h>

#include "gate/Exclusions.h"

namespace skerry {
namespace {

TEST(Exclusions, GlobsMatchAsGitignoreDoes) {
  const struct {
    const char* glob;
    const char* path;
    bool excluded;
  } cases[] = {
      {"third_party", "third_party", true},
      {"third_party", "src/third_party/x.c", true},  // any name, and what is below it
      {"third_party", "third_party_x/a.c", false},
      {"third_party/**", "third_party/a/b.c", true},
      {"third_party/**", "src/third_party/a.c", false},  // with "/": from the start only
      {"third_party/", "third_party/a.c", true},
      {"./src/gen/", "src/gen/x.h", true},
      {"*.h", "src/a.h", true},
      {"*.h", "src/a.c", false},
      {"src/*.c", "src/sub/a.c", false},  // "*" does not cross "/"
      {"src/**/a.c", "src/a.c", true},
      {"src/**/a.c", "src/x/y/a.c", true},
      {"a?.c", "ab.c", true},
      {"a?.c", "a/.c", false},
      {"[ab].c", "b.c", true},
      {"[!ab].c", "b.c", false},
      {"[]x].c", "].c", true},
      {"a+b(1).c", "a+b(1).c", true},  // characters of regular expressions stand for themselves
      {"[unclosed", "[unclosed", true},
      {"src/apps/**", "src/apps", false},  // what is inside, not the folder: it is walked, its entries left out
      {"src/apps/**", "src/apps/x/y.c", true},
  };
  for (const auto& c : cases) {
    Exclusions exclusions({c.glob});
    ASSERT_TRUE(exclusions.Valid()) << c.glob;
    EXPECT_EQ(exclusions.Excludes(c.path), c.excluded) << c.glob << " on " << c.path;
  }
}

TEST(Exclusions, NoGlobExcludesNothingAndSeveralAreAlternatives) {
  EXPECT_FALSE(Exclusions({}).Excludes("a.c"));
  Exclusions both({"gen", "*.h"});
  EXPECT_TRUE(both.Excludes("gen/a.c"));
  EXPECT_TRUE(both.Excludes("a.h"));
  EXPECT_FALSE(both.Excludes("a.c"));
}

}  // namespace
}  // namespace skerry
