// Quick fixes and hover: which renames are offered, and that each waiver
// comment really waives its finding and nothing else.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LspTestClient.h"
#include "analysis/TextHelpers.h"
#include "lsp/CodeActions.h"
#include "lsp/ExpectedName.h"
#include "lsp/Findings.h"

namespace skerry::lsp {
namespace {

FileFindings Check(const std::string& text, const std::string& fileName) {
  return CheckLines(SourceLines::FromBytes(text), fileName, SourceLines());
}

// The finding about name.
std::optional<Finding> FindingAbout(const FileFindings& findings, const std::string& name) {
  for (const Finding& finding : findings.findings) {
    if (finding.flagged == name) return finding;
  }
  return std::nullopt;
}

TEST(CodeActionsTest, RenameOnlyWhereUnambiguousAndFileLocal) {
  struct Case {
    const char* name;
    const char* fileName;
    std::string text;
    const char* flagged;
    const char* to;  // nullptr: no rename offered
  };
  const std::string function = "void LedDriver_Init(void)\n{\n";
  // Without a function, the last line of a file counts as local.
  const std::string prototype = "void LedDriver_Init(void);\n";
  const std::vector<Case> cases = {
      {"StaticLacksModulePrefix", "LedDriver.c", "static uint8 ucCount;\nvoid f(void) { ucCount++; }\n", "ucCount",
       "LedDriver_ucCount"},
      {"StaticFunction", "LedDriver.c", "static void WritePin(void);\n", "WritePin", "LedDriver_WritePin"},
      {"GlobalIsVisibleElsewhere", "LedDriver.c", "uint8 ucCount;\n" + prototype, "ucCount", nullptr},
      {"StaticInAHeader", "LedDriver.h", "static uint8 ucCount;\n" + prototype, "ucCount", nullptr},
      {"StaticWrongTypePrefix", "LedDriver.c", "static uint16 ucCount;\n" + prototype, "ucCount", nullptr},
      {"LocalWithModulePrefix", "LedDriver.c", function + "  uint8 LedDriver_ucTmp;\n}\n", "LedDriver_ucTmp", "ucTmp"},
      {"ParameterWithModulePrefix", "LedDriver.c", "void LedDriver_Set(uint8 LedDriver_ucLevel)\n{\n}\n",
       "LedDriver_ucLevel", "ucLevel"},
      {"LocalNameTakenAlready", "LedDriver.c", function + "  uint8 LedDriver_ucTmp;\n  uint8 ucTmp;\n}\n",
       "LedDriver_ucTmp", nullptr},
      {"FileScopeBelowFirstFunction", "LedDriver.c", "void LedDriver_Init(void);\nuint8 LedDriver_ucLate;\n",
       "LedDriver_ucLate", nullptr},
      {"LocalLacksTypePrefix", "LedDriver.c", function + "  uint8 count;\n}\n", "count", nullptr},
      {"MacroInLowerCase", "LedDriver.c", "#define led_driver_max 4u\n" + prototype, "led_driver_max",
       "LED_DRIVER_MAX"},
      {"LocalMacroInLowerCase", "LedDriver.c", function + "#define step_count 16u\n}\n", "step_count", "STEP_COUNT"},
      {"MacroInAHeader", "LedDriver.h", "#define led_driver_max 4u\n" + prototype, "led_driver_max", nullptr},
      {"MacroThatNeedsMore", "LedDriver.c", "#define max_count 4u\n" + prototype, "max_count", nullptr},
      {"InACommentBlock", "LedDriver.c", "/*\n#define led_driver_max 4u\n*/\n" + prototype, "led_driver_max", nullptr},
      {"Extern", "LedDriver.c", function + "  extern uint16 LedDriver_ucX;\n}\n", "LedDriver_ucX", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileFindings findings = Check(c.text, c.fileName);
    const std::optional<Finding> finding = FindingAbout(findings, c.flagged);
    ASSERT_TRUE(finding.has_value());
    const std::optional<Rename> rename = RenameFor(*finding, c.text, c.fileName, findings.moduleName);
    ASSERT_EQ(rename.has_value(), c.to != nullptr);
    if (!rename) continue;
    EXPECT_EQ(rename->to, c.to);
    // The renamed file no longer has the finding.
    std::string renamed;
    for (std::size_t at = 0; at < c.text.size();) {
      const bool word = c.text.compare(at, rename->from.size(), rename->from) == 0 &&
                        (at == 0 || !IsNameChar(c.text[at - 1])) &&
                        (at + rename->from.size() == c.text.size() || !IsNameChar(c.text[at + rename->from.size()]));
      renamed += word ? rename->to : c.text.substr(at, 1);
      at += word ? rename->from.size() : 1;
    }
    EXPECT_FALSE(FindingAbout(Check(renamed, c.fileName), c.flagged).has_value());
    EXPECT_FALSE(FindingAbout(Check(renamed, c.fileName), c.to).has_value()) << renamed;
  }
}

TEST(CodeActionsTest, EachWaiverWaivesItsFindingAndKeepsTheCode) {
  struct Case {
    const char* name;
    const char* fileName;
    std::string text;
    int line;  // of the finding waived
  };
  const std::string prototype = "void LedDriver_Init(void);\n";
  const std::vector<Case> cases = {
      {"PlainLine", "LedDriver.c", "uint8 ucA;\nuint8 ucB;\n" + prototype, 1},
      {"LineWithCrLf", "LedDriver.c", "uint8 ucA;\r\nuint8 ucB;\r\n" + prototype, 2},
      {"LastLineWithoutLineEnd", "LedDriver.c", "uint8 ucA;\nvoid f(void);", 2},
      {"ContinuedMacro", "LedDriver.c", "#define bad(x) \\\n  ((x) + 1)\nuint8 ucB;\n" + prototype, 1},
      {"InsideABlockComment", "LedDriver.c", "/* old:\n#define bad 1\n*/\nuint8 ucB;\n" + prototype, 2},
      {"AfterALineComment", "LedDriver.c", "uint8 ucA; // counter\nuint8 ucB;\n" + prototype, 1},
      {"FileName", "CAN_Bus.c", "uint8 CAN_ucA;\n" + prototype, 0},
      {"FileNameOfAnEmptyFile", "CAN_Bus.c", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileFindings before = Check(c.text, c.fileName);
    std::vector<Finding> waived, kept;
    for (const Finding& finding : before.findings) (finding.line == c.line ? waived : kept).push_back(finding);
    ASSERT_FALSE(waived.empty());
    std::size_t offset;
    std::string insertion;
    WaiverInsertion(waived.front(), c.text, offset, insertion);
    std::string after = c.text;
    after.insert(offset, insertion);
    const FileFindings left = Check(after, c.fileName);
    ASSERT_EQ(left.findings.size(), kept.size()) << after;
    for (std::size_t i = 0; i < kept.size(); ++i) {
      EXPECT_EQ(left.findings[i].message, kept[i].message);
      EXPECT_EQ(left.findings[i].line, kept[i].line);  // no line was added or merged
    }
    EXPECT_EQ(left.waived, waived.size());
  }
}

TEST(CodeActionsTest, ServerOffersBothFixesAndShowsTheRenameBeforeItApplies) {
  const std::string uri = "file:///a/LedDriver.c";
  const std::string text = "static uint8 ucCount;\nvoid LedDriver_Tick(void)\n{\n  ucCount++;\n}\n";
  for (bool annotated : {false, true}) {
    SCOPED_TRACE(annotated);
    test::LspTestClient client;
    client.Initialize(annotated ? Json::parse(R"({"workspace": {"workspaceEdit": {"documentChanges": true,
                                               "changeAnnotationSupport": {"groupsOnLabel": true}}}})")
                                : Json::object());
    client.Open(uri, text, 4);
    const Json answer = client.Request(
        "textDocument/codeAction",
        {{"textDocument", {{"uri", uri}}},
         {"range", {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}}},
         {"context", {{"diagnostics", Json::array()}}}});
    const Json& actions = answer["result"];
    ASSERT_EQ(actions.size(), 2u) << actions.dump();
    EXPECT_EQ(actions[0]["edit"]["changes"][uri][0]["newText"], " /* skerry-lint: allow */");
    const Json& rename = actions[1]["edit"];
    const Json& edits = annotated ? rename["documentChanges"][0]["edits"] : rename["changes"][uri];
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[1]["range"]["start"], Json::parse(R"({"line":3,"character":2})"));
    EXPECT_EQ(edits[1]["newText"], "LedDriver_ucCount");
    if (annotated) {
      EXPECT_EQ(rename["documentChanges"][0]["textDocument"]["version"], 4);
      EXPECT_EQ(rename["changeAnnotations"][edits[0]["annotationId"].get<std::string>()]["needsConfirmation"], true);
    }
  }
}

