// Every pattern of the checker's table, and the run-time user-type entries,
// give through the facade exactly what std::regex in ECMAScript mode gives:
// whole match, search with all groups (an unset group is empty), replace-all.
//
// Residual differences between the engines exist only for run-time texts
// with unusual quantifier runs: "a**" compiles in std::regex and not in
// PCRE2, and "a++", "a*+", "a?+" are possessive quantifiers in PCRE2 where
// std::regex rejects them. No fixed text and no C identifier holds them, so
// they are not among the cases below.
//
// The inputs stay short: std::regex recurses per character and cannot take
// lines of tens of thousands of characters.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "analysis/Pattern.h"
#include "analysis/PatternTable.h"
#include "analysis/UserTypeList.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry {
namespace {

using namespace std::string_literals;

std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (u >= 0x20 && u < 0x7f) {
      out += c;
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", u);
      out += buffer;
    }
  }
  return out;
}

// Example texts and real C lines, with tabs, carriage returns, bytes of the
// upper half, NUL bytes, the empty text and blanks only; also line feeds,
// which the checker's lines never hold, to pin "$" to the very end.
const std::vector<std::string>& BaseInputs() {
  static const std::vector<std::string> inputs = {
      "",
      " ",
      "   ",
      "\t",
      "\r",
      " \r",
      "//",
      "// comment",
      " // not a comment",
      "\t// not a comment",
      "a\tb",
      "a\t\t\tb",
      " myconst x",
      "__inline uint8 f(void)",
      " static const uint8 x = 1;",
      " volatile uint16 *p;",
      " @inline int f(void)",
      " INLINE int g(void)",
      " const",
      " int x const",
      " BOOLEAN flag",
      " Bool* p",
      " bool b;",
      " BOOL  **pp;",
      " VOID x",
      " void f(void);",
      " void* p;",
      " Typedef enum E",
      " typedef enum { A, B } Mod_enumE;",
      " typedef enum  E_tag {A=1,B} E;",
      " typedef struct S_tag { int a; } Mod_structS;",
      " typedef union { int a; float b; } Mod_unionU;",
      " typedef uint8 Mod_Level_t;",
      " typedef void (*fn)(void);",
      " foo uint8 x",
      " uint8_t x",
      " uint8 x",
      " UINT8 ucX;",
      " uint x;",
      " Uint  *p;",
      " uint16 a, uint16 b",
      " UINT32_T udCount;",
      " sint8 scA;",
      " int8_t b;",
      " int x;",
      " sint16 Loc;",
      " SINT32 sdX;",
      " float f;",
      "  float f;",
      " float32 fdA[4];",
      " double d;",
      " float64_t x;",
      "#define LED_MAX 10",
      " #define LED_MAX 10",
      "x  #define  A_1 (2)",
      " #define",
      " #define A #define B",
      " #define A\r #define B",
      " extern const uint8 *Mod_pu8Buf[4];",
      " extern void Mod_fnExt(void);",
      "extern int x;",
      " x extern",
      "LedDriver_aunBuf[4];",
      "  buf [10] = {0};",
      "Mod_fnSet(uint8 ucA, uint16 *punB)",
      "  f (void)",
      "x = 1;",
      "  name;",
      "} Foo_enumState;",
      "}  Name-1 ;",
      "{ A, B } x;",
      "char *p",
      "*p",
      "a*b*c",
      "x.c",
      "X.H",
      "a.b.c",
      "x.cpp",
      "x.hpp",
      "x.ch",
      "dir/Led.C",
      "Foo.tar.c",
      "my-file.c",
      ".c",
      "fooBarBaz",
      "ABC",
      "aBCd",
      "ABc",
      "AbCd",
      "Abc123",
      "()",
      "(a)",
      "(uint8 a, uint16 b)",
      "(void) x",
      "( int a",
      "uint8 a, uint16 b",
      "const uint8 *p, int c",
      "a b,,,c d",
      "a b\r, c d",
      "a,b;c",
      "*&p&",
      "{RED, Green, blue}",
      "{}",
      "x_List[3]",
      "abc_list",
      "Mod_uc",
      "_",
      "__x__",
      " mytype x",
      " MyType x",
      "(mytype *p)",
      " MYTYPE* q",
      " MyXType x",
      "static My.Type v;",
      " xx y",
      " [ab]c z",
      "(Bc*p",
      " Foo* f",
      " Fooo x",
      " tu8 a, tU8 b",
      " a_b\tc",
      " a_b c\r",
      "(a[b x",
      "\xe4\xf6\xfc uint8 \xc4x;",
      " uint8 Mod_uc\x80\xff;",
      "\xff\xfe",
      " \xc9NUM x",
      "\0"s,
      " uint8 a\0b;"s,
      "#define X\0Y 1"s,
      "x.c\0"s,
      " int a\rb;",
      " uint8 x;\r",
      "\r\n",
      "\n",
      " x extern\n",
      " static int x\n",
      "Abc\n",
      "x.c\n",
      " #define A\n",
      "a\nb",
  };
  return inputs;
}

