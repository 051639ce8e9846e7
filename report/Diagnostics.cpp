#include "report/Diagnostics.h"

#include <charconv>

namespace skerry {

void DiagnosticList::Append(std::string_view line) {
  text_.append(line);
  text_.push_back('\n');
  ++count_;
}

void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message) {
  char number[16];
  auto result = std::to_chars(number, number + sizeof number, line);
  std::string text;
  text.reserve(path.size() + message.size() + 32);
  text.append(path);
  text.push_back('(');
  text.append(number, result.ptr);
  text.append("): error style: ");
  text.append(message);
  list.Append(text);
}

void WriteDiagnosticListing(const DiagnosticList& list, std::FILE* out) {
  // The bytes are those of writing and flushing line by line; one large
  // write is much cheaper when a run reports millions of lines.
  const std::string& text = list.Text();
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
}

}  // namespace skerry
