#include "lsp/DiagnosticConversion.h"

#include "lsp/ExpectedName.h"

namespace skerry::lsp {

namespace {

Json Position(std::int32_t line, std::uint32_t character) { return {{"line", line}, {"character", character}}; }

}  // namespace

Json RangeOf(const Finding& finding, const std::vector<std::string_view>& lines, PositionEncoding encoding) {
  if (finding.line <= 0) {
    const std::string_view first = lines.empty() ? std::string_view() : lines.front();
    return {{"start", Position(0, 0)}, {"end", Position(0, ColumnOf(first, first.size(), encoding))}};
  }
  const std::int32_t line = finding.line - 1;
  const std::string_view text = line < static_cast<std::int32_t>(lines.size()) ? lines[line] : std::string_view();
  return {{"start", Position(line, ColumnOf(text, finding.begin, encoding))},
          {"end", Position(line, ColumnOf(text, finding.end, encoding))}};
}

Json DiagnosticOf(const Finding& finding, std::string_view moduleName, const std::vector<std::string_view>& lines,
                  PositionEncoding encoding) {
  return {{"range", RangeOf(finding, lines, encoding)},
          {"severity", kFindingSeverity},
          {"source", "skerry-lint"},
          {"code", RuleId(finding.rule)},
          {"message", ExpectedText(finding, moduleName) + "\n" + finding.message}};
}

Json DiagnosticsOf(const FileFindings& findings, const SourceLines& lines, PositionEncoding encoding) {
  Json list = Json::array();
  if (findings.findings.empty()) return list;
  const std::vector<std::string_view> views = lines.Lines();
  for (const Finding& finding : findings.findings)
    list.push_back(DiagnosticOf(finding, findings.moduleName, views, encoding));
  return list;
}

}  // namespace skerry::lsp
