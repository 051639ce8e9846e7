// The pattern facade's own semantics, the same for both engines: PCRE2 and
// the std::regex reference, on the same inputs.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "analysis/Pattern.h"
#include "tests/reference/StdRegexEngine.h"

namespace skerry {
namespace {

using namespace std::string_literals;

struct NamedEngine {
  const char* name;
  const PatternEngine& engine;
};
const NamedEngine kEngines[] = {{"pcre2", PatternEngine::Pcre2()}, {"std::regex", StdRegexEngine()}};

// Up to three groups of a successful search, or "-" when the search fails;
// a group that took no part is shown as "<unset>".
std::string SearchSummary(const Pattern& pattern, std::string_view text) {
  MatchGroups groups;
  if (!pattern.Search(text, groups)) return "-";
  std::string summary;
  for (std::size_t i = 0; i < groups.size() && i < 4; ++i) {
    if (i > 0) summary += "|";
    summary += groups.Participated(i) ? std::string(groups[i]) : "<unset>";
  }
  return summary;
}

TEST(PatternFacade, MatchSemantics) {
  struct Case {
    std::string pattern;
    unsigned options;
    std::string text;
    bool whole;
    std::string search;  // SearchSummary
  };
  const std::vector<Case> cases = {
      // Whole match covers the text, search finds the leftmost match.
      {"b", Pattern::kNone, "abc", false, "b"},
      {"abc", Pattern::kNone, "abc", true, "abc"},
      {"", Pattern::kNone, "", true, ""},
      {"", Pattern::kNone, "x", false, ""},
      // Alternatives are ordered: search takes the first that matches, whole
      // match backtracks into the next one.
      {"a|ab", Pattern::kNone, "ab", true, "a"},
      {"(a|ab)(c|bcd)", Pattern::kNone, "abcd", true, "abcd|a|bcd"},
      // Groups: a group outside the match is unset and empty; an empty group
      // inside it took part.
      {"(a)|(b)", Pattern::kNone, "b", true, "b|<unset>|b"},
      {"(x)?y", Pattern::kNone, "y", true, "y|<unset>"},
      {"(a*)b", Pattern::kNone, "b", true, "b|"},
      {"^([^*]+)[*].*", Pattern::kNone, "char *p", true, "char *p|char "},
      // "^" and "$" stand only at the ends of the text.
      {"^b", Pattern::kNone, "a\nb", false, "-"},
      {"a$", Pattern::kNone, "a\nb", false, "-"},
      {"a$", Pattern::kNone, "a\n", false, "-"},
      {"a$", Pattern::kNone, "ba", false, "a"},
      {"^a", Pattern::kNone, "ab", false, "a"},
      {"(^.*[.])[ch]$", Pattern::kIgnoreCase, "x.c\n", false, "-"},
      // "." excludes line feed and carriage return only.
      {"a.b", Pattern::kNone, "a\nb", false, "-"},
      {"a.b", Pattern::kNone, "a\rb", false, "-"},
      {"a.b", Pattern::kNone, "a\tb", true, "a\tb"},
      {"a.b", Pattern::kNone, "a\0b"s, true, "a\0b"s},
      {"a.b", Pattern::kNone,
       "a\xff"
       "b",
       true,
       "a\xff"
       "b"},
      {".*", Pattern::kNone, "ab\rcd", false, "ab"},
      // Case folding only where asked, and only for ASCII letters.
      {"abc", Pattern::kNone, "ABC", false, "-"},
      {"abc", Pattern::kIgnoreCase, "aBC", true, "aBC"},
      {"[A-Z]+", Pattern::kIgnoreCase, "qZ", true, "qZ"},
      {"[a-z]", Pattern::kNone, "Q", false, "-"},
      {"\xe0", Pattern::kIgnoreCase, "\xc0", false, "-"},
      {"\xe0", Pattern::kIgnoreCase, "\xe0", true, "\xe0"},
      {"[^a-z]+", Pattern::kIgnoreCase, "\xc4\xe4Q", false, "\xc4\xe4"},
      // NUL bytes are ordinary characters, in the text and in the pattern.
      {"(a\0)b"s, Pattern::kNone, "xa\0by"s, false, "a\0b|a\0"s},
      {"[^ ]+", Pattern::kNone, "\0\0 x"s, false, "\0\0"s},
      {"^[ ]*$", Pattern::kNone, "  \0"s, false, "-"},
      // An empty class matches nothing.
      {"a[]", Pattern::kNone, "a", false, "-"},
  };
  for (const NamedEngine& engine : kEngines) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(engine.name) + ": pattern '" + c.pattern + "' text '" + c.text + "'");
      Pattern pattern(c.pattern, c.options, engine.engine);
      ASSERT_TRUE(pattern.Valid());
      EXPECT_EQ(pattern.WholeMatch(c.text), c.whole);
      EXPECT_EQ(SearchSummary(pattern, c.text), c.search);
      MatchGroups groups;
      EXPECT_EQ(pattern.SearchDetailed(c.text, groups),
                c.search == "-" ? SearchOutcome::NoMatch : SearchOutcome::Match);
      EXPECT_EQ(pattern.Search(c.text), c.search != "-");
    }
  }
}

