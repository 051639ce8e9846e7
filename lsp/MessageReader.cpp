#include "lsp/MessageReader.h"

#include <algorithm>

namespace skerry::lsp {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxHeaderLine = 64 * 1024;  // longer text without a line end is no header
constexpr std::size_t kMaxProblems = 64;
constexpr std::string_view kLengthMark = "content-length:";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Where mark (lower case) occurs in text, ignoring case; npos if nowhere.
std::size_t FindIgnoringCase(std::string_view text, std::string_view mark, std::size_t from = 0) {
  if (text.size() < mark.size()) return std::string_view::npos;
  for (std::size_t at = from; at + mark.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < mark.size() && Lower(text[at + i]) == mark[i]) ++i;
    if (i == mark.size()) return at;
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A header name: visible characters other than the separators.
bool IsHeaderName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return c > ' ' && c < 127 && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
  });
}

// The decimal value of text, false unless it is digits alone that fit.
bool ParseLength(std::string_view text, std::size_t& value) {
  if (text.empty() || text.size() > 15) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return true;
}

}  // namespace

MessageReader::MessageReader(ByteSource& source, std::size_t maxBody) : source_(source), maxBody_(maxBody) {}

std::vector<std::string> MessageReader::TakeProblems() {
  std::vector<std::string> taken;
  taken.swap(problems_);
  return taken;
}

bool MessageReader::Fill() {
  if (ended_) return false;
  if (position_ > 0 && position_ >= buffer_.size() / 2) {
    buffer_.erase(0, position_);
    position_ = 0;
  }
  const std::size_t old = buffer_.size();
  buffer_.resize(old + kChunk);
  const std::size_t got = source_.Read(&buffer_[old], kChunk);
  buffer_.resize(old + got);
  if (got == 0) ended_ = true;
  return got > 0;
}

bool MessageReader::ReadHeaders(std::size_t& length) {
  bool sawHeader = false;
  bool haveLength = false;
  bool badLength = false;
  auto note = [this](std::string problem) {
    if (problems_.size() < kMaxProblems) problems_.push_back(std::move(problem));
  };
  auto restart = [&] { sawHeader = haveLength = badLength = false; };
  for (;;) {
    const std::size_t end = buffer_.find('\n', position_);
    if (end == std::string::npos) {
      const std::string_view rest(buffer_.data() + position_, buffer_.size() - position_);
      if (rest.size() > kMaxHeaderLine) {
        // No line end in sight: skip to a header inside, else keep only a
        // tail that may be the start of one.
        std::size_t at = FindIgnoringCase(rest, kLengthMark, 1);
        if (at == std::string_view::npos) at = rest.size() - (kLengthMark.size() - 1);
        note("skipped " + std::to_string(at) + " bytes that are no header");
        position_ += at;
        restart();
        continue;
      }
      if (!Fill()) {
        // Fill may have moved the buffer: rest is not valid any more.
        const std::string_view left(buffer_.data() + position_, buffer_.size() - position_);
        if (sawHeader || !Trim(left).empty()) note("the input ended inside a message header");
        return false;
      }
      continue;
    }
    const std::size_t lineStart = position_;
    std::string_view line(buffer_.data() + lineStart, end - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    position_ = end + 1;
    if (line.empty()) {
      if (!sawHeader) continue;  // blank lines between messages
      if (haveLength && !badLength) return true;
      note(badLength ? "a message whose Content-Length is not a number was skipped"
                     : "a message without Content-Length was skipped");
      restart();
      continue;
    }
    const std::size_t colon = line.find(':');
    const std::string_view name = colon == std::string_view::npos ? line : Trim(line.substr(0, colon));
    if (colon != std::string_view::npos && IsHeaderName(name)) {
      sawHeader = true;
      if (FindIgnoringCase(name, "content-length") == 0 && name.size() == 14) {
        haveLength = true;
        if (!ParseLength(Trim(line.substr(colon + 1)), length)) badLength = true;
      }
      continue;  // other headers (Content-Type) carry nothing the server needs
    }
    // Not a header: the rest of a body whose length was given too short,
    // or noise. A header further on in the line starts the next message.
    const std::size_t at = FindIgnoringCase(line, kLengthMark, 1);
    if (at != std::string_view::npos) {
      note("skipped " + std::to_string(at) + " bytes before a message header");
      position_ = lineStart + at;
    } else {
      note("skipped a line that is no message header");
    }
    restart();
  }
}

bool MessageReader::SkipBytes(std::size_t count) {
  for (;;) {
    const std::size_t there = std::min(count, buffer_.size() - position_);
    position_ += there;
    count -= there;
    if (count == 0) return true;
    buffer_.clear();
    position_ = 0;
    if (!Fill()) return false;
  }
}

bool MessageReader::Next(std::string& body) {
  for (;;) {
    std::size_t length = 0;
    if (!ReadHeaders(length)) return false;
    if (length > maxBody_) {
      if (problems_.size() < kMaxProblems) {
        problems_.push_back("a message of " + std::to_string(length) + " bytes, more than the limit of " +
                            std::to_string(maxBody_) + ", was skipped");
      }
      if (!SkipBytes(length)) return false;
      continue;
    }
    if (buffer_.size() - position_ < length) buffer_.reserve(position_ + length);
    while (buffer_.size() - position_ < length) {
      if (!Fill()) {
        if (problems_.size() < kMaxProblems) {
          problems_.push_back("the input ended inside a message of " + std::to_string(length) + " bytes");
        }
        return false;
      }
    }
    body.assign(buffer_, position_, length);
    position_ += length;
    return true;
  }
}

void MessageReader::Resynchronize(std::string_view body) {
  const std::size_t at = FindIgnoringCase(body, kLengthMark, 1);
  if (at == std::string_view::npos) return;
  if (problems_.size() < kMaxProblems) {
    problems_.push_back("a message header inside a message that did not parse: reading on from there");
  }
  std::string again(body.substr(at));
  again.append(buffer_, position_, std::string::npos);
  buffer_.swap(again);
  position_ = 0;
}

}  // namespace skerry::lsp