TEST(CodeActionsTest, HoverExplainsTheFindingUnderTheCursor) {
  const std::string uri = "file:///a/LedDriver.c";
  test::LspTestClient client;
  client.Initialize();
  client.Open(uri, "uint8 ucCount;\nvoid LedDriver_Init(void);\n", 1);
  auto hover = [&](int character) {
    return client.Request("textDocument/hover", {{"textDocument", {{"uri", uri}}},
                                                 {"position", {{"line", 0}, {"character", character}}}})["result"];
  };
  const Json on = hover(8);
  ASSERT_TRUE(on.is_object());
  const std::string value = on["contents"]["value"];
  EXPECT_NE(value.find("expected the module prefix LedDriver_ and the type prefix uc"), std::string::npos);
  EXPECT_NE(value.find("name-form"), std::string::npos);
  EXPECT_EQ(on["range"], Json::parse(R"({"start":{"line":0,"character":6},"end":{"line":0,"character":13}})"));
  EXPECT_TRUE(hover(2).is_null());
}

TEST(ExpectedNameTest, SaysTheFormInWords) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ucStep does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$",
       "expected the module prefix LedDriver_ and the type prefix uc"},
      {"SetAll does not fit: ^LedDriver[_][A-Za-z0-9_#]+$", "expected the module prefix LedDriver_"},
      {"level does not fit: ^un[A-Za-z0-9_#]+$", "expected the type prefix un and no module prefix"},
      {"unBaudRate does not fit: ^[A-Za-z0-9]+[_]un[A-Za-z0-9_#]+$",
       "expected a module prefix (letters and digits, then _) and the type prefix un"},
      {"CHANNELS does not fit: ^[_]*LED[_]DRIVER[_][A-Z0-9_#]+$",
       "expected the upper-case module prefix LED_DRIVER_ and an upper-case name"},
      {"step_count does not fit: ^[_]*[A-Z0-9_#]+$", "expected an upper-case name (letters, digits, _ and #)"},
      {"Mode_tag does not fit: ^LedDriver[_]enum[A-Za-z0-9_#]+$",
       "expected the module prefix LedDriver_ and the type prefix enum"},
  };
  for (const auto& [message, expected] : cases) {
    Finding finding;
    finding.line = 1;
    finding.message = message;
    finding.rule = RuleOf(message);
    EXPECT_EQ(ExpectedText(finding, "LedDriver"), expected) << message;
  }
}

}  // namespace
}  // namespace skerry::lsp
