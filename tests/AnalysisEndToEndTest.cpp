#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "analysis/FileCheck.h"
#include "analysis/SourceLines.h"
#include "tests/TestSupport.h"
#include "tests/reference/StdRegexEngine.h"

namespace skerry::test {
namespace {

struct EndToEndCase {
  const char* title;
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::string target;                                      // the file named on the command line
  int lineCount;
  std::vector<std::pair<int, std::string>> diagnostics;  // line, message
};

const char* const kLedDriverHeader =
    "#ifndef LED_DRIVER_H\r\n"
    "#define LED_DRIVER_H\r\n"
    "typedef enum LedDriver_enumColour_tag { LED_RED, LED_GREEN } LedDriver_Colour_t;\r\n"
    "typedef uint8 LedDriver_Level_t;\r\n"
    "extern void LedDriver_Init(void);\r\n"
    "extern uint8 badName;\r\n"
    "#endif\r\n";

const char* const kLedDriverSource =
    "#include \"LedDriver.h\"\n"
    "#define LED_DRIVER_MAX 4\n"
    "#define ledMin 1\n"
    "static uint8 LedDriver_ucCount;\n"
    "LedDriver_Colour_t LedDriver_Current;\n"
    "uint16 LedDriver_unCounts[LED_DRIVER_MAX];\n"
    "typedef struct LedDriver_structState_tag { uint8 ucOn; } LedDriver_State_t;\n"
    "LedDriver_Level_t level;\n"
    "uint8 ucOn;\n"
    "float32 LedDriver_fnGain_List[2];\n"
    "extern sint16 Other_snOffset;\n"
    "extern uint8 ucRemote;\n"
    "\n"
    "void LedDriver_Set(uint8 level, bool on, LedDriver_Colour_t colour)\n"
    "{\n"
    "\tuint8 ucTmp;\n"
    "\tbool flag;\n"
    "\tLedDriver_State_t *pState;\n"
    "}\n"
    "int main(void)\n"
    "{\n"
    "  return 0;\n"
    "}\n";

const EndToEndCase kCases[] = {
    {"module with its header",
     {{"LedDriver.h", kLedDriverHeader}, {"LedDriver.c", kLedDriverSource}},
     "LedDriver.c",
     23,
     {{3, "ledMin does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$"},
      {6, "LedDriver_unCounts needs to have array postfix '_List' in name!"},
      {8, "level does not fit: ^LedDriver[_][A-Za-z0-9_#]+$"},
      {12, "ucRemote does not fit: ^[A-Za-z0-9]+[_]uc[A-Za-z0-9_#]+$"},
      {14, "on does not fit: ^bo[A-Za-z0-9_#]+$"},
      {14, "level does not fit: ^uc[A-Za-z0-9_#]+$"},
      {17, "flag does not fit: ^bo[A-Za-z0-9_#]+$"}}},
    // A prototype on line 1 ends file scope for everything below it.
    {"prototype before the variables",
     {{"Motor.c",
       "void Motor_Start(void);\n"
       "uint8 Motor_ucSpeed;\n"
       "typedef enum Motor_enumDir_tag { FORWARD, backward } Motor_Dir_t;\n"
       "#define MOTOR_MAX 10\n"
       "void Motor_Start(void)\n"
       "{\n"
       "}\n"}},
     "Motor.c",
     7,
     {{2, "Motor_ucSpeed does not fit: ^uc[A-Za-z0-9_#]+$"},
      {3, " FORWARD, backward  in enum Motor_enumDir_tag have to be uppercase!"},
      {3, "Motor_enumDir_tag does not fit: ^enum[A-Za-z0-9_#]+$"}}},
    {"module name with a bracket",
     {{"a[b.c",
       "uint8 a_ucX;\n"
       "uint8 ucY;\n"
       "#define A_B_MAX 1\n"
       "void Init(void)\n"
       "{\n"
       "}\n"}},
     "a[b.c",
     6,
     {{0, "only letters and numbers are allowed for filename"},
      {2, "ucY does not fit: ^a[b[_]uc[A-Za-z0-9_#]+$"},
      {4, "Init does not fit: ^a[b[_][A-Za-z0-9_#]+$"}}},
    {"module name that breaks the patterns",
     {{"a(b.c",
       "uint8 ucY;\n"
       "void Init(void)\n"
       "{\n"
       "  uint8 bad;\n"
       "}\n"}},
     "a(b.c",
     5,
     {{0, "only letters and numbers are allowed for filename"}, {4, "bad does not fit: ^uc[A-Za-z0-9_#]+$"}}},
    {"user type from the header",
     {{"Mod.h", "typedef uint8 Mod_T;\n"}, {"Mod.c", "Mod_T x;\nuint8 bad;\n\n"}},
     "Mod.c",
     3,
     {{1, "x does not fit: ^Mod[_][A-Za-z0-9_#]+$"}, {2, "bad does not fit: ^Mod[_]uc[A-Za-z0-9_#]+$"}}},
    {"a type name that does not compile hides every user type",
     {{"Mod.h", "typedef uint8 Mod_T;\ntypedef uint8 *Mod_BytePtr_t;\n"}, {"Mod.c", "Mod_T x;\nuint8 bad;\n\n"}},
     "Mod.c",
     3,
     {{2, "bad does not fit: ^Mod[_]uc[A-Za-z0-9_#]+$"}}},
};

TEST(AnalysisEndToEnd, CompleteOutput) {
  for (const EndToEndCase& test : kCases) {
    SCOPED_TRACE(test.title);
    TempTree tree;
    for (const auto& [name, content] : test.files) tree.Write(name, content);
    const std::string path = tree.Path(test.target);
    std::string expected = RunHeader("\"" + path + "\"") + "Reading File : \"" + test.target +
                           "\" size: " + std::to_string(test.lineCount) + " lines\n\n";
    for (const auto& [line, message] : test.diagnostics) {
      expected += path + "(" + std::to_string(line) + "): error style: " + message + "\n";
    }
    expected += "Operation Finsh\n";
    RunResult run = RunLint({path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(MaskBuildDate(run.out), expected);
  }
}

// The same files checked in process by every engine and scan mode.
TEST(AnalysisEndToEnd, EveryEngineAndModeInProcess) {
  const std::vector<ScanMode> modes = {{&PatternEngine::Pcre2(), true},
                                       {&PatternEngine::Pcre2(), false},
                                       {&StdRegexEngine(), true},
                                       {&StdRegexEngine(), false}};
  for (const EndToEndCase& test : kCases) {
    SCOPED_TRACE(test.title);
    std::string file;
    std::string header;
    const std::string stem = test.target.substr(0, test.target.rfind('.'));
    for (const auto& [name, content] : test.files) {
      if (name == test.target) file = content;
      if (name == stem + ".h" && name != test.target) header = content;
    }
    std::string expected;
    for (const auto& [line, message] : test.diagnostics) {
      expected += "src/" + test.target + "(" + std::to_string(line) + "): error style: " + message + "\n";
    }
    for (const ScanMode& mode : modes) {
      DiagnosticList diagnostics;
      CheckFileConventions(SourceLines::FromBytes(file), test.target, "src/" + test.target,
                           SourceLines::FromBytes(header), diagnostics, mode);
      EXPECT_EQ(diagnostics.Text(), expected) << (mode.engine == &PatternEngine::Pcre2() ? "pcre2" : "std::regex")
                                              << (mode.cheapTests ? "" : " without cheap tests");
    }
  }
}

}  // namespace
}  // namespace skerry::test
