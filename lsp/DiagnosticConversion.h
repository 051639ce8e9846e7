// Findings as the protocol's Diagnostic objects.
#ifndef SKERRY_LSP_DIAGNOSTIC_CONVERSION_H
#define SKERRY_LSP_DIAGNOSTIC_CONVERSION_H

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

Json DiagnosticsOf(const FileFindings& findings, const SourceLines& lines, PositionEncoding encoding);

}  // namespace skerry::lsp

#endif
