#include "gate/Exclusions.h"

namespace skerry {

namespace {

bool IsAlphanumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

void AppendLiteral(std::string& expression, char c) {
  if (!IsAlphanumeric(c)) expression.push_back('\\');
  expression.push_back(c);
}

}  // namespace

std::string GlobExpression(std::string_view glob) {
  std::string_view trimmed = glob;
  while (!trimmed.empty() && trimmed.back() == '/') trimmed.remove_suffix(1);
  const bool anchored = trimmed.find('/') != std::string_view::npos;
  while (glob.substr(0, 2) == "./") glob.remove_prefix(2);
  while (!glob.empty() && glob.front() == '/') glob.remove_prefix(1);
  while (!glob.empty() && glob.back() == '/') glob.remove_suffix(1);

  std::string expression = anchored ? "" : "(?:[\\s\\S]*/)?";
  const std::size_t n = glob.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (glob.substr(i, 3) == "**/") {
      expression.append("(?:[\\s\\S]*/)?");
      i += 2;
    } else if (glob.substr(i, 2) == "**") {
      expression.append("[\\s\\S]*");
      i += 1;
    } else if (glob[i] == '*') {
      expression.append("[^/]*");
    } else if (glob[i] == '?') {
      expression.append("[^/]");
    } else if (glob[i] == '[') {
      std::size_t j = i + 1;
      if (j < n && (glob[j] == '!' || glob[j] == '^')) ++j;
      if (j < n && glob[j] == ']') ++j;
      while (j < n && glob[j] != ']') ++j;
      if (j >= n) {
        AppendLiteral(expression, '[');
        continue;
      }
      std::string_view body = glob.substr(i + 1, j - i - 1);
      expression.push_back('[');
      if (body.front() == '!' || body.front() == '^') {
        expression.push_back('^');
        body.remove_prefix(1);
      }
      for (char c : body) {
        if (c == '\\' || c == '[' || c == ']') expression.push_back('\\');
        expression.push_back(c);
      }
      expression.push_back(']');
      i = j;
    } else {
      AppendLiteral(expression, glob[i]);
    }
  }
  expression.append("(?:/[\\s\\S]*)?");
  return expression;
}

Exclusions::Exclusions(const std::vector<std::string>& globs) {
  if (globs.empty()) return;
  std::string expression;
  for (const std::string& glob : globs) {
    if (!expression.empty()) expression.push_back('|');
    expression.append("(?:").append(GlobExpression(glob)).append(")");
  }
  pattern_ = std::make_unique<Pattern>(expression, Pattern::kNone, PatternEngine::Pcre2());
}

}  // namespace skerry
