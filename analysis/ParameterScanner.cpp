#include "analysis/ParameterScanner.h"

#include <string>

#include "analysis/LineScanner.h"
#include "analysis/PatternTable.h"

namespace skerry {

void ScanParameterList(std::string_view parameterText, DeclarationTable& table, UserTypeList& userTypes,
                       int32_t lineNumber, int32_t& firstFunctionLine) {
  std::string_view trimmed = TrimBlanks(parameterText);
  MatchGroups groups;
  if (!ParameterListPattern.Search(trimmed, groups)) return;
  std::string_view rest = groups[1];

  // ParameterSplitPattern is compiled without its documented trailing
  // "(.*)"; that group is the text after the match up to the first line
  // terminator, where "." stops.
  std::string pseudoLine;
  while (ParameterSplitPattern.Search(rest, groups)) {
    std::string_view parameter = TrimBlanks(groups[2]);
    std::size_t matchEnd = static_cast<std::size_t>(groups[0].data() + groups[0].size() - rest.data());
    std::string_view tail = rest.substr(matchEnd);
    std::size_t terminator = tail.find_first_of("\r\n");
    if (terminator != std::string_view::npos) tail = tail.substr(0, terminator);

    pseudoLine.assign(1, ' ');
    pseudoLine.append(parameter);
    rest = tail;
    ScanLine(pseudoLine, lineNumber, table, userTypes, false, firstFunctionLine);
  }
}

void ReverseScan(const SourceLines& lines, DeclarationTable& table, UserTypeList& userTypes, bool typePass,
                 int32_t& firstFunctionLine) {
  // A line never holds a line feed (the text is split at them), and holds
  // a carriage return or "typedef" only if the text does.
  const LineFacts facts{lines.Contains("\r"), lines.Contains("typedef", 1)};
  lines.ForEachReverse([&](std::string_view line, int32_t number) {
    ScanLine(line, number, table, userTypes, typePass, firstFunctionLine, facts);
  });
  if (typePass) ReverseScan(lines, table, userTypes, false, firstFunctionLine);
}

}  // namespace skerry
