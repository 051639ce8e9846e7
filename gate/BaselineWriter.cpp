#include "gate/BaselineWriter.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "driver/ConsoleOutput.h"
#include "driver/FileSystem.h"

#ifdef _WIN32
#include <process.h>
#define SKERRY_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define SKERRY_PROCESS_ID ::getpid()
#endif

namespace skerry {

namespace fs = boost::filesystem;

namespace {

// A file written through std::FILE; a failed write throws.
class FileOutput : public OutputStream {
 public:
  explicit FileOutput(std::FILE* file) : file_(file) {}
  void Write(std::string_view text) override {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      throw std::runtime_error(std::strerror(errno));
    }
  }
  // The stored lines go from the scratch file to this one without passing
  // through the process where the system can copy them itself.
  void WriteFileRange(int fd, std::uint64_t offset, std::uint64_t length) override {
    if (std::fflush(file_) != 0) throw std::runtime_error(std::strerror(errno));
    StandardOutput(fileno(file_)).WriteFileRange(fd, offset, length);
  }

 private:
  std::FILE* file_;
};

std::string TemporaryName(const std::string& file) {
  const fs::path target(file);
  static unsigned counter = 0;
  const std::string name =
      ".skerry-lint-baseline-" + std::to_string(SKERRY_PROCESS_ID) + "-" + std::to_string(++counter) + ".tmp";
  return (target.has_parent_path() ? target.parent_path() / name : fs::path(name)).string();
}

}  // namespace

bool BaselineWriter::CheckWritable(std::string& error) const {
  boost::system::error_code code;
  if (fs::is_directory(fs::path(file_), code)) {
    error = "cannot write baseline " + file_ + ": " + std::strerror(EISDIR);
    return false;
  }
  if (IsDevice(file_)) return true;
  const std::string probe = TemporaryName(file_);
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write baseline " + file_ + ": " + std::strerror(errno);
    return false;
  }
  std::fclose(file);
  std::remove(probe.c_str());
  return true;
}

void BaselineWriter::Add(const std::string& path, std::string_view lines, std::uint64_t entries,
                         std::uint64_t violations) {
  Piece piece{path, false, 0, lines.size(), std::string(), entries, violations};
  if (!lines.empty() && !scratch_.Store(lines, piece.offset)) piece.text.assign(lines);
  std::lock_guard<std::mutex> lock(mutex_);
  pieces_.push_back(std::move(piece));
}

bool BaselineWriter::Write(const Baseline* old, std::uint64_t& entries, std::uint64_t& violations, std::string& error) {
  std::stable_sort(pieces_.begin(), pieces_.end(), [](const Piece& a, const Piece& b) { return a.path < b.path; });
  const bool inPlace = IsDevice(file_);
  const std::string temporary = inPlace ? file_ : TemporaryName(file_);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write baseline " + file_ + ": " + std::strerror(errno);
    return false;
  }
  entries = violations = 0;
  try {
    FileOutput out(file);
    out.Write(kBaselineHeader);
    for (const Piece& piece : pieces_) {
      if (piece.fromOld) {
        if (old == nullptr) continue;
        for (const BaselineEntry& entry : old->EntriesOf(piece.path)) {
          out.Write(BaselineLine(piece.path, entry.message, entry.count));
          ++entries;
          violations += entry.count;
        }
      } else if (!piece.text.empty() || piece.length == 0) {
        out.Write(piece.text);
        entries += piece.entries;
        violations += piece.violations;
      } else {
        scratch_.WriteRange(out, piece.offset, piece.length);
        entries += piece.entries;
        violations += piece.violations;
      }
    }
    if (std::fflush(file) != 0) throw std::runtime_error(std::strerror(errno));
  } catch (const std::exception& failure) {
    std::fclose(file);
    if (!inPlace) std::remove(temporary.c_str());
    error = "cannot write baseline " + file_ + ": " + failure.what();
    return false;
  }
  if (std::fclose(file) != 0) {
    error = "cannot write baseline " + file_ + ": " + std::strerror(errno);
    if (!inPlace) std::remove(temporary.c_str());
    return false;
  }
  if (inPlace) return true;
  boost::system::error_code code;
  const fs::file_status existing = fs::status(fs::path(file_), code);
  if (!code && fs::exists(existing)) fs::permissions(fs::path(temporary), existing.permissions(), code);
  fs::rename(fs::path(temporary), fs::path(file_), code);
  if (code) {
    std::remove(temporary.c_str());
    error = "cannot write baseline " + file_ + ": " + code.message();
    return false;
  }
  return true;
}

}  // namespace skerry
