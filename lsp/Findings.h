// The checker's findings on one file's text, each placed on the text it
// flags.
#ifndef SKERRY_LSP_FINDINGS_H
#define SKERRY_LSP_FINDINGS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SourceLines.h"
#include "gate/Baseline.h"
#include "lsp/Rules.h"

namespace skerry::lsp {

struct Finding {
  std::int32_t line = 0;  // from 1; 0 for the file name
  std::string message;    // the checker's message, as it prints it
  Rule rule = Rule::kNameForm;
  std::string flagged;  // the name (or enumeration body) the message is about; the module name on line 0
  // The flagged text's byte columns in its line; on line 0 both 0.
  std::size_t begin = 0;
  std::size_t end = 0;
};

struct FileFindings {
  std::vector<Finding> findings;  // in the checker's order
  std::uint64_t waived = 0;       // findings left out by waiver comments
  std::uint64_t known = 0;        // findings left out as known to the baseline
  std::string moduleName;
};

// Checks lines as the file fileName (with its extension) whose companion
// header has headerLines, exactly as the checker does, and leaves out what
// the file's waiver comments waive and, as the gate does, what known (the
// file's baseline entries, when given) holds: of each message the first
// ones in order.
FileFindings CheckLines(const SourceLines& lines, std::string_view fileName, const SourceLines& headerLines,
                        BaselineEntryViews* known = nullptr);

// Where flagged stands in line as a whole word (not inside a longer name),
// else anywhere, else npos.
std::size_t FindWord(std::string_view line, std::string_view flagged, std::size_t from = 0);

}  // namespace skerry::lsp

#endif
