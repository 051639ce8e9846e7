#include "lsp/CodeLayout.h"

#include <vector>

namespace skerry::lsp {

Layout LayoutAt(std::string_view text, std::size_t offset) {
  enum class State { kCode, kLineComment, kBlockComment, kString, kCharacter } state = State::kCode;
  std::vector<bool> braces;  // per open brace: whether it opened a function body
  int parens = 0;
  char lastCode = 0;  // the last character of code that is not blank
  if (offset > text.size()) offset = text.size();
  for (std::size_t at = 0; at < offset; ++at) {
    const char c = text[at];
    const char next = at + 1 < text.size() ? text[at + 1] : '\0';
    switch (state) {
      case State::kLineComment:
        if (c == '\n') state = State::kCode;
        break;
      case State::kBlockComment:
        if (c == '*' && next == '/') {
          state = State::kCode;
          ++at;
        }
        break;
      case State::kString:
      case State::kCharacter:
        if (c == '\\') {
          ++at;
        } else if (c == (state == State::kString ? '"' : '\'') || c == '\n') {
          state = State::kCode;
        }
        break;
      case State::kCode:
        if (c == '/' && next == '/') {
          state = State::kLineComment;
          ++at;
          break;
        }
        if (c == '/' && next == '*') {
          state = State::kBlockComment;
          ++at;
          break;
        }
        if (c == '"') state = State::kString;
        if (c == '\'') state = State::kCharacter;
        if (c == '{') {
          braces.push_back(braces.empty() ? lastCode == ')' : braces.back());
          parens = 0;
        } else if (c == '}') {
          if (!braces.empty()) braces.pop_back();
          parens = 0;
        } else if (c == ';') {
          parens = 0;
        } else if (c == '(') {
          ++parens;
        } else if (c == ')' && parens > 0) {
          --parens;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') lastCode = c;
        break;
    }
  }
  Layout layout;
  layout.inBlockComment = state == State::kBlockComment;
  layout.inLineComment = state == State::kLineComment;
  layout.braceDepth = static_cast<int>(braces.size());
  layout.parenDepth = parens;
  layout.inFunctionBody = !braces.empty() && braces.back();
  return layout;
}

std::size_t LineStart(std::string_view text, int line) {
  std::size_t start = 0;
  for (int number = 1; number < line; ++number) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) return text.size();
    start = end + 1;
  }
  return start;
}

}  // namespace skerry::lsp
