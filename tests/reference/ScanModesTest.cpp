// Both engines and both scan modes on the same inputs in one process: the
// checker's PCRE2 engine and the std::regex reference, each with and without
// the cheap tests, must give the same records and the same diagnostics.
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/FileCheck.h"
#include "analysis/SourceLines.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/TestSupport.h"
#include "tests/reference/StdRegexEngine.h"

namespace skerry::test {
namespace {

namespace fs = boost::filesystem;

struct NamedMode {
  const char* name;
  ScanMode mode;
};

const std::vector<NamedMode>& Modes() {
  static const std::vector<NamedMode> modes = {
      {"pcre2", {&PatternEngine::Pcre2(), true}},
      {"pcre2 without cheap tests", {&PatternEngine::Pcre2(), false}},
      {"std::regex", {&StdRegexEngine(), true}},
      {"std::regex without cheap tests", {&StdRegexEngine(), false}},
  };
  return modes;
}

std::string Diagnostics(const std::string& fileName, const std::string& file, const std::string& header,
                        const ScanMode& mode) {
  const SourceLines fileLines = SourceLines::FromBytes(file);
  const SourceLines headerLines = SourceLines::FromBytes(header);
  DiagnosticList diagnostics;
  CheckFileConventions(fileLines, fileName, "src/" + fileName, headerLines, diagnostics, mode);
  return diagnostics.Text();
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path.string(), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every file of the examples tree, with its companion header.
TEST(ScanModes, ExamplesTreeGivesTheSameDiagnostics) {
  const fs::path root = SourcePath("examples");
  std::size_t files = 0;
  std::size_t reported = 0;
  for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
    const fs::path path = it->path();
    if (!fs::is_regular_file(path) || (path.extension() != ".c" && path.extension() != ".h")) continue;
    fs::path headerPath = path;
    headerPath.replace_extension(".h");
    const std::string header = path.extension() == ".c" && fs::exists(headerPath) ? ReadFile(headerPath) : "";
    const std::string file = ReadFile(path);
    const std::string expected = Diagnostics(path.filename().string(), file, header, Modes()[0].mode);
    for (const NamedMode& mode : Modes()) {
      EXPECT_EQ(Diagnostics(path.filename().string(), file, header, mode.mode), expected) << path << " " << mode.name;
    }
    ++files;
    reported += expected.empty() ? 0 : 1;
  }
  EXPECT_GT(files, 3u);
  EXPECT_GT(reported, 0u);
}

const std::vector<std::string> kSeeds = {
    "uint8 Mod_ucA, b;",
    "static inline uint8 Mod_Fast(void)",
    "extern const uint8 *Mod_pu8Buf[4];",
    "typedef enum Mod_Colour_tag { RED, green } Mod_Colour_t;",
    "typedef struct Mod_Tag { uint8 ucX; } Mod_S_t;",
    "typedef union { sint16 a; } U_t;",
    "typedef uint8 A_t;",
    "A_t a;",
    "Mod_Colour_t Mod_Get(Mod_Colour_t c)",
    "void Led_Set(uint8 a, uint16 b);",
    "#define MOD_A(x) ((x)+1)",
    "#define lower 1",
    "x = a * b;",
    "typedef void Mod_Fn_t(void);",
    "typedef uint8 *BytePtr_t;",
    "int main(void)",
    "\tuint32\tbuf[10];",
    "BOOL g;",
    "float y; double z;",
    "U_t *pu;",
    "B_t arr_List[3] = { 1, 2 };",
    "extern float32 x;",
    "sint16 *Mod_psnY[2];",
    "int8 Mod_scZ(void);",
    "{",
    "}",
};

const std::vector<std::string> kFragments = {
    " ",     "\t",     "\r",   "(",      ")",     ",",        ";",       "*",        "{",
    "}",     "[2]",    "=",    "\\",     "//",    "const ",   "extern ", "typedef ", "struct ",
    "enum ", "uint8 ", "int ", "float ", "void ", "#define ", "A_t ",    "Mod_",     "x",
};

// Generated files: records of every scan mode, and diagnostics of every
// engine and mode.
TEST(ScanModes, GeneratedFilesGiveTheSameRecordsAndDiagnostics) {
  LineMutator mutator(20261209u, kSeeds, kFragments, " \t\r(),;*{}#_azAZ09[]=", 200);
  const char* const kNames[] = {"Mod.c", "LedDriver.c", "CAN_Bus.c", "x.h", "a-b.c"};
  std::size_t records = 0;
  for (int n = 0; n < 1500; ++n) {
    std::vector<std::string> lines(1 + mutator.Below(12));
    std::string file;
    for (std::string& line : lines) {
      line = mutator.Line();
      file += line + "\n";
    }
    std::string header;
    for (std::size_t i = mutator.Below(3); i > 0; --i) header += mutator.Line() + "\n";
    SCOPED_TRACE(::testing::PrintToString(header) + ::testing::PrintToString(file));

    std::vector<std::string> described;
    for (const NamedMode& mode : Modes()) {
      UserTypeList userTypes(*mode.mode.engine);
      const FileScan scan = ScanFileLines(lines, userTypes, mode.mode);
      if (described.empty()) records += scan.table.size();
      described.push_back(::testing::PrintToString(DescribeAll(scan.table, true)) + UserTypeListPeer::Text(userTypes) +
                          "|" + std::to_string(scan.firstFunctionLine));
      ASSERT_EQ(described.back(), described.front()) << mode.name;
    }
    const std::string fileName = kNames[n % 5];
    const std::string expected = Diagnostics(fileName, file, header, Modes()[0].mode);
    for (const NamedMode& mode : Modes()) {
      ASSERT_EQ(Diagnostics(fileName, file, header, mode.mode), expected) << mode.name;
    }
  }
  EXPECT_GT(records, 1500u);  // the generated files are mostly recognisable
}

}  // namespace
}  // namespace skerry::test