// One MatchGroups reused for patterns with more and fewer groups than fit
// in place: each search shows exactly its own groups.
TEST(PatternFacade, GroupsOfEveryCountInOneMatchGroups) {
  for (const NamedEngine& engine : kEngines) {
    SCOPED_TRACE(engine.name);
    MatchGroups groups;
    for (int count : {12, 1, 9, 0, 20, 3}) {
      std::string text;
      std::string subject;
      for (int i = 0; i < count; ++i) {
        // Every third group takes no part; the others take their number.
        text += i % 3 == 2 ? "(x)?" : "(" + std::to_string(i) + ")";
        if (i % 3 != 2) subject += std::to_string(i);
      }
      const Pattern pattern(text + "$", Pattern::kNone, engine.engine);
      const std::string searched = "<" + subject;  // the groups point into it
      ASSERT_TRUE(pattern.Search(searched, groups)) << text;
      ASSERT_EQ(groups.size(), static_cast<std::size_t>(count) + 1);
      EXPECT_EQ(groups[0], subject);
      for (int i = 0; i < count; ++i) {
        EXPECT_EQ(groups.Participated(i + 1), i % 3 != 2) << text << " group " << i + 1;
        EXPECT_EQ(groups[i + 1], i % 3 != 2 ? std::to_string(i) : "") << text << " group " << i + 1;
      }
      EXPECT_FALSE(groups.Participated(count + 1));
      EXPECT_EQ(groups[count + 1], "");
    }
  }
}

TEST(PatternFacade, ReplaceAll) {
  struct Case {
    const char* pattern;
    std::string text;
    const char* format;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"([a-z])([A-Z])", "fooBarBaz", "$1_$2", "foo_Bar_Baz"},
      {"([a-z])([A-Z])", "aBCd", "$1_$2", "a_BCd"},
      {"([a-z])([A-Z])", "ABC", "$1_$2", "ABC"},
      {"[.][-A-Za-z0-9_]+", "Foo.tar.c", "", "Foo"},
      {"[,;]", "a,b;;c", "", "abc"},
      {"[_]", "_a__b", "[_]", "[_]a[_][_]b"},
      {"\t", "a\t\t\tb\t", "  ", "a      b  "},
      {"[*&]", "*&p\0*"s, "", "p\0"s},
      // Empty matches: one before every character and one at the end; after
      // a non-empty match, an empty one may follow at its end.
      {"x*", "abc", "-", "-a-b-c-"},
      {"a*", "baaac", "-", "-b--c-"},
      {"x*", "abx", "-", "-a-b--"},
      {"^", "ab", "-", "-ab"},
      // "$&" is the whole match, "$$" a dollar, a group that took no part is
      // empty, and an unknown group number gives nothing.
      {"(a)|(b)", "ab", "<$1$2$&$$$9>", "<aa$><bb$>"},
      {"b", "abc", "", "ac"},
  };
  for (const NamedEngine& engine : kEngines) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(engine.name) + ": pattern '" + c.pattern + "' text '" + c.text + "'");
      Pattern pattern(c.pattern, Pattern::kNone, engine.engine);
      ASSERT_TRUE(pattern.Valid());
      EXPECT_EQ(pattern.ReplaceAll(c.text, c.format), c.expected);
    }
  }
}

