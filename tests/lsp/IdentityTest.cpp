// The server reports what the checker reports: over the sample tree and
// over generated files, each open document's diagnostics are the checker's
// lines for that file, in the same order.
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LspTestClient.h"
#include "analysis/Waivers.h"
#include "driver/FileSystem.h"
#include "driver/SourceFileCheck.h"
#include "lsp/Uri.h"

namespace skerry::lsp {
namespace {

namespace fs = boost::filesystem;

// "line: message" for each of the checker's lines on path, without those
// its waiver comments waive.
std::vector<std::string> CheckerFindings(const fs::path& path) {
  const DiskFileSystem disk;
  const FileReport report = CheckSourceFile(path, disk);
  std::string bytes;
  disk.ReadFile(path, bytes);
  const Waivers waivers = Waivers::Of(SourceLines::FromBytes(bytes));
  std::vector<std::string> findings;
  std::istringstream lines(report.diagnostics.Text());
  const std::string prefix = path.string() + "(";
  for (std::string line; std::getline(lines, line);) {
    const std::size_t close = line.find("): error style: ", prefix.size());
    if (waivers.Waives(std::stoi(line.substr(prefix.size(), close - prefix.size())))) continue;
    findings.push_back(line.substr(prefix.size(), close - prefix.size()) + ": " +
                       line.substr(close + std::string("): error style: ").size()));
  }
  return findings;
}

// The same from a publishDiagnostics: the line is the range's line + 1,
// or 0 for the file-name rules.
std::vector<std::string> ServerFindings(const Json& publish) {
  std::vector<std::string> findings;
  for (const Json& diagnostic : publish["params"]["diagnostics"]) {
    const std::string code = diagnostic["code"];
    const int line = code.rfind("filename-", 0) == 0 ? 0 : diagnostic["range"]["start"]["line"].get<int>() + 1;
    const std::string message = diagnostic["message"];
    findings.push_back(std::to_string(line) + ": " + message.substr(message.find('\n') + 1));
  }
  return findings;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path.string(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Opens every C file below root, one client for all, and compares.
void ExpectSameFindings(const fs::path& root) {
  test::LspTestClient client;
  client.Initialize();
  int version = 1;
  std::size_t compared = 0;
  for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
    const fs::path path = it->path();
    if (!fs::is_regular_file(path) || !IsSourceFileText(path.string())) continue;
    SCOPED_TRACE(path.string());
    const std::string uri = UriOfPath(fs::absolute(path).string());
    client.Open(uri, ReadAll(path), ++version);
    const Json publish = client.NextDiagnostics(uri, version);
    ASSERT_FALSE(publish.is_null());
    EXPECT_EQ(ServerFindings(publish), CheckerFindings(path));
    compared += CheckerFindings(path).size();
  }
  EXPECT_GT(compared, 0u);
}

TEST(IdentityTest, SampleTree) { ExpectSameFindings(fs::path(SKERRY_SOURCE_DIR) / "examples"); }

// C-like lines made of the pieces the checker reacts to.
std::string GeneratedText(std::mt19937& random, int lines) {
  static const char* const kTypes[] = {"uint8",        "uint16",        "sint32",      "boolean",    "float32",
                                       "static uint8", "extern uint16", "const uint8", "Mod_Byte_t", "void",
                                       "int"};
  static const char* const kNames[] = {"Mod_ucValue", "ucValue",  "value", "Mod_unCount", "Mod_ucBuf_List",
                                       "Other_ucX",   "Mod_Init", "Init",  "*Mod_ucPtr",  "snDelta"};
  static const char* const kShapes[] = {"%t %n;",
                                        "%t %n[4];",
                                        "%t %n(void);",
                                        "%t %n(uint8 ucA, uint16 b)",
                                        "#define %n 1",
                                        "#define %N 1",
                                        "typedef enum Mod_enumE_tag { A, b } Mod_E_t;",
                                        "typedef %t %n;",
                                        "{",
                                        "}",
                                        "  %t %n; /* skerry-lint: allow */",
                                        "// %t %n;",
                                        "/* %t %n; */",
                                        "typedef struct Mod_structS_tag { uint8 ucM; } Mod_S_t;"};
  std::string text;
  for (int i = 0; i < lines; ++i) {
    std::string shape = kShapes[random() % std::size(kShapes)];
    std::string name = kNames[random() % std::size(kNames)];
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t at; (at = shape.find("%t")) != std::string::npos;)
      shape.replace(at, 2, kTypes[random() % std::size(kTypes)]);
    for (std::size_t at; (at = shape.find("%n")) != std::string::npos;) shape.replace(at, 2, name);
    for (std::size_t at; (at = shape.find("%N")) != std::string::npos;) shape.replace(at, 2, upper);
    text += shape + (random() % 7 == 0 ? "\r\n" : "\n");
  }
  return text;
}

TEST(IdentityTest, GeneratedFiles) {
  const fs::path root = fs::temp_directory_path() / fs::unique_path("lsp-identity-%%%%-%%%%");
  std::mt19937 random(20261209);
  const char* const kFileNames[] = {"Mod.c", "Mod.h", "CAN_Bus.c", "Config_Mod.h", "a-b.c"};
  for (int folder = 0; folder < 12; ++folder) {
    const fs::path dir = root / ("d" + std::to_string(folder));
    fs::create_directories(dir);
    for (const char* name : kFileNames) {
      std::ofstream out((dir / name).string(), std::ios::binary);
      out << GeneratedText(random, 5 + static_cast<int>(random() % 40));
    }
  }
  ExpectSameFindings(root);
  fs::remove_all(root);
}

}  // namespace
}  // namespace skerry::lsp
