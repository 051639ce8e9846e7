// The cheap tests in front of the line scanner's patterns (analysis/CheapTests.h
// and the scanner's own shortcuts) against the plain pattern searches, on real
// lines and on lines generated from them. The real lines are those of the
// examples tree, or of the tree named by SKERRY_PREFILTER_TREE (bench/run
// points it at real source trees).
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "analysis/CheapTests.h"
#include "analysis/LineScanner.h"
#include "analysis/NamingRules.h"
#include "analysis/PatternTable.h"
#include "analysis/SourceLines.h"
#include "analysis/StatementPreparation.h"
#include "analysis/TextHelpers.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/TestSupport.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry::test {
namespace {

namespace fs = boost::filesystem;

// The lines of every .c and .h file below root, at most limit of them.
std::vector<std::string> LinesBelow(const fs::path& root, std::size_t limit) {
  std::vector<std::string> lines;
  for (fs::recursive_directory_iterator it(root), end; it != end && lines.size() < limit; ++it) {
    std::string ext = it->path().extension().string();
    if (!fs::is_regular_file(it->status()) || (ext != ".c" && ext != ".h")) continue;
    std::ifstream in(it->path().string(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const SourceLines fileLines = SourceLines::FromBytes(bytes.str());
    for (std::string_view line : fileLines.Lines()) lines.emplace_back(line);
  }
  if (lines.size() > limit) lines.resize(limit);
  return lines;
}

// Real lines followed by as many lines generated from them.
const std::vector<std::string>& Corpus() {
  static const std::vector<std::string> corpus = [] {
    const char* tree = std::getenv("SKERRY_PREFILTER_TREE");
    fs::path root = tree != nullptr ? fs::path(tree) : fs::path(SourcePath("examples"));
    std::vector<std::string> lines = LinesBelow(root, 2000000);
    std::vector<std::string> seeds = lines;
    seeds.push_back("extern const uint8 x;");
    LineMutator mutator(4u, seeds,
                        {" ",
                         "\t",
                         "\\",
                         "\r",
                         "//",
                         "(",
                         ",",
                         "*",
                         "{",
                         "}",
                         ";",
                         "#define ",
                         "# define",
                         "extern ",
                         "const ",
                         "static",
                         "INLINE ",
                         "volatile ",
                         "typedef ",
                         "typedef struct ",
                         "typedef enum ",
                         "typedef union ",
                         "uint8 ",
                         "UINT16_T ",
                         "sint32 ",
                         "ssint8 ",
                         "int ",
                         "bool ",
                         "Boolean ",
                         "float ",
                         "float32 ",
                         "float64 ",
                         "double ",
                         "void ",
                         "VOID ",
                         "T_t "},
                        " \t*(),;_aAsSiIuUfFdDbBvVt", 300);
    for (std::size_t n = std::max<std::size_t>(lines.size(), 20000); n > 0; --n) lines.push_back(mutator.Line());
    return lines;
  }();
  return corpus;
}

// The texts the patterns meet for a line: its statement text, the statement
// after the extern cut, the line as it stands and with one blank in front.
std::vector<std::string> TextsOf(const std::string& line) {
  std::vector<std::string> texts = {line, " " + line};
  std::string statement;
  if (PrepareStatement(line, statement)) {
    texts.push_back(statement);
    std::size_t at = statement.rfind(" extern ");
    if (at != std::string::npos) texts.push_back(statement.erase(at + 1, 6));
  }
  return texts;
}

using reference::LiteralStatement;

TEST(Prefilter, StatementAndCommentTestMatchThePatterns) {
  std::size_t comments = 0;
  for (const std::string& line : Corpus()) {
    ASSERT_EQ(IsLineComment(line), reference::LineCommentPattern.WholeMatch(line)) << ::testing::PrintToString(line);
    comments += IsLineComment(line) ? 1 : 0;
    if (line.size() > 4000) continue;  // the literal qualifier loop is quadratic
    std::string statement;
    bool prepared = PrepareStatement(line, statement);
    ASSERT_EQ(prepared ? statement : std::string(), LiteralStatement(line)) << ::testing::PrintToString(line);
    // The type pass skips lines without "typedef": the preparation cannot create the word.
    if (!Contains(line, "typedef", 1)) {
      ASSERT_FALSE(Contains(statement, "typedef")) << line;
    }
  }
  EXPECT_GT(comments, 0u);
}

// The type word: every type and typedef pattern begins with "^[^ (,]*"
// followed by "[ ]+" (or "[ ]") and a fixed run of letters. "[^ (,]*"
// cannot take a blank while the element after it needs one, so it takes
// exactly the text before the first blank, "(" or ",", and that character
// must be a blank; the letters must then start right after the run of blanks
// that begins there, because a blank is no letter. That position is where
// TypeWord starts its view; without such a blank no pattern matches.
//
// FindDefineName: "." does not cross a line terminator and the match starts
// at the start of the text, so it lies before the first terminator. There
// the greedy "^.*" takes the rightmost "#define" that has a blank in front
// of it and, after it, blanks followed by a name character; "[ ]+" cannot
// give a blank back to the name, so the name is the whole run of name
// characters after the blanks. Searching from the right finds that place
// directly, where the engine walks back over the text from its end.
TEST(Prefilter, SkippedSearchesWouldNotMatch) {
  struct Tally {
    std::size_t skipped = 0;
    std::size_t matched = 0;
  };
  const PatternTable& patterns = PatternTable::Of(PatternEngine::Product());
  std::vector<std::pair<const Pattern*, TypeWordLead>> tests;
  for (const BaseTypeEntry& entry : kBaseTypes) tests.emplace_back(&(patterns.*entry.pattern), entry.lead);
  for (const TypedefKindEntry& entry : kTypedefKinds) tests.emplace_back(&(patterns.*entry.pattern), kTypedefLead);
  std::vector<Tally> tallies(tests.size() + 1);
  for (const std::string& line : Corpus()) {
    for (const std::string& text : TextsOf(line)) {
      for (std::size_t k = 0; k < tests.size(); ++k) {
        const Pattern& pattern = *tests[k].first;
        if (TypeWordMayFit(TypeWord(text), tests[k].second)) {
          tallies[k].matched += pattern.Search(text) ? 1 : 0;
        } else {
          ASSERT_FALSE(pattern.Search(text)) << pattern.Text() << " on " << text;
          ++tallies[k].skipped;
        }
      }
      MatchGroups groups;
      const bool define = reference::DefinePattern.Search(text, groups);
      ASSERT_EQ(FindDefineName(text), define ? groups[2] : std::string_view()) << text;
      if (Contains(text, "#define")) {
        tallies.back().matched += define ? 1 : 0;
      } else {
        ASSERT_FALSE(define) << text;
        ++tallies.back().skipped;
      }
    }
  }
  // Every shortcut was both taken and passed by lines the pattern matches.
  for (std::size_t k = 0; k < tallies.size(); ++k) {
    EXPECT_GT(tallies[k].skipped, 0u) << k;
    EXPECT_GT(tallies[k].matched, 0u) << k;
  }
}

// What one scan of a line did: the records entered, the user types and the
// first-function line afterwards.
std::string Effect(const std::string& line, UserTypeList& userTypes, bool typePass, bool fully) {
  DeclarationTable table;
  int32_t firstFunctionLine = 1000;
  ScanLine(line, 7, table, userTypes, typePass, firstFunctionLine, ScanMode{&PatternEngine::Product(), !fully});
  std::string effect = std::to_string(userTypes.size()) + "|" + std::to_string(firstFunctionLine);
  for (const DeclarationRecord& record : table) effect += "|" + Describe(table, record, true);
  return effect;
}

// The type pass: only a typedef test can lead to an effect there (a macro
// line enters nothing, and without a typedef match the rest text stays
// empty, so no declarator is looked for). Every typedef pattern needs the
// word "typedef", which the preparation cannot create: it turns tabs and
// backslashes into blanks and cuts out words that a blank follows, so every
// pair of characters it brings together holds a blank.
//
// The declaration pass (MayDeclare): a line has an effect only through a
// macro match, a match of the type chain, a user-type match or a typedef
// match. For a line without a line terminator (such a line takes the full
// path):
//   - "#define" and "typedef" stand in the statement only if they stand in
//     the line, for the reason above;
//   - the statement's type word begins the first word of the line (words
//     being split at blanks, tabs and backslashes, white space at their
//     start skipped) that is neither made of qualifier words only nor
//     "extern" once the qualifier words at its end are dropped, unless the
//     type word is one of those, which fit no lead; a prepared word is the
//     line's word or a beginning of it, so the line's word fits every lead
//     the prepared one fits;
//   - every run of name characters that the user-type search looks up in
//     the statement is a run of the line, or such a run without the
//     qualifier words at its end.
//
// A line that the cheap tests pass over changes nothing when it
// is scanned fully, in the type pass (no "typedef") and in the declaration
// pass (MayDeclare false), with user types of every kind.
TEST(Prefilter, LinesPassedOverHaveNoEffect) {
  UserTypeList plain;
  for (const char* name : {"T_t", "u8", "size_t", "Mod_Colour_t", "DEV", "inode", "s32", "bool_t", "FILE"}) {
    plain.Append(name);
  }
  std::size_t n = 0;
  for (const std::string& line : Corpus()) {  // plain names taken from the lines themselves
    std::size_t start = line.find_first_of("abcdefghijklmnopqrstuvwxyz_");
    if (++n % 97 == 0 && start != std::string::npos) {
      plain.Append(line.substr(start, line.find_first_not_of("abcdefghijklmnopqrstuvwxyz_0123456789", start) - start));
    }
  }
  UserTypeList withEmpty = plain;
  withEmpty.Append("");
  UserTypeList withPattern = plain;
  withPattern.Append("a.b");
  UserTypeList none;
  // The declaration pass never changes the user types.
  std::vector<UserTypeList*> lists = {&plain, &withEmpty, &withPattern, &none};

  std::size_t passedOver = 0;
  std::size_t scanned = 0;
  for (const std::string& line : Corpus()) {
    for (UserTypeList* userTypes : lists) {
      const std::string nothing = std::to_string(userTypes->size()) + "|1000";
      const std::string full = Effect(line, *userTypes, false, true);
      // What a text's lines are known not to hold need not be looked for.
      const LineFacts facts{HasLineTerminator(line), Contains(line, "typedef", 1)};
      ASSERT_EQ(MayDeclare(line, *userTypes, facts), MayDeclare(line, *userTypes)) << ::testing::PrintToString(line);
      if (!MayDeclare(line, *userTypes)) {
        ASSERT_EQ(full, nothing) << ::testing::PrintToString(line);
        ++passedOver;
      } else {
        scanned += full != nothing ? 1 : 0;
      }
      ASSERT_EQ(Effect(line, *userTypes, false, false), full);
    }
    UserTypeList learnt;  // the type pass does not read the user types
    if (!Contains(line, "typedef", 1)) {
      ASSERT_EQ(Effect(line, learnt, true, true), "0|1000") << line;
    }
  }
  EXPECT_GT(passedOver, 0u);
  EXPECT_GT(scanned, 0u);
}

// Name rules matched by hand against their compiled patterns, for module
// parts with and without pattern characters. By hand, for texts that the
// pattern means literally ("[_]" is a "_"):
//   - "^" + literal + tail: the name begins with the literal;
//   - "^[_]*" + literal + tail: "[_]*" may take any number of the name's
//     leading "_", and the engine tries each until the rest fits;
//   - "^[A-Za-z0-9]+[_]" + literal + tail: "[A-Za-z0-9]+" cannot take a
//     "_", so it takes the name's whole leading run of letters and digits,
//     and a "_" must follow it.
TEST(Prefilter, NameRulesByHandMatchThePattern) {
  LineMutator mutator(12u,
                      {"Led_ucX", "LED_DRIVER_X1", "__LED_A", "Mod_snA#", "a1_boFlag", "x", "_", "main", "Ab9_",
                       "L-D_ucX", "a b_snY", "p@q,r_X", "\xc3\xa9-x_A"},
                      {"_", "__", "Led", "LED", "uc", "#", "9", "Mod_", "-", "a", " ", "L-D", "\xc3\xa9"}, "_#aZ09-.",
                      24);
  std::vector<std::string> names;
  for (int n = 0; n < 3000; ++n) names.push_back(mutator.Line());
  std::size_t fits = 0;
  for (std::string_view module : {"", "Led_", "LED_DRIVER_", "Mod_", "a1_", "L-D_", "a b_", "p@q,r_", "\xc3\xa9-x_",
                                  "a/b:c=d_", "a.b_", "x+_", "a[b_", "a}b_", "a(b)_", "a^b_", "a$b_", "a|b_"}) {
    for (bool anyModule : {false, true}) {
      for (std::string_view prefix : {"", "uc", "sn", "struct"}) {
        for (bool macro : {false, true}) {
          const NameRule rule(module, anyModule, prefix, macro);
          const Pattern pattern(rule.Text());
          for (const std::string& name : names) {
            const NameRule::Result expected = !pattern.Valid()           ? NameRule::Result::kSkipped
                                              : pattern.WholeMatch(name) ? NameRule::Result::kFits
                                                                         : NameRule::Result::kDoesNotFit;
            ASSERT_EQ(rule.Match(name), expected) << rule.Text() << " on " << name;
            fits += expected == NameRule::Result::kFits ? 1 : 0;
          }
        }
      }
    }
  }
  EXPECT_GT(fits, 1000u);
}

TEST(Prefilter, ContainsIsASubstringSearch) {
  LineMutator mutator(9u, {"extern", "typedef", "#define", "x"}, {"ex", "tern", "type", "def", "#", "e"}, "extyp#d",
                      40);
  for (int n = 0; n < 20000; ++n) {
    std::string text = mutator.Line();
    for (std::string_view word : {"extern", "typedef", "#define", "e", "ee"}) {
      for (std::size_t anchor = 0; anchor < word.size(); ++anchor) {
        ASSERT_EQ(Contains(text, word, anchor), text.find(word) != std::string::npos) << text << " " << word;
      }
    }
  }
}

}  // namespace
}  // namespace skerry::test
