#include "lsp/CodeActions.h"

#include <set>
#include <vector>

#include "analysis/SourceLines.h"
#include "analysis/TextHelpers.h"
#include "lsp/CodeLayout.h"
#include "lsp/DiagnosticConversion.h"
#include "lsp/ExpectedName.h"

namespace skerry::lsp {

namespace {

// The offsets of word in text where it stands as a whole word.
std::vector<std::size_t> WordOccurrences(std::string_view text, std::string_view word) {
  std::vector<std::size_t> found;
  for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    const std::size_t after = at + word.size();
    if ((at == 0 || !IsNameChar(text[at - 1])) && (after == text.size() || !IsNameChar(text[after]))) {
      found.push_back(at);
    }
  }
  return found;
}

bool IsSourceFile(std::string_view fileName) {
  return fileName.size() >= 2 && fileName[fileName.size() - 2] == '.' &&
         (fileName.back() == 'c' || fileName.back() == 'C');
}

bool StartsWithWord(std::string_view text, std::string_view word) {
  return text.substr(0, word.size()) == word && (text.size() == word.size() || !IsNameChar(text[word.size()]));
}

std::string UpperCase(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The checker's line number's text (without its line end).
std::string_view LineText(std::string_view text, int line) {
  const std::size_t start = LineStart(text, line);
  std::size_t end = text.find('\n', start);
  if (end == std::string_view::npos) end = text.size();
  std::string_view found = text.substr(start, end - start);
  if (end < text.size() && !found.empty() && found.back() == '\r') found.remove_suffix(1);
  return found;
}

Json Range(const LineIndex& index, std::size_t begin, std::size_t end, PositionEncoding encoding) {
  std::uint32_t line, character;
  index.PositionOf(begin, line, character, encoding);
  Json start = {{"line", line}, {"character", character}};
  index.PositionOf(end, line, character, encoding);
  return {{"start", start}, {"end", {{"line", line}, {"character", character}}}};
}

}  // namespace

std::optional<Rename> RenameFor(const Finding& finding, std::string_view text, std::string_view fileName,
                                std::string_view moduleName) {
  const std::optional<NameForm> form = NameFormOf(finding, moduleName);
  if (!form || finding.line <= 0 || finding.flagged.empty() || !IsSourceFile(fileName)) return std::nullopt;
  const std::string_view line = LineText(text, finding.line);
  if (finding.end > line.size() || line.substr(finding.begin, finding.end - finding.begin) != finding.flagged) {
    return std::nullopt;  // the name is not where the message puts it
  }
  const Layout layout = LayoutAt(text, LineStart(text, finding.line) + finding.begin);
  if (layout.inBlockComment || layout.inLineComment) return std::nullopt;
  const std::string_view statement = TrimBlanks(line);
  const std::string& name = finding.flagged;
  const std::string modulePrefix = std::string(moduleName) + "_";
  Rename rename{name, {}};

  if (form->macro) {
    // #define name ...: only upper case is missing.
    const std::size_t define = line.find("define");
    if (define == std::string_view::npos || define > finding.begin || statement.empty() || statement[0] != '#') {
      return std::nullopt;
    }
    rename.to = UpperCase(name);
  } else if (!form->anyModule && !form->modulePrefix.empty()) {
    // A static at file scope that lacks only the module prefix.
    if (layout.braceDepth != 0 || layout.parenDepth != 0 || !StartsWithWord(statement, "static")) return std::nullopt;
    rename.to = modulePrefix + name;
  } else if (!form->anyModule) {
    // A parameter or local that carries the module prefix it must not have.
    const bool parameter = layout.braceDepth == 0 && layout.parenDepth > 0;
    if (!(parameter || layout.inFunctionBody) || FindWord(statement, "extern") != std::string_view::npos ||
        name.compare(0, modulePrefix.size(), modulePrefix) != 0) {
      return std::nullopt;
    }
    rename.to = name.substr(modulePrefix.size());
  } else {
    return std::nullopt;
  }
  if (rename.to == name || !form->Fits(rename.to) || !WordOccurrences(text, rename.to).empty()) return std::nullopt;
  return rename;
}

void WaiverInsertion(const Finding& finding, std::string_view text, std::size_t& offset, std::string& insertion) {
  const std::string_view words = finding.line <= 0 ? "skerry-lint: allow-file-name" : "skerry-lint: allow";
  const int line = finding.line <= 0 ? 1 : finding.line;
  const std::size_t start = LineStart(text, line);
  if (start >= text.size() && line == 1) {
    offset = 0;
    insertion = "/* " + std::string(words) + " */\n";
    return;
  }
  const std::string_view lineText = LineText(text, line);
  std::size_t end = start + lineText.size();
  // Before a line continuation: the comment then stays on the same logical line.
  std::size_t last = end;
  while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
  if (last > start && text[last - 1] == '\\') end = last - 1;
  offset = end;
  if (LayoutAt(text, end).inBlockComment || LayoutAt(text, end).inLineComment) {
    insertion = " " + std::string(words);
  } else {
    insertion = " /* " + std::string(words) + " */";
  }
  if (end < start + lineText.size()) insertion.push_back(' ');
}

Json CodeActionsFor(const Document& document, const FileFindings& findings, std::uint32_t firstLine,
                    std::uint32_t lastLine, const ActionOptions& options) {
  Json actions = Json::array();
  const std::string_view text = *document.text;
  const LineIndex index(text);
  const SourceLines lines = SourceLines::FromBytes(std::string(text));
  const std::vector<std::string_view> views = lines.Lines();
  std::set<std::int32_t> waived;
  std::set<std::string> renamed;
  for (const Finding& finding : findings.findings) {
    const std::uint32_t line = finding.line <= 0 ? 0 : static_cast<std::uint32_t>(finding.line - 1);
    if (line < firstLine || line > lastLine) continue;
    const Json diagnostic = DiagnosticOf(finding, findings.moduleName, views, options.encoding);

    if (waived.insert(finding.line).second) {
      std::size_t offset;
      std::string insertion;
      WaiverInsertion(finding, text, offset, insertion);
      const Json edit = {{"range", Range(index, offset, offset, options.encoding)}, {"newText", insertion}};
      actions.push_back({{"title", finding.line <= 0 ? "Waive the file-name rules: skerry-lint: allow-file-name"
                                                     : "Waive this line: skerry-lint: allow"},
                         {"kind", "quickfix"},
                         {"diagnostics", Json::array({diagnostic})},
                         {"edit", {{"changes", {{document.uri, Json::array({edit})}}}}}});
    }

    const std::optional<Rename> rename = RenameFor(finding, text, document.fileName, findings.moduleName);
    if (!rename || !renamed.insert(rename->from).second) continue;
    const std::vector<std::size_t> places = WordOccurrences(text, rename->from);
    const std::string title = "Rename " + rename->from + " to " + rename->to + " in this file (" +
                              std::to_string(places.size()) + (places.size() == 1 ? " place)" : " places)");
    Json edits = Json::array();
    for (std::size_t at : places) {
      Json edit = {{"range", Range(index, at, at + rename->from.size(), options.encoding)}, {"newText", rename->to}};
      if (options.annotatedEdits) edit["annotationId"] = "skerry-lint.rename";
      edits.push_back(std::move(edit));
    }
    Json workspaceEdit;
    if (options.annotatedEdits) {
      workspaceEdit = {
          {"documentChanges",
           Json::array({{{"textDocument", {{"uri", document.uri}, {"version", document.version}}}, {"edits", edits}}})},
          {"changeAnnotations",
           {{"skerry-lint.rename",
             {{"label", title}, {"needsConfirmation", true}, {"description", "whole words, this file only"}}}}}};
    } else {
      workspaceEdit = {{"changes", {{document.uri, edits}}}};
    }
    actions.push_back({{"title", title},
                       {"kind", "quickfix"},
                       {"isPreferred", true},
                       {"diagnostics", Json::array({diagnostic})},
                       {"edit", workspaceEdit}});
  }
  return actions;
}

}  // namespace skerry::lsp
