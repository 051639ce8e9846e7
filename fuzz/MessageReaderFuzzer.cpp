// libFuzzer target over the language server's message reader: framing,
// skipping of faults, resynchronisation after a body that is not JSON.
//
// Input: one byte choosing how many bytes each read hands out (1 to 256),
// then the bytes the client sends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "lsp/MessageReader.h"

namespace {

class FuzzSource : public skerry::lsp::ByteSource {
 public:
  FuzzSource(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, step_, bytes_.size()});
    bytes_.copy(buffer, count);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t step_;
};

constexpr std::size_t kMaxBody = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  FuzzSource source(input, std::size_t{data[0]} + 1);
  skerry::lsp::MessageReader reader(source, kMaxBody);
  std::string body;
  std::size_t read = 0;
  while (reader.Next(body)) {
    // No body beyond the limit; resynchronising only reads a body's own
    // bytes again, so all bodies together stay within the input times the
    // number of bodies (a hang would exceed any bound).
    if (body.size() > kMaxBody) std::abort();
    read += body.size();
    if (read > input.size() * (input.size() + 1)) std::abort();
    if (nlohmann::json::parse(body, nullptr, false).is_discarded()) reader.Resynchronize(body);
    reader.TakeProblems();
  }
  return 0;
}
