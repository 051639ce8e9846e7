// libFuzzer target over the whole check of one file with its companion
// header: line splitting, both passes over header and file, and the naming
// rules.
//
// Input: one byte choosing the file name, then the header's bytes, a byte
// 0x1F, then the file's bytes (without 0x1F the whole rest is the file).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/FileCheck.h"
#include "analysis/SourceLines.h"
#include "report/Diagnostics.h"

namespace {

const char* const kFileNames[] = {"LedDriver.c", "Mod.c", "CAN_Bus.c", "io.h", "Mod_Sub.part.C", ".c", "a-b.h", "x1.c"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string fileName = kFileNames[data[0] % (sizeof kFileNames / sizeof kFileNames[0])];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view header;
  std::string_view file = rest;
  std::size_t separator = rest.find('\x1f');
  if (separator != std::string_view::npos) {
    header = rest.substr(0, separator);
    file = rest.substr(separator + 1);
  }
  skerry::SourceLines headerLines = skerry::SourceLines::FromBytes(std::string(header));
  skerry::SourceLines fileLines = skerry::SourceLines::FromBytes(std::string(file));
  skerry::DiagnosticList diagnostics;
  const std::string path = "src/" + fileName;
  skerry::CheckFileConventions(fileLines, fileName, path, headerLines, diagnostics);

  // Every diagnostic names the file and a line of it (0 for the file as a whole).
  const std::string all = diagnostics.Text();
  std::string_view text = all;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) std::abort();
    std::string_view diagnostic = text.substr(0, end);
    if (diagnostic.substr(0, path.size() + 1) != path + "(") std::abort();
    long number = std::strtol(std::string(diagnostic.substr(path.size() + 1)).c_str(), nullptr, 10);
    if (number < 0 || number > fileLines.Count()) std::abort();
    text.remove_prefix(end + 1);
  }
  return 0;
}
