#include <gtest/gtest.h>

#include <random>

#include "analysis/Pattern.h"
#include "analysis/UserTypeList.h"
#include "tests/AnalysisTestSupport.h"

namespace skerry::test {
namespace {

TEST(UserTypeList, TextAndValidity) {
  struct Case {
    std::vector<std::string> names;
    bool invalid;
  };
  const Case cases[] = {
      {{}, false},
      {{"A"}, false},
      {{"A", "", "a.b"}, false},
      {{"x|y", "a}b", "a{2}"}, false},
      {{"T", "*p"}, true},
      {{"a[b", "T"}, false},
      {{"+x"}, true},
      {{"T", "T", "t"}, false},
      {{"?:T", "?=U", "?!V"}, false},
      {{"T", "?<n>A"}, true},
      {{"?>A"}, true},
      {{"?#A"}, true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(::testing::PrintToString(test.names));
    UserTypeList list;
    for (const std::string& name : test.names) list.Append(name);
    EXPECT_EQ(UserTypeListPeer::Text(list), UserTypeText(test.names));
    EXPECT_EQ(list.empty(), test.names.empty());
    EXPECT_EQ(Invalid(list), test.invalid);
  }
}

TEST(UserTypeList, FindExamples) {
  struct Case {
    std::vector<std::string> names;
    std::string statement;
    bool found;
    std::string typeGroup;
    std::string restGroup;
  };
  const Case cases[] = {
      {{"Mod_T"}, " Mod_T x; ", true, "Mod_T ", "x; "},
      {{"Mod_T"}, " mod_t* p; ", true, "mod_t*", " p; "},
      {{"Mod_T"}, " Mod_Tx y; ", false, "", ""},
      {{"Mod_T"}, " xMod_T y; ", false, "", ""},
      {{"Mod_T"}, " f(Mod_T a, Mod_T b) ", true, "Mod_T ", "b) "},
      {{"B", "A"}, " A x, B y ", true, "B ", "y "},
      {{"A", "B"}, " A x, B y ", true, "A ", "x, B y "},
      {{""}, " x = a * b; ", true, "*", " b; "},
      {{"a.b"}, " aXb c ", true, "aXb ", "c "},
      {{"x|y"}, " x c ", true, "x", " c "},
      {{"x|y"}, " y c ", true, "y ", "c "},
      {{"T", "*p"}, " T x ", false, "", ""},
      {{"T"}, " T\r x ", false, "", ""},
      {{"T"}, " T x\r y ", true, "T ", "x"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(::testing::PrintToString(test.names) + ::testing::PrintToString(test.statement));
    UserTypeList list;
    for (const std::string& name : test.names) list.Append(name);
    std::string_view typeGroup;
    std::string_view restGroup;
    ASSERT_EQ(list.Find(test.statement, typeGroup, restGroup), test.found);
    if (test.found) {
      EXPECT_EQ(typeGroup, test.typeGroup);
      EXPECT_EQ(restGroup, test.restGroup);
    }
  }
}

// Find against the literal alternation "(" + list + ")", case-insensitive:
// entry k owns groups 3k-1, 3k and 3k+1, and the first entry whose groups
// took part decides.
TEST(UserTypeList, FindMatchesLiteralAlternation) {
  const std::vector<std::string> names = {"",    "T",   "t",    "Mod_T", "MOD_t", "u8",  "a.b", "x|y", "*p",
                                          "a[b", "a}b", "a{2}", "a-b",   "x+",    "S_t", ".",   "a*",  "T"};
  const std::vector<std::string> pieces = {" ", " ",   " ",   "(",   "*",   "T",     "t",    "mod_t", "a.b", "aXb",
                                           "x", "y",   "|",   "a[b", "a}b", "aa",    "-",    "u8",    "\r",  ";",
                                           ",", "S_t", "s_T", "a-b", "x+",  "Mod_T", "a{2}", "ab",    "\n"};
  std::mt19937 random(4242u);
  auto below = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
  int matches = 0;
  for (int list = 0; list < 400; ++list) {
    UserTypeList userTypes;
    std::vector<std::string> chosen(1 + below(5));
    for (std::string& name : chosen) {
      name = names[below(names.size())];
      userTypes.Append(name);
    }
    const Pattern literal("(" + UserTypeText(chosen) + ")", Pattern::kIgnoreCase);
    EXPECT_EQ(Invalid(userTypes), !literal.Valid()) << ::testing::PrintToString(chosen);
    for (int n = 0; n < 60; ++n) {
      std::string statement = " ";
      for (std::size_t count = below(12); count > 0; --count) statement += pieces[below(pieces.size())];
      statement += " ";
      SCOPED_TRACE(::testing::PrintToString(chosen) + ::testing::PrintToString(statement));

      std::string_view typeGroup;
      std::string_view restGroup;
      bool found = userTypes.Find(statement, typeGroup, restGroup);
      MatchGroups groups;
      bool expected = literal.Valid() && literal.SearchDetailed(statement, groups) == SearchOutcome::Match;
      ASSERT_EQ(found, expected);
      if (!expected) continue;
      ++matches;
      std::size_t k = 1;
      while (!groups.Participated(3 * k - 1) && !groups.Participated(3 * k) && !groups.Participated(3 * k + 1)) ++k;
      auto offset = [&](std::string_view part) { return part.data() - statement.data(); };
      EXPECT_EQ(typeGroup, groups[3 * k]);
      EXPECT_EQ(restGroup, groups[3 * k + 1]);
      EXPECT_EQ(offset(typeGroup), offset(groups[3 * k]));
      EXPECT_EQ(offset(restGroup), offset(groups[3 * k + 1]));
    }
  }
  EXPECT_GT(matches, 1000);
}

}  // namespace
}  // namespace skerry::test