// The base inputs and deterministic mutations of them (insert, delete or
// replace characters), a few hundred short texts in all.
std::vector<std::string> Inputs() {
  static const std::string alphabet =
      " \t\r(),;*[]{}#_=&.-abcdefilnorstuvxyzABCDEFILNORSTUVXYZ0128\x80\xc4\xe4\xff\n"s + '\0';
  std::vector<std::string> inputs = BaseInputs();
  std::mt19937 random(20260211u);  // the engine's sequence is fixed by the standard
  const std::size_t bases = inputs.size();
  for (int i = 0; i < 320; ++i) {
    std::string text = inputs[random() % bases];
    for (unsigned edits = 1 + random() % 4; edits > 0; --edits) {
      std::size_t at = random() % (text.size() + 1);
      char c = alphabet[random() % alphabet.size()];
      switch (random() % 3) {
        case 0:
          text.insert(at, 1, c);
          break;
        case 1:
          if (at < text.size()) text.erase(at, 1);
          break;
        default:
          if (at < text.size()) text[at] = c;
          break;
      }
    }
    inputs.push_back(text);
  }
  return inputs;
}

// Compares the facade pattern with std::regex built from the same text and
// returns a description of each difference. found counts the inputs on
// which the search succeeds.
std::vector<std::string> Differences(const Pattern& facade, const std::string& text, bool ignoreCase,
                                     const std::string& format, const std::vector<std::string>& inputs,
                                     std::size_t& found) {
  std::vector<std::string> differences;
  found = 0;
  std::regex::flag_type flags = std::regex::ECMAScript | (ignoreCase ? std::regex::icase : std::regex::flag_type{});
  std::regex reference(text, flags);
  if (facade.GroupCount() != reference.mark_count()) differences.push_back("group count");
  for (const std::string& input : inputs) {
    const std::string where = " on '" + Printable(input) + "'";
    if (facade.WholeMatch(input) != std::regex_match(input, reference)) differences.push_back("whole match" + where);
    MatchGroups groups;
    std::smatch match;
    bool matched = std::regex_search(input, match, reference);
    if (facade.Search(input, groups) != matched) {
      differences.push_back("search" + where);
    } else if (matched) {
      ++found;
      for (std::size_t i = 0; i < match.size(); ++i) {
        bool same = groups.Participated(i) == match[i].matched;
        if (match[i].matched) {
          same = same && groups[i] == match[i].str() &&
                 groups[i].data() - input.data() == static_cast<std::ptrdiff_t>(match.position(i));
        } else {
          same = same && groups[i].empty();
        }
        if (!same) {
          differences.push_back("group " + std::to_string(i) + where + ": '" + Printable(groups[i]) + "' vs '" +
                                Printable(match[i].str()) + "'");
        }
      }
    }
    std::string replaced = std::regex_replace(input, reference, format);
    if (facade.ReplaceAll(input, format) != replaced) differences.push_back("replace-all" + where);
  }
  return differences;
}

std::string Listing(const std::vector<std::string>& differences) {
  std::string out;
  for (std::size_t i = 0; i < differences.size() && i < 20; ++i) out += differences[i] + "\n";
  return out;
}

