#include <gtest/gtest.h>

#include <random>

#include "analysis/LineScanner.h"
#include "analysis/Pattern.h"
#include "analysis/SourceLines.h"
#include "analysis/StatementPreparation.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/reference/LiteralScanner.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry::test {
namespace {

// ---------------------------------------------------------------------------
// Whole files through both passes: records in table order, the user-type
// list after the passes, and the first-function line.

struct FileCase {
  std::vector<std::string> lines;
  std::vector<std::string> records;
  std::vector<std::string> userTypes;
  int32_t firstFunctionLine;
};

const FileCase kFileCases[] = {
    {{"uint8 a, b;"}, {"a|1|Uint8 Variable||"}, {}, 1},
    {{"uint8 *p;"}, {"p|1|Uint8 Pointer Variable||"}, {}, 1},
    {{"const uint8* const Mod_p;"}, {"Mod_p|1|Uint8 Pointer Variable||"}, {}, 1},
    {{"static inline uint8 Mod_Fast(void)", "{"}, {"Mod_Fast|1|Uint8 Function||"}, {}, 1},
    {{"uint32\tbuf[10];"}, {"buf|1|Uint32 Array|| buf[10];"}, {}, 1},
    {{"uint8 Mod_au8Buf [4];"}, {"Mod_au8Buf|1|Uint8 Array|| Mod_au8Buf [4];"}, {}, 1},
    {{"extern sint32 Mod_sdValue;"}, {"Mod_sdValue|1|Extern Sint32 Variable||"}, {}, 1},
    {{"extern void Mod_Ext(void);", "int a;"}, {"a|2|Sint Variable||", "Mod_Ext|1|Extern Void Function||"}, {}, 1},
    {{"extern const uint8 *Mod_pu8Buf[4];"}, {"Mod_pu8Buf|1|Extern Pointer Uint8 Array|| Mod_pu8Buf[4];"}, {}, 1},
    // Macros; a "#" followed by blanks is no macro; a first-column comment is blank.
    {{"#define MOD_A(x) ((x)+1)", "# define MOD_B 1", "// #define MOD_C 1", "   // #define MOD_X 1",
      "\t#define MOD_T\t2"},
     {"MOD_T|5|Define||", "MOD_X|4|Define||", "MOD_A|1|Define||"},
     {},
     5},
    // The built-in type words, in table order (last line first).
    {{"int x;",     "float y;", "double z;", "boolean f;", "BOOL g;",      "unsigned int u;", "x = y;",
      "BOOLEAN h;", "Bool* p;", "VOID v;",   "uint8_t i;", "uint j;",      "UINT8 k;",        "int8 l;",
      "sint16 m;",  "int32 n;", "uint16 o;", "float64 q;", "float32_t r;", "Typedef enum E;"},
     {"r|19|Float32 Variable||", "q|18|Float64 Variable||", "o|17|Uint16 Variable||", "n|16|Sint32 Variable||",
      "m|15|Sint16 Variable||", "l|14|Sint8 Variable||", "k|13|Uint8 Variable||", "j|12|Uint Variable||",
      "i|11|Uint8 Variable||", "p|9|Bool Pointer Variable||", "h|8|Bool Variable||", "g|5|Bool Variable||",
      "f|4|Bool Variable||", "z|3|Float64 Variable||", "y|2|Float32 Variable||", "x|1|Sint Variable||"},
     {},
     20},
    // Qualifiers go only when a blank follows them, with no word boundary on the left.
    {{"uint8 const_value;", "uint8 myconst x;", "uint8 x const;"},
     {"x|3|Uint8 Variable||", "my|2|Uint8 Variable||", "const_value|1|Uint8 Variable||"},
     {},
     3},
    {{"typedef uint8 A_t;", "typedef uint16 B_t;", "A_t a;", "B_t b;"},
     {"b|4|UserType Variable|B_t|", "a|3|UserType Variable|A_t|", "B_t|2|Typedef Variable||",
      "A_t|1|Typedef Variable||"},
     {"B_t", "A_t"},
     4},
    {{"typedef uint8 Mod_Colour_t;", "Mod_Colour_t* pc;", "Mod_Colour_t *pc;", "mod_colour_t lower;"},
     {"lower|4|UserType Variable|mod_colour_t|", "*pc|3|UserType Variable|Mod_Colour_t|",
      "pc|2|UserType Pointer Variable|Mod_Colour_t*|", "Mod_Colour_t|1|Typedef Variable||"},
     {"Mod_Colour_t"},
     4},
    // Only a tag on the typedef line gives a record; the name after "}" becomes the user type.
    {{"typedef enum Mod_Colour_tag { RED, GREEN } Mod_Colour_t;", "typedef enum { RED, GREEN } Mod_Other_t;",
      "typedef enum", "{ A, B", "} Mod_Spread_t;"},
     {"Mod_Colour_tag|1|TypedefEnum Variable|Mod_Colour_t| Mod_Colour_tag { RED, GREEN } Mod_Colour_t;"},
     {"Mod_Colour_t"},
     5},
    {{"typedef union U_tag { uint8 b; } U-t;"},
     {"U_tag|1|TypedefUnion Variable|U-t| U_tag { uint8 b; } U-t;"},
     {"U-t"},
     1},
    // An empty type name matches a blank or "(" followed by a blank or "*".
    {{"typedef struct Mod_Tag", "x = a * b;"},
     {"Mod_Tag|1|TypedefStruct Variable|| Mod_Tag", "b|2|UserType Variable|*|"},
     {""},
     2},
    {{"typedef void Mod_Fn_t(void);", "int x;"},
     {"x|2|Sint Variable||", "Mod_Fn_t|1|Typedef Function||"},
     {"Mod_Fn_t"},
     1},
    {{"typedef uint8* P_t;"}, {"P_t|1|Typedef Pointer Variable||"}, {"P_t"}, 1},
    // A type name that does not compile disables every user type of the file.
    {{"typedef uint8 Mod_T;", "typedef uint8 *BytePtr_t;", "Mod_T x;", "mod_t y;"},
     {"*BytePtr_t|2|Typedef Variable||", "Mod_T|1|Typedef Variable||"},
     {"*BytePtr_t", "Mod_T"},
     4},
    // The user type is taken at its last place: the function name before it is not examined.
    {{"typedef uint8 Mod_Colour_t;", "Mod_Colour_t Mod_Get(Mod_Colour_t c)", "Mod_Colour_t Mod_Get2(void)", "{"},
     {"Mod_Get2|3|UserType Function|Mod_Colour_t|", "c|2|UserType Variable|Mod_Colour_t|",
      "Mod_Colour_t|1|Typedef Variable||"},
     {"Mod_Colour_t"},
     3},
    {{"", "   ", "\t\t", "// uint8 x;", "const ", "\\"}, {}, {}, 6},
    // "struct{" fails the struct test: the typedef learns "uint8" and the line records "a".
    {{"typedef struct{ uint8 a; } S;"}, {"a|1|UserType Variable|uint8|"}, {"uint8"}, 1},
    // "const" is gone before the parameters are split: "(const struct Mod_S x)" hands on " Mod_S x".
    // " S s" holds the user type S twice (any case): the last place leaves no name.
    {{"typedef uint8 S;", "typedef uint8 Mod_S;", "void f(const struct Mod_S x);", "void g(struct S s);"},
     {"g|4|Void Function||", "x|3|UserType Variable|Mod_S|", "f|3|Void Function||", "Mod_S|2|Typedef Variable||",
      "S|1|Typedef Variable||"},
     {"Mod_S", "S"},
     3},
    // After extern is cut out two blanks stand before the type word.
    {{"extern float x;", "extern double y;", "extern float32 z;", "extern float64 w;"},
     {"w|4|Extern Float64 Variable||", "z|3|Extern Float32 Variable||"},
     {},
     4},
    // A name of separators only is not entered; a typedef name keeps them in its entry.
    {{"uint8 , x;", "typedef uint8 , y;"}, {"y|2|UserType Variable|,|"}, {","}, 2},
    {{"void Led_Set(uint8 a, uint16 b);", "void Led_Two(uint8 a,uint16 b) {"},
     {"a|2|Uint8 Variable||", "b|2|Uint16 Variable||", "Led_Two|2|Void Function||", "a|1|Uint8 Variable||",
      "b|1|Uint16 Variable||", "Led_Set|1|Void Function||"},
     {},
     1},
    {{"__inline uint8 f(void)", "uint8 INLINE g(void);", "}"}, {"g|2|Uint8 Function||"}, {}, 2},
    // A carriage return inside the line stops the qualifier removal and ends what "." takes; at
    // the ends it is trimmed.
    {{"uint8 a;\r", "const uint8 b;\r", "uint8 c\r;"}, {"c|3|Uint8 Variable||", "a|1|Uint8 Variable||"}, {}, 3},
    {{"#define MOD_M(a) \\", "  uint8\\ml;"}, {"ml|2|Uint8 Variable||", "MOD_M|1|Define||"}, {}, 2},
    {{"uint8 a[2](x);", "uint8 f(a[2]);", "uint8 x = {0};", "uint8 =x;"},
     {"x|3|Uint8 Variable||", "f|2|Uint8 Function||", "a|1|Uint8 Array|| a[2](x);"},
     {},
     2},
    // A typedef test overwrites the type found before it; the type pass sees no typedef here.
    {{"uint8 typedef int T;"}, {"T|1|Uint8 Typedef Variable||"}, {}, 1},
};

TEST(LineScanner, FilesThroughBothPasses) {
  for (const FileCase& test : kFileCases) {
    SCOPED_TRACE(::testing::PrintToString(test.lines));
    UserTypeList userTypes;
    FileScan scan = ScanFileLines(test.lines, userTypes);
    EXPECT_EQ(DescribeAll(scan.table), ExpectedAll(test.records));
    EXPECT_EQ(UserTypeListPeer::Text(userTypes), UserTypeText(test.userTypes));
    EXPECT_EQ(scan.firstFunctionLine, test.firstFunctionLine);
  }
}

// ---------------------------------------------------------------------------
// Single calls, showing what each pass does on its own.

struct CallCase {
  std::string line;
  int32_t number;
  bool typePass;
  std::vector<std::string> knownTypes;
  int32_t firstFunctionLine;
  std::vector<std::string> records;
  std::vector<std::string> userTypes;
  int32_t firstFunctionLineAfter;
};

const CallCase kCallCases[] = {
    {"typedef void Fn_t(void);", 5, true, {}, 9, {}, {"Fn_t"}, 5},
    {"uint8 f(void);", 5, true, {}, 9, {}, {}, 9},
    {"uint8 f(void);", 7, false, {}, 5, {"f|7|Uint8 Function||"}, {}, 5},
    {"typedef enum E_tag { A } E_t;",
     3,
     true,
     {"X"},
     9,
     {"E_tag|3|TypedefEnum Variable|E_t| E_tag { A } E_t;"},
     {"X", "E_t"},
     9},
    {"typedef enum E_tag { A } E_t;", 3, false, {"X"}, 9, {}, {"X"}, 9},
    {"typedef uint8 T;", 3, false, {}, 9, {"T|3|Typedef Variable||"}, {}, 9},
    {"#define X 1", 3, true, {}, 9, {}, {}, 9},
    {"X_t x;", 3, true, {"X_t"}, 9, {}, {"X_t"}, 9},
    {"X_t x;", 3, false, {"X_t"}, 9, {"x|3|UserType Variable|X_t|"}, {"X_t"}, 9},
    // The first entry in list order decides, not the place in the line.
    {"B_t f(A_t a)", 3, false, {"A_t", "B_t"}, 9, {"a|3|UserType Variable|A_t|"}, {"A_t", "B_t"}, 9},
    {"B_t f(A_t a)",
     3,
     false,
     {"B_t", "A_t"},
     9,
     {"a|3|UserType Variable|A_t|", "f|3|UserType Function|B_t|"},
     {"B_t", "A_t"},
     3},
};

TEST(LineScanner, SingleCalls) {
  for (const CallCase& test : kCallCases) {
    SCOPED_TRACE(test.line + (test.typePass ? " (type pass)" : " (declaration pass)"));
    DeclarationTable table;
    UserTypeList userTypes;
    for (const std::string& name : test.knownTypes) userTypes.Append(name);
    int32_t firstFunctionLine = test.firstFunctionLine;
    ScanLine(test.line, test.number, table, userTypes, test.typePass, firstFunctionLine);
    EXPECT_EQ(DescribeAll(table), ExpectedAll(test.records));
    EXPECT_EQ(UserTypeListPeer::Text(userTypes), UserTypeText(test.userTypes));
    EXPECT_EQ(firstFunctionLine, test.firstFunctionLineAfter);
  }
}

// ---------------------------------------------------------------------------
// Parameter lists: every record carries the function's line (9).

struct ParameterCase {
  std::string text;
  std::vector<std::string> knownTypes;
  std::vector<std::string> records;
  int32_t firstFunctionLineAfter;
};

const ParameterCase kParameterCases[] = {
    {"(uint8 a, uint16 b)", {}, {"a|9|Uint8 Variable||", "b|9|Uint16 Variable||"}, 100},
    {"(uint8 a,uint16 b)", {}, {"a|9|Uint8 Variable||", "b|9|Uint16 Variable||"}, 100},
    {"  (uint8 a)  ", {}, {"a|9|Uint8 Variable||"}, 100},
    {"(const uint8 *p, MyType x);", {"MyType"}, {"p|9|Uint8 Pointer Variable||", "x|9|UserType Variable|MyType|"}, 100},
    {"(void)", {}, {}, 100},
    {"()", {}, {}, 100},
    {"(x)", {}, {}, 100},
    {"(uint8 a, uint16 b", {}, {}, 100},
    {"(uint8 a ,uint16 b)", {}, {"a|9|Uint8 Variable||"}, 100},
    {"(uint8 a, , uint16 b)", {}, {"a|9|Uint8 Variable||"}, 100},
    {"(uint8 a,, uint16 b)", {}, {"a|9|Uint8 Variable||", "b|9|Uint16 Variable||"}, 100},
    // "." stops at a carriage return: the rest of the list ends there.
    {"(uint8 a,\r uint16 b)", {}, {"a|9|Uint8 Variable||"}, 100},
    {"(const struct S s)", {"struct"}, {"S|9|UserType Variable|struct|"}, 100},
    {"(uint8 (*cb)(void), uint8 x)", {}, {}, 100},
    {"(x, uint8 a)", {}, {}, 100},
    {"(a b c d e, f g)",
     {"b", "d", "f"},
     {"c|9|UserType Variable|b|", "e|9|UserType Variable|d|", "g|9|UserType Variable|f|"},
     100},
    // A parameter that is itself a function declarator lowers the first-function line.
    {"(uint8 g(x, uint8 y)", {}, {"g|9|Uint8 Function||", "y|9|Uint8 Variable||"}, 9},
};

TEST(ParameterScanner, ListsSplitIntoParameters) {
  for (const ParameterCase& test : kParameterCases) {
    SCOPED_TRACE(test.text);
    DeclarationTable table;
    UserTypeList userTypes;
    for (const std::string& name : test.knownTypes) userTypes.Append(name);
    const std::string typesBefore = UserTypeListPeer::Text(userTypes);
    FileScanner scanner(table, userTypes, 100);
    scanner.ScanParameterList(Interned(test.text), 9);
    EXPECT_EQ(DescribeAll(table), ExpectedAll(test.records));
    EXPECT_EQ(UserTypeListPeer::Text(userTypes), typesBefore);
    EXPECT_EQ(scanner.FirstFunctionLine(), test.firstFunctionLineAfter);
  }
}

TEST(ParameterScanner, PassesRunFromTheLastLine) {
  const std::vector<std::string> lines = {"typedef struct S_tag { uint8 m; } S_t;", "uint8 a;", "S_t b;"};
  const SourceLines source = SourceLines::FromBytes(lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n");

  // With the type pass: type-pass records, then the declaration pass, both from the last line.
  DeclarationTable table;
  UserTypeList userTypes;
  FileScanner scanner(table, userTypes, 3);
  scanner.TypePass(source);
  scanner.DeclarationPass(source);
  const std::vector<std::string> both = ExpectedAll({"S_tag|1|TypedefStruct Variable|S_t| S_tag { uint8 m; } S_t;",
                                                     "b|3|UserType Variable|S_t|", "a|2|Uint8 Variable||"});
  EXPECT_EQ(DescribeAll(table), both);
  EXPECT_EQ(UserTypeListPeer::Text(userTypes), UserTypeText({"S_t"}));
  EXPECT_EQ(scanner.FirstFunctionLine(), 3);
  UserTypeList lineByLine;
  EXPECT_EQ(DescribeAll(ScanFileLines(lines, lineByLine).table), both);

  // Without it the user type is unknown.
  DeclarationTable declarationsOnly;
  UserTypeList noTypes;
  FileScanner(declarationsOnly, noTypes, 3).DeclarationPass(source);
  EXPECT_EQ(DescribeAll(declarationsOnly), ExpectedAll({"a|2|Uint8 Variable||"}));
  EXPECT_TRUE(noTypes.empty());

  DeclarationTable none;
  FileScanner empty(none, noTypes, 0);
  empty.TypePass(SourceLines());
  empty.DeclarationPass(SourceLines());
  EXPECT_TRUE(none.empty());
}

// ---------------------------------------------------------------------------
// The scanner against the reference written with the literal patterns
// (tests/reference/LiteralScanner.cpp).

using reference::LiteralScanLine;

const std::vector<std::string> kCorpus = {
    "uint8 a, b;",
    "static inline uint8 Mod_Fast(void)",
    "extern const uint8 *Mod_pu8Buf[4];",
    "typedef enum Mod_Colour_tag { RED, GREEN } Mod_Colour_t;",
    "typedef struct Mod_Tag",
    "typedef uint8 A_t;",
    "A_t a;",
    "Mod_Colour_t Mod_Get(Mod_Colour_t c)",
    "void Led_Set(uint8 a, uint16 b);",
    "#define MOD_A(x) ((x)+1)",
    "   // #define MOD_X 1",
    "x = a * b;",
    "typedef void Mod_Fn_t(void);",
    "typedef uint8 *BytePtr_t;",
    "int main(void)",
    "\tuint32\tbuf[10];",
    "BOOL g;",
    "float y; double z;",
    "typedef union U_tag { uint8 b; float32 f; } U_t;",
    "const uint8* const Mod_p;",
    "extern void Mod_Ext(void);",
    "void f(const struct S s);",
    "typedef struct{ uint8 a; } S;",
    "U_t *pu;",
    "S s1 = {0};",
    "uint8 (*cb)(void);",
    "void g(uint8 a ,uint16 b, MyType x) {",
    "__inline uint8 f(void)",
    "typedef A_t B_t;",
    "B_t arr_List[3] = { 1, 2 };",
    "Mod_Colour_t* pc;",
    "extern float32 x;",
    "extern float x;",
    "uint8 , x;",
    "typedef uint8 a.b;",
    "typedef uint8 x|y;",
    "typedef uint8 a}b;",
    "typedef uint8 +x;",
    "typedef int MyType;",
    "MyType m(MyType a, uint8 (x), const MyType *p);",
    "extern extern sint16 Mod_snX;",
    "unsigned int u;",
    "double Mod_fdX;",
    "sint16 *Mod_psnY[2];",
    "int8 Mod_scZ(void);",
    "int32 Mod_sdW = 0;",
};

const std::vector<std::string> kFragments = {
    " ",       "  ",      "\t",        "\r",        "(",        ")",
    ",",       ";",       "*",         "{",         "}",        "#",
    "_",       "[",       "]",         "=",         "\\",       "//",
    "const ",  "const",   "volatile ", "__static ", "@inline ", "INLINE ",
    "inline",  "extern ", " extern ",  "extern",    "typedef ", "struct ",
    "enum ",   "union ",  "uint8 ",    "uint ",     "int ",     "float ",
    "double ", "bool ",   "void ",     "#define ",  "A_t ",     "Mod_Colour_t ",
    "S ",      "x",       "a.b ",      "MyType ",   "} T_t;",   "typedef int ",
};

TEST(LineScanner, MatchesReferenceOnGeneratedFiles) {
  LineMutator mutator(20240611u, kCorpus, kFragments, " \t\r(),;*{}#_azAZ09[]=", 400);
  int compared = 0;
  for (int file = 0; file < 4000; ++file) {
    std::vector<std::string> lines(1 + mutator.Below(6));
    for (std::string& line : lines) line = mutator.Line();

    UserTypeList userTypes;
    FileScan scan = ScanFileLines(lines, userTypes);

    DeclarationTable table;
    std::string referenceTypes;
    int32_t firstFunctionLine = static_cast<int32_t>(lines.size());
    for (bool typePass : {true, false}) {
      for (std::size_t i = lines.size(); i-- > 0;) {
        LiteralScanLine(lines[i], static_cast<int32_t>(i + 1), table, referenceTypes, typePass, firstFunctionLine);
      }
    }
    SCOPED_TRACE(::testing::PrintToString(lines));
    ASSERT_EQ(DescribeAll(scan.table, true), DescribeAll(table, true));
    ASSERT_EQ(UserTypeListPeer::Text(userTypes), referenceTypes);
    ASSERT_EQ(scan.firstFunctionLine, firstFunctionLine);
    compared += static_cast<int>(table.size());
  }
  EXPECT_GT(compared, 4000);  // the generated files are mostly recognisable
}

// FindExternWord: the pattern "(^.*[ ])(extern)([ ].*$)" spans the whole
// text with ".", so a text holding a line terminator never matches;
// otherwise the greedy group 1 takes the rightmost "extern" with a blank on
// each side.
TEST(LineScanner, ExternWordsMatchReference) {
  LineMutator mutator(7u,
                      {"extern uint8 x;", "extern sint16 extern y;", "uint8 extern z;", " extern  extern uint16 w;"},
                      {"extern", " extern ", "extern ", " ", "\r", "x", "externextern", "uint8 "}, " xe\r", 300);
  for (int n = 0; n < 4000; ++n) {
    std::string line = mutator.Line();
    UserTypeList userTypes;
    DeclarationTable table;
    int32_t firstFunctionLine = 5;
    ScanLine(line, 1, table, userTypes, false, firstFunctionLine);
    DeclarationTable reference;
    std::string referenceTypes;
    int32_t referenceFirst = 5;
    LiteralScanLine(line, 1, reference, referenceTypes, false, referenceFirst);
    ASSERT_EQ(DescribeAll(table, true), DescribeAll(reference, true)) << ::testing::PrintToString(line);
  }
}

// ---------------------------------------------------------------------------
// Qualifier removal, part of the statement preparation, against the loop of
// the documented pattern.

// The statement PrepareStatement gives for line, or "" when it gives none.
std::string Prepared(const std::string& line) {
  std::string statement;
  return PrepareStatement(line, statement) ? statement : std::string();
}

TEST(LineScanner, QualifierRemovalExamples) {
  const std::pair<std::string, std::string> cases[] = {
      {" myconst x", " my x"},
      {"x const", "x const"},
      {"const volatile static inline x", "    x"},
      {"INLINE x", " x"},
      {"CONST x", "CONST x"},
      {"Static x", "Static x"},
      {"__inline uint8 f(void)", "__ uint8 f(void)"},
      {"@@volatile x", "@@ x"},
      {"constconst x", " x"},
      {"conststatic x", " x"},
      {"a const  b const c", "a   b  c"},
      {"constant x", "constant x"},
      {"const x\r", "const x\r"},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(reference::LiteralRemoveQualifiers(line), expected) << ::testing::PrintToString(line);
    EXPECT_EQ(Prepared(line), reference::LiteralStatement(expected)) << ::testing::PrintToString(line);
  }
}

// Each step of the documented loop drops the rightmost qualifier word that a
// blank follows and keeps the blank; a removal can only make a new
// qualifier end right before that same blank. Building the line left to
// right and, at every blank, dropping the qualifier words that end just
// before it therefore gives the same text in one pass, where the loop is
// quadratic. A line holding a line terminator never matches (the pattern's
// "." does not cross one, and it spans the whole line), so it is left as it
// is. The second blank of a tab follows a blank, where no word ends.
TEST(LineScanner, QualifierRemovalMatchesPatternLoop) {
  const std::vector<std::string> pieces = {"const", "volatile", "static", "inline", "INLINE", "Inline", "_",
                                           "@",     " ",        "  ",     "x",      "con",    "st",     "\r",
                                           "\n",    "\t",       "ab",     "line",   "in",     "vol"};
  std::mt19937 random(99u);
  for (int n = 0; n < 20000; ++n) {
    std::string line;
    std::size_t count = std::uniform_int_distribution<std::size_t>(0, 60)(random);
    for (std::size_t i = 0; i < count; ++i) {
      line += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    }
    ASSERT_EQ(Prepared(line), reference::LiteralStatement(line)) << ::testing::PrintToString(line);
  }
}

}  // namespace
}  // namespace skerry::test
