// The framing of the base protocol, read from input cut into pieces of
// every size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LspTestClient.h"
#include "lsp/MessageReader.h"

namespace skerry::lsp {
namespace {

// Hands out its bytes step bytes per read.
class ChunkedSource : public ByteSource {
 public:
  ChunkedSource(std::string bytes, std::size_t step) : bytes_(std::move(bytes)), step_(step) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, step_, bytes_.size() - at_});
    bytes_.copy(buffer, count, at_);
    at_ += count;
    return count;
  }

 private:
  std::string bytes_;
  std::size_t step_;
  std::size_t at_ = 0;
};

struct FramingCase {
  const char* name;
  std::string input;
  std::vector<std::string> bodies;
  bool problems;  // whether faults are noted
};

std::vector<FramingCase> FramingCases() {
  const std::string a = R"({"a":1})", b = R"({"b":[2]})";
  return {
      {"TwoMessages", test::Framed(a) + test::Framed(b), {a, b}, false},
      {"LineFeedsAlone", "Content-Length: 7\n\n" + a + test::Framed(b), {a, b}, false},
      {"HeaderNameInAnyCaseAndContentType",
       "content-LENGTH:7\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" + a,
       {a},
       false},
      {"BlankLinesBetweenMessages", test::Framed(a) + "\r\n\r\n" + test::Framed(b), {a, b}, false},
      {"EmptyBody", "Content-Length: 0\r\n\r\n" + test::Framed(a), {"", a}, false},
      {"NoContentLength", "Content-Type: x\r\n\r\n" + test::Framed(a), {a}, true},
      {"LengthNotANumber", "Content-Length: 7x\r\n\r\n" + test::Framed(a), {a}, true},
      {"NegativeLength", "Content-Length: -7\r\n\r\n" + test::Framed(a), {a}, true},
      {"NoiseLineBeforeHeader", "hello world\r\n" + test::Framed(a), {a}, true},
      {"NoiseRunningIntoHeader", "}}garbage" + test::Framed(a), {a}, true},
      {"LongNoiseWithoutLineEnd", std::string(200000, '\x01') + test::Framed(a) + test::Framed(b), {a, b}, true},
      {"BodyOverTheLimit", "Content-Length: 5000\r\n\r\n" + std::string(5000, 'x') + test::Framed(a), {a}, true},
      {"InputEndsInBody", test::Framed(a) + "Content-Length: 70\r\n\r\n{\"c\"", {a}, true},
      {"InputEndsInHeader", test::Framed(a) + "Content-Len", {a}, true},
      {"BinaryBody", test::Framed(std::string("\0\xff\x1a\r\n", 5)), {std::string("\0\xff\x1a\r\n", 5)}, false},
  };
}

TEST(MessageReaderTest, ReadsEveryCaseInPiecesOfAnySize) {
  for (const FramingCase& c : FramingCases()) {
    for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{4096}, std::size_t{1} << 20}) {
      SCOPED_TRACE(std::string(c.name) + " step " + std::to_string(step));
      ChunkedSource source(c.input, step);
      MessageReader reader(source, 4096);
      std::vector<std::string> bodies;
      std::string body;
      while (reader.Next(body)) bodies.push_back(body);
      EXPECT_EQ(bodies, c.bodies);
      EXPECT_EQ(!reader.TakeProblems().empty(), c.problems);
    }
  }
}

TEST(MessageReaderTest, ResynchronizesAtAHeaderInsideABodyThatDidNotParse) {
  // The first length is too long: the body swallows the next header.
  const std::string a = R"({"a":1})", b = R"({"b":[2]})";
  const std::string input = "Content-Length: 30\r\n\r\n" + a + test::Framed(b) + test::Framed(a);
  ChunkedSource source(input, 5);
  MessageReader reader(source);
  std::string body;
  ASSERT_TRUE(reader.Next(body));
  EXPECT_EQ(body.substr(0, a.size()), a);
  reader.Resynchronize(body);
  std::vector<std::string> rest;
  while (reader.Next(body)) rest.push_back(body);
  EXPECT_EQ(rest, (std::vector<std::string>{b, a}));
}

}  // namespace
}  // namespace skerry::lsp