TEST(PatternConformance, TableMatchesStdRegex) {
  struct Row {
    const char* name;
    const Pattern& compiled;
    std::string text;  // as documented
    bool ignoreCase;
    const char* format;                        // the pattern's replace-all format, or nullptr
    const char* documentedConstant = nullptr;  // where the compiled form differs from the text
  };
  const PatternTable& table = PatternTable::Of(PatternEngine::Pcre2());
  const Row rows[] = {
      {"LineCommentPattern", reference::LineCommentPattern, "^[/][/].*", false, nullptr},
      {"BoolTypePattern", table.boolType, "^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", true, nullptr},
      {"QualifierPattern", reference::QualifierPattern,
       "(^.*)(const|[@_]*volatile|[@_]*static|[@_]*[Ii][Nn][Ll][Ii][Nn][Ee])([ ].*$)", false, nullptr},
      {"ExternPattern", reference::ExternPattern, "(^.*[ ])(extern)([ ].*$)", false, nullptr},
      {"UintPattern", table.uintType, "^[^ (,]*([ ]+[Uu][Ii][Nn][tT][ *]+)(.*)", false, nullptr},
      {"Uint8Pattern", table.uint8, "^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"Uint16Pattern", table.uint16, "^[^ (,]*([ ]+[Uu][Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"Uint32Pattern", table.uint32, "^[^ (,]*([ ]+[Uu][Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"TypedefEnumPattern", table.typedefEnum, "^[^ (,]*([ ]+typedef[ ]+enum[ ]+)(.*)", false, nullptr},
      {"TypedefStructPattern", table.typedefStruct, "^[^ (,]*([ ]+typedef[ ]+struct[ ])(.*)", false, nullptr},
      {"TypedefUnionPattern", table.typedefUnion, "^[^ (,]*([ ]+typedef[ ]+union[ ])(.*)", false, nullptr},
      {"TypedefPattern", table.typedefPlain, "^[^ (,]*([ ]+typedef[ ]+[^( ]+[ ]+)([^() ].*)", false, nullptr},
      {"SintPattern", table.sintType, "^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT][ *]+)(.*)", false, nullptr},
      {"Sint8Pattern", table.sint8, "^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"Sint16Pattern", table.sint16, "^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"Sint32Pattern", table.sint32, "^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", false, nullptr},
      {"VoidPattern", table.voidType, "^[^ (,]*([ ]+void[ *]+)(.*)", false, nullptr},
      {"DefinePattern", reference::DefinePattern, "^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*", false, nullptr,
       reference::kDefinePatternText},
      {"Float32Pattern", table.float32,
       "^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)", false, nullptr},
      {"Float64Pattern", table.float64,
       "^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)", false, nullptr},
      {"ArrayDeclaratorPattern", table.arrayDeclarator, "^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)", false, nullptr},
      {"FunctionDeclaratorPattern", table.functionDeclarator, "^[ ]*([^ {()=;]+)([ ]*[(].*)", false, nullptr},
      {"PlainDeclaratorPattern", table.plainDeclarator, "^[ ]*([^ ={();]+)(.*)", false, nullptr},
      {"TypedefNamePattern", table.typedefName, "^.*[}][ ]*([-A-Za-z0-9_]+)[;].*", false, nullptr},
      {"TabPattern", reference::TabPattern, "\t", false, "  "},
      {"CamelBoundaryPattern", table.camelBoundary, "([a-z])([A-Z])", false, "$1_$2"},
      {"ExtensionPattern", table.extension, "[.][-A-Za-z0-9_]+", false, ""},
      {"DoubleUpperPattern", table.doubleUpper, "^.*[A-Z][A-Z].*", false, nullptr},
      {"AlnumNamePattern", table.alnumName, "^[A-Za-z0-9]+$", false, nullptr},
      {"PointerBasePattern", table.pointerBase, "^([^*]+)[*].*", false, nullptr},
      {"SourceFilePattern", reference::SourceFilePattern, "(^.*[.])[ch]$", true, nullptr},
      {"DeclaratorSeparatorPattern", reference::DeclaratorSeparatorPattern, "[,;]", false, ""},
      {"ParameterListPattern", table.parameterList, "^[(]([^)]+)[)].*", false, nullptr},
      {"ParameterSplitPattern", table.parameterSplit, "(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*(.*)", false,
       nullptr, reference::kParameterSplitPatternText},
      {"PointerMarkPattern", reference::PointerMarkPattern, "[*&]", false, ""},
      {"EnumBodyPattern", reference::EnumBodyPattern, "[{]([^}]+)[}]", false, nullptr},
      {"ListPostfixPattern", reference::ListPostfixPattern, ".*[_]List.*", false, nullptr},
      {"UnderscorePattern", reference::UnderscorePattern, "[_]", false, "[_]"},
  };
  const std::vector<std::string> inputs = Inputs();
  ASSERT_GT(inputs.size(), 400u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(row.compiled.Valid());
    std::unique_ptr<Pattern> documented;
    const Pattern* facade = &row.compiled;
    if (row.documentedConstant != nullptr) {
      EXPECT_EQ(row.documentedConstant, row.text);
      documented = std::make_unique<Pattern>(row.text, row.ignoreCase ? Pattern::kIgnoreCase : Pattern::kNone);
      facade = documented.get();
    } else {
      EXPECT_EQ(row.compiled.Text(), row.text);
    }
    // Patterns that are not replaced in the checker still exercise the
    // replace-all iteration with groups.
    const std::string format = row.format != nullptr ? row.format : "<$&|$1|$2>";
    std::size_t found = 0;
    std::vector<std::string> differences = Differences(*facade, row.text, row.ignoreCase, format, inputs, found);
    EXPECT_TRUE(differences.empty()) << Listing(differences);
    // The inputs reach both outcomes of every pattern.
    EXPECT_GT(found, 0u);
    EXPECT_LT(found, inputs.size());
  }
}

const std::vector<std::string> kValidTypeNames = {"MyType", "tU8", "a_b", "My.Type", "x+", "[ab]c", "Foo*", "a[b", ""};

TEST(PatternConformance, UserTypeEntriesMatchStdRegex) {
  const std::vector<std::string> inputs = Inputs();
  for (const std::string& name : kValidTypeNames) {
    SCOPED_TRACE("type name '" + name + "'");
    const std::string text = UserTypeList::EntryText(name);
    const Pattern facade(text, Pattern::kIgnoreCase);
    ASSERT_TRUE(facade.Valid());
    std::size_t found = 0;
    std::vector<std::string> differences = Differences(facade, text, true, "$1_$2", inputs, found);
    EXPECT_TRUE(differences.empty()) << Listing(differences);
    EXPECT_GT(found, 0u);
    EXPECT_LT(found, inputs.size());
  }
  for (const char* name : {"(x", "a)", "x{2,1}", "[b-a]"}) {
    SCOPED_TRACE(std::string("type name '") + name + "'");
    const std::string text = UserTypeList::EntryText(name);
    EXPECT_FALSE(Pattern(text, Pattern::kIgnoreCase).Valid());
    EXPECT_THROW(std::regex(text, std::regex::ECMAScript | std::regex::icase), std::regex_error);
  }
}

// The list's search gives the type and rest groups of the alternative that
// the whole alternation "(" + list + ")" matches.
TEST(PatternConformance, UserTypeListFindMatchesAlternation) {
  UserTypeList list;
  for (const std::string& name : kValidTypeNames) list.Append(name);
  ASSERT_FALSE(test::Invalid(list));
  const std::regex alternation("(" + test::UserTypeListPeer::Text(list) + ")",
                               std::regex::ECMAScript | std::regex::icase);
  std::vector<std::string> differences;
  std::size_t found = 0;
  for (const std::string& input : Inputs()) {
    std::string_view type;
    std::string_view rest;
    std::smatch match;
    bool expected = std::regex_search(input, match, alternation);
    if (list.Find(input, type, rest) != expected) {
      differences.push_back("found on '" + Printable(input) + "'");
      continue;
    }
    if (!expected) continue;
    ++found;
    std::size_t entry = 0;
    while (!match[2 + 3 * entry].matched) ++entry;
    if (type != match[3 + 3 * entry].str() || rest != match[4 + 3 * entry].str()) {
      differences.push_back("groups on '" + Printable(input) + "': '" + Printable(type) + "', '" + Printable(rest) +
                            "' vs entry " + std::to_string(entry) + " '" + Printable(match[3 + 3 * entry].str()) +
                            "', '" + Printable(match[4 + 3 * entry].str()) + "'");
    }
  }
  EXPECT_TRUE(differences.empty()) << Listing(differences);
  EXPECT_GT(found, 50u);

  UserTypeList invalid;
  invalid.Append("MyType");
  invalid.Append("(x");
  EXPECT_TRUE(test::Invalid(invalid));
  std::string_view type;
  std::string_view rest;
  EXPECT_FALSE(invalid.Find(" MyType x", type, rest));
  EXPECT_THROW(
      std::regex("(" + test::UserTypeListPeer::Text(invalid) + ")", std::regex::ECMAScript | std::regex::icase),
      std::regex_error);
}

}  // namespace
}  // namespace skerry
