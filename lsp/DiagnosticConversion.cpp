#include "lsp/DiagnosticConversion.h"

#include "lsp/ExpectedName.h"

namespace skerry::lsp {

namespace {

Json Position(std::int32_t line, std::uint32_t character) { return {{"line", line}, {"character", character}}; }

}  // namespace

Json RangeOf(const Finding& finding, const std::vector<std::string_view>& lines, PositionEncoding encoding) {
  if (finding.line <= 0) {
    const std::string_view first = lines.empty() ? std::string_view() : lines.front();
    return {{"start", Position(0, 0)}, {"end", Position(0, ColumnOf(first, first.size(), encoding))}};
  }
  const std::int32_t line = finding.line - 1;
  const std::string_view text = line < static_cast<std::int32_t>(lines.size()) ? lines[line] : std::string_view();
  return {{"start", Position(line, ColumnOf(text, finding.begin, encoding))},
          {"end", Position(line, ColumnOf(text, finding.end, encoding))}};
}

Json DiagnosticOf(const Finding& finding, std::string_view moduleName, const std::vector<std::string_view>& lines,
                  PositionEncoding encoding) {
  return {{"range", RangeOf(finding, lines, encoding)},
          {"severity", kFindingSeverity},
          {"source", "skerry-lint"},
          {"code", RuleId(finding.rule)},
          {"message", ExpectedText(finding, moduleName) + "\n" + finding.message}};
}

void AppendJsonString(std::string& out, std::string_view text) {
  out.push_back('"');
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x80) {
      // A valid sequence is copied; anything else becomes U+FFFD.
      std::size_t length = byte >= 0xC2 && byte <= 0xDF   ? 2
                           : byte >= 0xE0 && byte <= 0xEF ? 3
                           : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                          : 0;
      bool valid = length > 0 && at + length <= text.size();
      for (std::size_t i = 1; valid && i < length; ++i)
        valid = (static_cast<unsigned char>(text[at + i]) & 0xC0) == 0x80;
      if (valid && length >= 3) {
        const auto second = static_cast<unsigned char>(text[at + 1]);
        // No overlong forms, no surrogates, nothing beyond U+10FFFF.
        valid = !(byte == 0xE0 && second < 0xA0) && !(byte == 0xED && second >= 0xA0) &&
                !(byte == 0xF0 && second < 0x90) && !(byte == 0xF4 && second >= 0x90);
      }
      if (valid) {
        out.append(text.substr(at, length));
        at += length;
      } else {
        out.append("\xef\xbf\xbd");
        ++at;
      }
      continue;
    }
    switch (byte) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        if (byte < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          out.append("\\u00");
          out.push_back(kHex[byte >> 4]);
          out.push_back(kHex[byte & 15]);
        } else {
          out.push_back(static_cast<char>(byte));
        }
    }
    ++at;
  }
  out.push_back('"');
}

std::string DiagnosticsJson(const FileFindings& findings, const SourceLines& lines, PositionEncoding encoding) {
  std::string out = "[";
  if (findings.findings.empty()) return out + "]";
  const std::vector<std::string_view> views = lines.Lines();
  auto position = [&out](std::int32_t line, std::uint32_t character) {
    out.append("{\"line\":").append(std::to_string(line)).append(",\"character\":");
    out.append(std::to_string(character)).append("}");
  };
  std::string message;
  for (const Finding& finding : findings.findings) {
    if (out.size() > 1) out.push_back(',');
    std::int32_t line = 0;
    std::uint32_t start = 0, end = 0;
    if (finding.line <= 0) {
      const std::string_view first = views.empty() ? std::string_view() : views.front();
      end = ColumnOf(first, first.size(), encoding);
    } else {
      line = finding.line - 1;
      const std::string_view text = line < static_cast<std::int32_t>(views.size()) ? views[line] : std::string_view();
      start = ColumnOf(text, finding.begin, encoding);
      end = ColumnOf(text, finding.end, encoding);
    }
    out.append("{\"range\":{\"start\":");
    position(line, start);
    out.append(",\"end\":");
    position(line, end);
    out.append("},\"severity\":").append(std::to_string(kFindingSeverity));
    out.append(",\"source\":\"skerry-lint\",\"code\":\"").append(RuleId(finding.rule)).append("\",\"message\":");
    message = ExpectedText(finding, findings.moduleName);
    message.push_back('\n');
    message.append(finding.message);
    AppendJsonString(out, message);
    out.push_back('}');
  }
  out.push_back(']');
  return out;
}

}  // namespace skerry::lsp
