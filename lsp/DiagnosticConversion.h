// Findings as the protocol's Diagnostic objects.
#ifndef SKERRY_LSP_DIAGNOSTIC_CONVERSION_H
#define SKERRY_LSP_DIAGNOSTIC_CONVERSION_H

#include <string>
#include <string_view>
#include <vector>

#include "analysis/SourceLines.h"
#include "lsp/Findings.h"
#include "lsp/JsonRpc.h"
#include "lsp/Positions.h"

namespace skerry::lsp {

// Severity Warning: a style finding that does not stop a build.
constexpr int kFindingSeverity = 2;

// The range of a finding: the flagged text, or the whole first line for
// the file-name rules.
Json RangeOf(const Finding& finding, const std::vector<std::string_view>& lines, PositionEncoding encoding);

// One Diagnostic: range, severity, source "skerry-lint", code (the rule
// id), and the message: what is expected in words, a line feed, the
// checker's message.
Json DiagnosticOf(const Finding& finding, std::string_view moduleName, const std::vector<std::string_view>& lines,
                  PositionEncoding encoding);

// The array of DiagnosticOf for every finding, written straight as JSON
// text: a file with thousands of findings would spend most of its time
// building and freeing the objects otherwise.
std::string DiagnosticsJson(const FileFindings& findings, const SourceLines& lines, PositionEncoding encoding);

// text as a JSON string, quotes included; bytes that are not UTF-8 become
// U+FFFD, as the server's other messages have them.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace skerry::lsp

#endif