TEST(PatternFacade, InvalidTextNeverMatches) {
  for (const char* text : {"a[b", "(x", "a)", "*a", "[b-a]", "x{2,1}", "(^.*[( ])((x[ *])(.*)"}) {
    for (unsigned options : {Pattern::kNone, Pattern::kIgnoreCase}) {
      for (const NamedEngine& engine : kEngines) {
        SCOPED_TRACE(std::string(engine.name) + ": " + text);
        std::unique_ptr<Pattern> pattern;
        ASSERT_NO_THROW(pattern = std::make_unique<Pattern>(text, options, engine.engine));
        EXPECT_FALSE(pattern->Valid());
        EXPECT_EQ(pattern->GroupCount(), 0u);
        EXPECT_EQ(pattern->Text(), text);
        for (std::string_view subject : {"", "a[b", "(x", "ab x a b"}) {
          MatchGroups groups;
          EXPECT_FALSE(pattern->WholeMatch(subject));
          EXPECT_FALSE(pattern->Search(subject));
          EXPECT_EQ(pattern->SearchDetailed(subject, groups), SearchOutcome::NoMatch);
          EXPECT_EQ(pattern->ReplaceAll(subject, "-"), subject);
        }
      }
    }
  }
}

TEST(PatternFacade, CachedByTextOptionsAndEngine) {
  auto first = Pattern::Cached("(^.*[( ])(Foo[ *])(.*)", Pattern::kIgnoreCase);
  auto again = Pattern::Cached("(^.*[( ])(Foo[ *])(.*)", Pattern::kIgnoreCase);
  auto caseSensitive = Pattern::Cached("(^.*[( ])(Foo[ *])(.*)");
  auto other = Pattern::Cached("(^.*[( ])(Bar[ *])(.*)", Pattern::kIgnoreCase);
  EXPECT_EQ(first.get(), again.get());
  EXPECT_NE(first.get(), caseSensitive.get());
  EXPECT_NE(first.get(), other.get());
  EXPECT_TRUE(first->Search(" foo x"));
  EXPECT_FALSE(caseSensitive->Search(" foo x"));
  EXPECT_EQ(first->GroupCount(), 3u);
  auto reference = Pattern::Cached("(^.*[( ])(Foo[ *])(.*)", Pattern::kIgnoreCase, StdRegexEngine());
  EXPECT_NE(Pattern::Cached("(^.*[( ])(Foo[ *])(.*)", Pattern::kIgnoreCase, PatternEngine::Pcre2()).get(),
            reference.get());
  EXPECT_TRUE(reference->Search(" foo x"));
  auto invalid = Pattern::Cached("a[b");
  EXPECT_EQ(invalid.get(), Pattern::Cached("a[b").get());
  EXPECT_FALSE(invalid->Valid());
}

// Several megabytes on one line: every operation ends in a short time with
// either the correct answer or, where the engine gives up, a reported error
// that counts as no match.
TEST(PatternFacade, MegabyteLinesEndWithDefinedResult) {
  // PCRE2 only: std::regex recurses per character and cannot take such lines.
  std::string alternating;
  for (int i = 0; i < 2000000; ++i) alternating += "ab";
  std::string qualifiers;
  for (int i = 0; i < 1000000; ++i) qualifiers += "const ";
  const std::string blanks(4000000, ' ');

  struct Case {
    const char* pattern;
    const std::string& text;
    std::string suffix;
    std::size_t group;          // group checked on a match
    std::string_view expected;  // its text; nullptr data means no match is correct
  };
  const std::vector<Case> cases = {
      // Deep backtracking through a repeated group, no correct match.
      {"^(a|b)*c", alternating, "", 1, std::string_view()},
      {"^(a|b)*$", alternating, "", 1, "b"},
      {"(^.*)(const|[@_]*volatile|[@_]*static|[@_]*[Ii][Nn][Ll][Ii][Nn][Ee])([ ].*$)", qualifiers, "", 3, " "},
      {"^.*[}][ ]*([-A-Za-z0-9_]+)[;].*", blanks, "} Name; x", 1, "Name"},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", blanks, "uint8 x", 2, "x"},
      {"^[ ]*([^ {()=;]+)([ ]*[(].*)", blanks, "f (void)", 1, "f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    Pattern pattern(c.pattern, Pattern::kNone, PatternEngine::Pcre2());
    ASSERT_TRUE(pattern.Valid());
    const std::string text = c.text + c.suffix;
    auto start = std::chrono::steady_clock::now();
    MatchGroups groups;
    SearchOutcome outcome = pattern.SearchDetailed(text, groups);
    if (c.expected.data() == nullptr) {
      EXPECT_NE(outcome, SearchOutcome::Match);
    } else if (outcome == SearchOutcome::Match) {
      EXPECT_EQ(groups[c.group], c.expected);
    } else {
      EXPECT_EQ(outcome, SearchOutcome::EngineError);
    }
    EXPECT_EQ(pattern.Search(text), outcome == SearchOutcome::Match);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

}  // namespace
}  // namespace skerry
