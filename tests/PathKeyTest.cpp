#include <gtest/gtest.h>

#include "gate/PathKey.h"

namespace skerry {
namespace {

TEST(PathKey, NormalizedPath) {
  const struct {
    const char* path;
    const char* normal;
  } cases[] = {
      {".", ""},           {"./src//a/../b.c", "src/b.c"}, {"/x/./y/", "/x/y"},
      {"/..", "/"},        {"../a/./b", "../a/b"},         {"a/../../b", "../b"},
      {"././src/", "src"}, {"a b/c(1).c", "a b/c(1).c"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizedPath(c.path), c.normal) << c.path;
}

TEST(PathKey, KeysRelativeToTheBaselineFolder) {
  const struct {
    const char* path;
    const char* folder;
    const char* key;
  } cases[] = {
      {"/w/repo/src/a.c", "/w/repo", "src/a.c"},
      {"/w/repo", "/w/repo", ""},
      {"/w/repository/a.c", "/w/repo", "/w/repository/a.c"},  // not below: a name that only starts alike
      {"/w/other/a.c", "/w/repo", "/w/other/a.c"},
      {"/a.c", "/", "a.c"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyBelow(c.path, c.folder), c.key) << c.path;
  EXPECT_EQ(AbsolutePath("../repo/./src/a.c", "/w/repo/sub"), "/w/repo/repo/src/a.c");
  EXPECT_EQ(AbsolutePath("/abs/../x.c", "/w"), "/x.c");
  EXPECT_TRUE(IsAtOrBelow("/w/repo/src", "/w/repo"));
  EXPECT_FALSE(IsAtOrBelow("/w/repos", "/w/repo"));
}

}  // namespace
}  // namespace skerry
