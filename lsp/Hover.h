// The hover on a flagged name: what is expected and why.
#ifndef SKERRY_LSP_HOVER_H
#define SKERRY_LSP_HOVER_H

#include <cstdint>

#include "lsp/DocumentStore.h"
#include "lsp/Findings.h"
#include "lsp/JsonRpc.h"

namespace skerry::lsp {

// The Hover for the findings whose range holds the position, as Markdown;
// null where there is none.
Json HoverAt(const Document& document, const FileFindings& findings, std::uint32_t line, std::uint32_t character,
             PositionEncoding encoding);

}  // namespace skerry::lsp

#endif
