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
  blocks_.TakeOver(std::move(list.blocks_));
  count_ += list.count_;
  list.clear();
  // The oldest blocks go to disk first, so that the file and then the
  // blocks in memory hold the text in order.
  while (blocks_.size() > memoryBound_ && blocks_.HasFilled() && spill_.Append(blocks_.FirstFilled())) {
    blocks_.DropFirstFilled();
  }
}

void DiagnosticListing::Write(OutputStream& out) const {
  spill_.WriteTo(out);
  blocks_.WriteTo(out);
}

}  // namespace skerry
