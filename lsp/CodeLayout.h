// What a C text is at a point: inside a comment, how deep in braces and
// parentheses, inside a function's body. Read by a walk from the start that
// knows comments and string and character literals, not the preprocessor.
#ifndef SKERRY_LSP_CODE_LAYOUT_H
#define SKERRY_LSP_CODE_LAYOUT_H

#include <cstddef>
#include <string_view>

namespace skerry::lsp {

struct Layout {
  bool inBlockComment = false;
  bool inLineComment = false;
  int braceDepth = 0;
  int parenDepth = 0;           // open parentheses of the statement around
  bool inFunctionBody = false;  // the outermost open brace follows a ")"
};

// The layout at byte offset (before the byte there).
Layout LayoutAt(std::string_view text, std::size_t offset);

// The byte offset where line number (from 1, lines ending in LF as the
// checker counts them) starts; the text's length past its end.
std::size_t LineStart(std::string_view text, int line);

}  // namespace skerry::lsp

#endif
