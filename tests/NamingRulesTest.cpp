#include <gtest/gtest.h>

#include <random>

#include "analysis/NamingRules.h"
#include "analysis/Pattern.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry::test {
namespace {

struct Report {
  int32_t line;
  std::string message;
};

struct NamingCase {
  const char* title;
  std::string module;
  int32_t firstFunctionLine;
  std::vector<TestRecord> records;
  std::vector<Report> reports;
};

TestRecord R(const std::string& name, int32_t line, const std::string& flags, const std::string& typeName = "",
             const std::string& text = "") {
  return MakeRecord(name, line, flags, typeName, text);
}

std::string Listing(const std::vector<Report>& reports) {
  std::string text;
  for (const Report& report : reports) {
    text += "src/Led.c(" + std::to_string(report.line) + "): error style: " + report.message + "\n";
  }
  return text;
}

std::string Check(DeclarationTable& table, const std::string& module, int32_t firstFunctionLine) {
  DiagnosticList diagnostics;
  CheckNamingRules(table, module, "src/Led.c", firstFunctionLine, diagnostics);
  return diagnostics.Text();
}

const char* const kLocal = "^[A-Za-z0-9_#]+$";

const NamingCase kCases[] = {
    {"file-scope variable",
     "LedDriver",
     10,
     {R("ucCount", 3, "Variable Uint8"), R("LedDriver_ucCount", 4, "Variable Uint8"),
      R("LedDriver_uc#1", 5, "Variable Uint8"), R("LedDriver_uc", 6, "Variable Uint8"), R("main", 7, "Variable Sint")},
     {{3, "ucCount does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {6, "LedDriver_uc does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {7, "main does not fit: ^LedDriver[_]sn[A-Za-z0-9_#]+$"}}},
    {"variable after the first function",
     "LedDriver",
     10,
     {R("x", 12, "Variable Bool"), R("boFlag", 13, "Variable Bool"), R("LedDriver_boX", 14, "Variable Bool")},
     {{12, "x does not fit: ^bo[A-Za-z0-9_#]+$"}, {14, "LedDriver_boX does not fit: ^bo[A-Za-z0-9_#]+$"}}},
    {"functions and main",
     "LedDriver",
     10,
     {R("Init", 5, "Function Void"), R("LedDriver_Init", 6, "Function Void"), R("LedDriver_Run", 11, "Function Void"),
      R("Run", 12, "Function Uint8"), R("main", 14, "Function Sint"), R("Main", 15, "Function Sint"),
      R("main", 1, "Function Sint")},
     {{5, "Init does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {12, "Run does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {15, "Main does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"}}},
    {"extern declarations and prototypes",
     "LedDriver",
     10,
     {R("sdX", 3, "Extern Variable Sint16"), R("Other_snX", 4, "Extern Variable Sint16"),
      R("Other_snY", 12, "Extern Variable Sint16"), R("snY", 13, "Extern Variable Sint16"),
      R("Other_Init", 5, "Extern Function Void", "", " Other_Init(void);"),
      R("LedDriver_Ext", 6, "Extern Function Void")},
     {{3, "sdX does not fit: ^[A-Za-z0-9]+[_]sn[A-Za-z0-9_#]+$"},
      {5, "Other_Init does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {13, "snY does not fit: ^[A-Za-z0-9]+[_]sn[A-Za-z0-9_#]+$"}}},
    {"macros",
     "LedDriver",
     10,
     {R("Led_Max", 2, "Define"), R("__LED_DRIVER_MAX", 3, "Define"), R("LedDriver_MAX", 4, "Define"),
      R("lower", 11, "Define"), R("_UPPER", 12, "Define"), R("X", 5, "Define", "x y")},
     {{2, "Led_Max does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$"},
      {4, "LedDriver_MAX does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$"},
      {5, "X does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$"},
      {11, "lower does not fit: ^[_]*[A-Z0-9_#]+$"}}},
    {"typedef enum",
     "LedDriver",
     10,
     {R("Colour_tag", 3, "TypedefEnum Variable", "Colour_t", " Colour_tag { RED } Colour_t;"),
      R("LedDriver_enumColour", 4, "TypedefEnum Variable", "LedDriver_Colour_t",
        " LedDriver_enumColour { RED } LedDriver_Colour_t;")},
     {{3, "Colour_tag does not fit: ^LedDriver[_]enum[A-Za-z0-9_#]+$"},
      {3, "Colour_t does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"}}},
    {"type prefixes, first flag wins",
     "LedDriver",
     1,
     {R("x", 1, "Sint8"),          R("x", 2, "Sint16"),
      R("x", 3, "Sint32"),         R("x", 4, "Sint"),
      R("x", 5, "Float32"),        R("x", 6, "Float64"),
      R("x", 7, "Uint16"),         R("x", 8, "Uint8"),
      R("x", 9, "Uint32"),         R("x", 10, "Uint"),
      R("x", 11, "Bool"),          R("x", 12, "TypedefEnum"),
      R("x", 13, "TypedefStruct"), R("x", 14, "TypedefUnion"),
      R("x", 15, "UserType"),      R("x", 16, "Void"),
      R("x", 17, "Typedef"),       R("x", 18, "Uint8 Sint8"),
      R("x", 19, "Bool Uint32"),   R("x", 20, "TypedefEnum Uint8", "", " x { a }"),
      R("x", 21, "Function Uint8")},
     {{1, "x does not fit: ^sc[A-Za-z0-9_#]+$"},
      {2, "x does not fit: ^sn[A-Za-z0-9_#]+$"},
      {3, "x does not fit: ^sd[A-Za-z0-9_#]+$"},
      {4, "x does not fit: ^sn[A-Za-z0-9_#]+$"},
      {5, "x does not fit: ^fn[A-Za-z0-9_#]+$"},
      {6, "x does not fit: ^fd[A-Za-z0-9_#]+$"},
      {7, "x does not fit: ^un[A-Za-z0-9_#]+$"},
      {8, "x does not fit: ^uc[A-Za-z0-9_#]+$"},
      {9, "x does not fit: ^ud[A-Za-z0-9_#]+$"},
      {10, "x does not fit: ^un[A-Za-z0-9_#]+$"},
      {11, "x does not fit: ^bo[A-Za-z0-9_#]+$"},
      {12, "x does not fit: ^enum[A-Za-z0-9_#]+$"},
      {13, "x does not fit: ^struct[A-Za-z0-9_#]+$"},
      {14, "x does not fit: ^union[A-Za-z0-9_#]+$"},
      {18, "x does not fit: ^sc[A-Za-z0-9_#]+$"},
      {19, "x does not fit: ^ud[A-Za-z0-9_#]+$"},
      {20, "x does not fit: ^uc[A-Za-z0-9_#]+$"},
      {21, "x does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"}}},
    {"Config frees macros",
     "Config",
     10,
     {R("MAX", 2, "Define"), R("max", 3, "Define"), R("x", 4, "Variable Uint8")},
     {{3, "max does not fit: ^[_]*[A-Z0-9_#]+$"}, {4, "x does not fit: ^Config[_]uc[A-Za-z0-9_#]+$"}}},
    {"ConfigLeds frees macros", "ConfigLeds", 10, {R("MAX", 2, "Define"), R("__MAX", 3, "Define")}, {}},
    {"config does not", "config", 10, {R("MAX", 2, "Define")}, {{2, "MAX does not fit: ^[_]*CONFIG[_][A-Z0-9_#]+$"}}},
    {"Conf does not", "Conf", 10, {R("MAX", 2, "Define")}, {{2, "MAX does not fit: ^[_]*CONF[_][A-Z0-9_#]+$"}}},
    {"upper module prefix of myFileX",
     "myFileX",
     10,
     {R("X", 2, "Define"), R("MY_FILE_X_A", 3, "Define")},
     {{2, "X does not fit: ^[_]*MY[_]FILE[_]X[_][A-Z0-9_#]+$"}}},
    {"upper module prefix of ADCValue",
     "ADCValue",
     10,
     {R("X", 2, "Define")},
     {{2, "X does not fit: ^[_]*ADCVALUE[_][A-Z0-9_#]+$"}}},
    {"member exemption",
     "LedDriver",
     20,
     {R("LedDriver_structS", 2, "TypedefStruct Variable", "LedDriver_S_t",
        " LedDriver_structS { uint8 ucMember; T *ucP; } ucTail;"),
      R("ucMember", 5, "Variable Uint8"), R("ucMem", 6, "Variable Uint8"), R("*ucP", 7, "Variable Uint8"),
      R("ucTail", 8, "Variable Uint8"), R("ucMember", 1, "Variable Uint8"), R("ucMember", 2, "Variable Uint8"),
      R("Member", 9, "Variable Uint8"),
      R("LedDriver_unionU", 10, "TypedefUnion Variable", "", " LedDriver_unionU { uint8 ucOpen;"),
      R("ucOpen", 11, "Variable Uint8"),
      R("LedDriver_enumE", 12, "TypedefEnum Variable", "", " LedDriver_enumE { UCX } LedDriver_E_t;"),
      R("UCX", 13, "Variable Uint8"), R("ucMember", 14, "Extern Variable Uint8")},
     {{1, "ucMember does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {2, "ucMember does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {8, "ucTail does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {9, "Member does not fit: ^uc[A-Za-z0-9_#]+$"},
      {13, "UCX does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"},
      {14, "ucMember does not fit: ^[A-Za-z0-9]+[_]uc[A-Za-z0-9_#]+$"}}},
    {"a pointer name written with an asterisk inside a member list is not a member",
     "LedDriver",
     20,
     {R("LedDriver_structS", 2, "TypedefStruct", "", " LedDriver_structS { T * ucP; } LedDriver_S_t;"),
      R("*ucP", 3, "Variable Uint8")},
     {{3, "ucP does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"}}},
    {"enumeration bodies",
     "LedDriver",
     20,
     {R("LedDriver_enumE", 1, "TypedefEnum Variable", "", " LedDriver_enumE { RED, GREEN = 2 } x;"),
      R("LedDriver_enumE", 2, "TypedefEnum Variable", "", " LedDriver_enumE { RED, green } x;"),
      R("LedDriver_enumE", 3, "TypedefEnum Variable", "", " LedDriver_enumE { A = b }"),
      R("LedDriver_enumE", 4, "TypedefEnum Variable", "", " LedDriver_enumE {x}"),
      R("LedDriver_enumE", 5, "TypedefEnum Variable", "", " LedDriver_enumE"),
      R("LedDriver_enumE", 6, "TypedefEnum Variable", "", " e {}"),
      R("LedDriver_enumE", 7, "TypedefEnum Variable", "", " e { x"),
      R("LedDriver_enumE", 8, "TypedefEnum Variable", "", " e {} { x }"),
      R("LedDriver_enumE", 9, "TypedefEnum Variable", "", " e { A } { b }"),
      R("LedDriver_enumE", 10, "TypedefEnum Variable", "", " e {{a}"),
      R("LedDriver_enumE", 11, "TypedefEnum Variable", "", " e }{ a }"),
      R("*LedDriver_enumP", 12, "TypedefEnum Variable", "", " {a}")},
     {{2, " RED, green  in enum LedDriver_enumE have to be uppercase!"},
      {3, " A = b  in enum LedDriver_enumE have to be uppercase!"},
      {4, "x in enum LedDriver_enumE have to be uppercase!"},
      {8, " x  in enum LedDriver_enumE have to be uppercase!"},
      {10, "{a in enum LedDriver_enumE have to be uppercase!"},
      {11, " a  in enum LedDriver_enumE have to be uppercase!"},
      {12, "a in enum LedDriver_enumP have to be uppercase!"}}},
    {"array postfix",
     "LedDriver",
     20,
     {R("LedDriver_ucBuf", 1, "Array Uint8", "", " LedDriver_ucBuf[4];"),
      R("LedDriver_ucBuf_List", 2, "Array Uint8", "", " LedDriver_ucBuf_List[4];"),
      R("LedDriver_ucBuf", 3, "Array Uint8", "", " LedDriver_ucBuf[LEN_List];"),
      R("LedDriver_ucBuf_list", 4, "Array Uint8", "", " LedDriver_ucBuf_list[4];"),
      R("*LedDriver_ucP", 5, "Array Uint8", "", " *LedDriver_ucP[2];"),
      R("LedDriver_ucV", 6, "Variable Uint8", "", " LedDriver_ucV[4];")},
     {{1, "LedDriver_ucBuf needs to have array postfix '_List' in name!"},
      {4, "LedDriver_ucBuf_list needs to have array postfix '_List' in name!"},
      {5, "LedDriver_ucP needs to have array postfix '_List' in name!"}}},
    {"first-function line boundary",
     "LedDriver",
     10,
     {R("ucA", 9, "Variable Uint8"), R("ucA", 10, "Variable Uint8"), R("ucA", 11, "Variable Uint8"),
      R("X", 10, "Define"), R("X", 9, "Define")},
     {{9, "X does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$"},
      {9, "ucA does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"}}},
    {"empty module name",
     "",
     10,
     {R("ucX", 1, "Variable Uint8"), R("_ucX", 2, "Variable Uint8"), R("X", 3, "Define"), R("_X", 4, "Define"),
      R("Init", 5, "Function"), R("_Init", 6, "Function"), R("main", 7, "Function")},
     {{1, "ucX does not fit: ^[_]uc[A-Za-z0-9_#]+$"},
      {3, "X does not fit: ^[_]*[_][A-Z0-9_#]+$"},
      {5, "Init does not fit: ^[_][A-Za-z0-9_#]+$"}}},
    // "a[b" leaves valid patterns in which "[b[_]" is a bracket class.
    {"module name with a bracket",
     "a[b",
     10,
     {R("a_ucX", 1, "Variable Uint8"), R("ucY", 2, "Variable Uint8"), R("A_B_MAX", 3, "Define"),
      R("Init", 4, "Function"), R("a_x", 5, "Variable UserType", "T_t")},
     {{2, "ucY does not fit: ^a[b[_]uc[A-Za-z0-9_#]+$"},
      {4, "Init does not fit: ^a[b[_][A-Za-z0-9_#]+$"},
      {5, "T_t does not fit: ^a[b[_][A-Za-z0-9_#]+$"}}},
    // "a(b" leaves patterns that do not compile: those name rules are skipped.
    {"module name that breaks the pattern",
     "a(b",
     10,
     {R("ucY", 2, "Variable Uint8"), R("Init", 3, "Function"), R("x", 4, "Variable UserType", "T_t"),
      R("y", 5, "Array Uint8", "", " y[2];"), R("m", 6, "Define"), R("bad", 12, "Variable Uint8"),
      R("X", 13, "Define")},
     {{5, "y needs to have array postfix '_List' in name!"}, {12, "bad does not fit: ^uc[A-Za-z0-9_#]+$"}}},
    {"type names",
     "LedDriver",
     10,
     {R("LedDriver_x", 3, "Variable UserType Pointer", "LedDriver_T*"),
      R("LedDriver_y", 4, "Variable UserType", "Other_T"), R("y", 12, "Variable UserType", "Other_T"),
      R("z", 13, "Variable UserType", "Other_T*"), R("Other_v", 6, "Extern Variable UserType", "Other_T"),
      R("Other_w", 7, "Extern Variable UserType", "T"), R("LedDriver_z", 8, "Variable UserType", "LedDriver_T")},
     {{3, "LedDriver_T* does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {4, "Other_T does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {7, "T does not fit: ^[A-Za-z0-9]+[_][A-Za-z0-9_#]+$"},
      {13, std::string("Other_T* does not fit: ") + kLocal}}},
    {"report order within a record",
     "LedDriver",
     10,
     {R("x", 3, "TypedefEnum Array", "y", " x[2] { a } ;")},
     {{3, " a  in enum x have to be uppercase!"},
      {3, "x needs to have array postfix '_List' in name!"},
      {3, "x does not fit: ^LedDriver[_]enum[A-Za-z0-9_#]+$"},
      {3, "y does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"}}},
    // Greatest line first by a stable sort, walked from the back: records of
    // one line come in reverse table order.
    {"order of records",
     "LedDriver",
     1,
     {R("p", 5, "Variable Uint8"), R("f", 5, "Function"), R("a", 2, "Variable Bool"), R("q", 9, "Variable Uint8"),
      R("b", 2, "Variable Bool")},
     {{2, "b does not fit: ^bo[A-Za-z0-9_#]+$"},
      {2, "a does not fit: ^bo[A-Za-z0-9_#]+$"},
      {5, "f does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {5, "p does not fit: ^uc[A-Za-z0-9_#]+$"},
      {9, "q does not fit: ^uc[A-Za-z0-9_#]+$"}}},
    {"empty table", "LedDriver", 10, {}, {}},
};

TEST(NamingRules, Table) {
  for (const NamingCase& test : kCases) {
    SCOPED_TRACE(test.title);
    DeclarationTable table = TableOf(test.records);
    EXPECT_EQ(Check(table, test.module, test.firstFunctionLine), Listing(test.reports));
  }
}

TEST(NamingRules, LeavesTableSortedWithScopeCleared) {
  DeclarationTable table =
      TableOf({R("a", 9, "Variable Uint8"), R("b", 11, "Variable Uint8"), R("c", 10, "Define"), R("d", 9, "Define")});
  Check(table, "LedDriver", 10);
  EXPECT_EQ(DescribeAll(table),
            (std::vector<std::string>{"b|11|Uint8 Variable !FileScope||", "c|10|Define !FileScope||",
                                      "a|9|Uint8 Variable||", "d|9|Define||"}));
}

// The enumeration rule against the documented "[{]([^}]+)[}]" on generated
// texts. FindEnumBody takes the leftmost "{" that is followed by at least
// one character other than "}" and, later, by a "}"; the body runs to the
// first "}" after it.
TEST(NamingRules, EnumerationBodyMatchesLiteralPattern) {
  const Pattern& literal = reference::EnumBodyPattern;
  const std::string alphabet = "{{{}}} AZaz,=\r\n\t;0_";
  std::mt19937 random(31337u);
  auto below = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
  int reported = 0;
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    for (std::size_t length = below(below(2) == 0 ? 300 : 16); length > 0; --length) {
      text.push_back(alphabet[below(alphabet.size())]);
    }
    DeclarationTable table = TableOf({R("LedDriver_enumE", 1, "TypedefEnum Variable", "", text)});
    std::vector<Report> expected;
    MatchGroups groups;
    if (literal.Search(text, groups)) {
      std::string body(groups[1]);
      if (body.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos) {
        expected.push_back({1, body + " in enum LedDriver_enumE have to be uppercase!"});
        ++reported;
      }
    }
    ASSERT_EQ(Check(table, "LedDriver", 10), Listing(expected)) << ::testing::PrintToString(text);
  }
  EXPECT_GT(reported, 1000);
}

}  // namespace
}  // namespace skerry::test
