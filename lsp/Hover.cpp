#include "lsp/Hover.h"

#include <string>
#include <vector>

#include "analysis/SourceLines.h"
#include "lsp/DiagnosticConversion.h"
#include "lsp/ExpectedName.h"

namespace skerry::lsp {

Json HoverAt(const Document& document, const FileFindings& findings, std::uint32_t line, std::uint32_t character,
             PositionEncoding encoding) {
  if (findings.findings.empty()) return nullptr;
  const SourceLines lines = SourceLines::FromBytes(std::string(*document.text));
  const std::vector<std::string_view> views = lines.Lines();
  std::string text;
  Json range;
  for (const Finding& finding : findings.findings) {
    const Json at = RangeOf(finding, views, encoding);
    if (at["start"]["line"] != line || character < at["start"]["character"].get<std::uint32_t>() ||
        character > at["end"]["character"].get<std::uint32_t>()) {
      continue;
    }
    if (!text.empty()) text += "\n\n---\n\n";
    text += "**" + ExpectedText(finding, findings.moduleName) + "** (skerry-lint `" +
            std::string(RuleId(finding.rule)) + "`)\n\n" + std::string(RuleExplanation(finding.rule)) +
            "\n\n```text\n" + finding.message + "\n```";
    if (range.is_null()) range = at;
  }
  if (text.empty()) return nullptr;
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}, {"range", range}};
}

}  // namespace skerry::lsp
