// Quick fixes for findings: a waiver comment on the line, and where the
// right name is beyond doubt and no other file can use the name, a rename
// within the file.
#ifndef SKERRY_LSP_CODE_ACTIONS_H
#define SKERRY_LSP_CODE_ACTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lsp/DocumentStore.h"
#include "lsp/Findings.h"
#include "lsp/JsonRpc.h"

namespace skerry::lsp {

// A rename that fixes a finding.
struct Rename {
  std::string from;
  std::string to;
};

// The rename offered for a finding of text (the file fileName), if any:
//   a name that lacks only the module prefix, declared static at file scope
//     in a source file ("static uint8 ucCount;" -> LedDriver_ucCount);
//   a parameter or a local variable that carries the module prefix it must
//     not have (LedDriver_ucTmp -> ucTmp);
//   a macro defined in a source file whose name only needs upper case.
// Never when the new name is already a word of the text.
std::optional<Rename> RenameFor(const Finding& finding, std::string_view text, std::string_view fileName,
                                std::string_view moduleName);

// The text to insert and its byte offset in text that waives finding: the
// comment "/* skerry-lint: allow */" at the end of its line (before a
// continuation backslash; the bare words when the line ends inside a block
// comment), for line 0 "allow-file-name" on the first line.
void WaiverInsertion(const Finding& finding, std::string_view text, std::size_t& offset, std::string& insertion);

struct ActionOptions {
  PositionEncoding encoding = PositionEncoding::kUtf16;
  // The client applies edits with change annotations, so a rename can ask
  // to be confirmed (shown) before it applies.
  bool annotatedEdits = false;
};

// The code actions for the findings whose lines meet the protocol lines
// firstLine to lastLine.
Json CodeActionsFor(const Document& document, const FileFindings& findings, std::uint32_t firstLine,
                    std::uint32_t lastLine, const ActionOptions& options);

}  // namespace skerry::lsp

#endif
