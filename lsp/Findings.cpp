#include "lsp/Findings.h"

#include "analysis/FileCheck.h"
#include "analysis/TextHelpers.h"
#include "analysis/Waivers.h"
#include "gate/Classification.h"
#include "report/Diagnostics.h"

namespace skerry::lsp {

namespace {

constexpr std::string_view kSeparator = "): error style: ";
constexpr std::string_view kDoesNotFit = " does not fit: ";
constexpr std::string_view kArrayEnd = " needs to have array postfix '_List' in name!";
constexpr std::string_view kEnumMark = " in enum ";

// What a message is about: the name before " does not fit", before the
// array text, or the enumeration body.
std::string_view FlaggedText(std::string_view message, Rule rule) {
  switch (rule) {
    case Rule::kEnumMembersUpperCase:
      return message.substr(0, message.rfind(kEnumMark));
    case Rule::kArrayListPostfix:
      return message.substr(0, message.size() - kArrayEnd.size());
    case Rule::kMacroNameForm:
    case Rule::kNameForm:
      return message.substr(0, message.find(kDoesNotFit));
    default:
      return {};
  }
}

// Places finding on its line: the flagged name as a word, an enumeration
// body between its braces, else the line's text without its blanks.
void Place(Finding& finding, std::string_view line) {
  std::size_t at = std::string_view::npos;
  if (finding.rule == Rule::kEnumMembersUpperCase) {
    const std::string braced = "{" + finding.flagged + "}";
    at = line.find(braced);
    if (at != std::string_view::npos) ++at;
  }
  if (at == std::string_view::npos && !finding.flagged.empty()) at = FindWord(line, finding.flagged);
  if (at != std::string_view::npos) {
    finding.begin = at;
    finding.end = at + finding.flagged.size();
    return;
  }
  std::size_t begin = 0;
  std::size_t end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  finding.begin = begin;
  finding.end = end;
}

}  // namespace

std::size_t FindWord(std::string_view line, std::string_view flagged, std::size_t from) {
  if (flagged.empty()) return std::string_view::npos;
  const std::size_t first = line.find(flagged, from);
  for (std::size_t at = first; at != std::string_view::npos; at = line.find(flagged, at + 1)) {
    const bool startsWord = at == 0 || !IsNameChar(line[at - 1]) || !IsNameChar(flagged.front());
    const std::size_t after = at + flagged.size();
    const bool endsWord = after == line.size() || !IsNameChar(line[after]) || !IsNameChar(flagged.back());
    if (startsWord && endsWord) return at;
  }
  return first;
}

FileFindings CheckLines(const SourceLines& lines, std::string_view fileName, const SourceLines& headerLines,
                        BaselineEntryViews* known) {
  FileFindings result;
  result.moduleName = ModuleName(fileName);
  // The path in the lines is a fixed short text, so a file name that holds
  // a line feed or "(" cannot confuse the reading of the lines.
  const std::string path = "f";
  DiagnosticList diagnostics;
  CheckFileConventions(lines, fileName, path, headerLines, diagnostics);
  if (diagnostics.empty()) return result;

  // The gate's classification: waivers, then the baseline.
  const Waivers waivers = Waivers::Of(lines);
  BaselineEntryViews none;
  DiagnosticList kept;
  Classification classification;
  const ClassificationWants wants;
  Classifier classifier(path, path, waivers, nullptr, known != nullptr ? *known : none, wants, kept, classification);
  classifier.Write(diagnostics.Text());
  classifier.Finish();
  result.waived = classification.counts.waived;
  result.known = classification.counts.known;

  const std::string text = kept.Text();
  std::vector<std::string_view> fileLines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view entry(text.data() + start, end - start);
    start = end + 1;
    // path "(" digits kSeparator message
    std::size_t at = path.size() + 1;
    std::int32_t number = 0;
    while (at < entry.size() && entry[at] >= '0' && entry[at] <= '9') number = number * 10 + (entry[at++] - '0');
    if (entry.substr(at, kSeparator.size()) != kSeparator) continue;  // cannot happen: the list is ours
    Finding finding;
    finding.line = number;
    finding.message.assign(entry.substr(at + kSeparator.size()));
    finding.rule = RuleOf(finding.message);
    if (number == 0) {
      finding.flagged = result.moduleName;
    } else {
      finding.flagged.assign(FlaggedText(finding.message, finding.rule));
      if (fileLines.empty()) fileLines = lines.Lines();
      if (number <= static_cast<std::int32_t>(fileLines.size())) Place(finding, fileLines[number - 1]);
    }
    result.findings.push_back(std::move(finding));
  }
  return result;
}

}  // namespace skerry::lsp
