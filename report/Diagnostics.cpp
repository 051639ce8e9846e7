#include "report/Diagnostics.h"

#include <charconv>
#include <utility>

namespace skerry {

void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message) {
  char number[16];
  auto result = std::to_chars(number, number + sizeof number, line);
  list.Append({path, "(", std::string_view(number, static_cast<std::size_t>(result.ptr - number)),
               "): error style: ", message});
}

void DiagnosticListing::AppendAll(DiagnosticList&& list) {
  const std::size_t count = list.size();
  blocks_.TakeOver(list.TakeBlocks());
  count_ += count;
}

}  // namespace skerry
