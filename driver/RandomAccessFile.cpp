#include "driver/RandomAccessFile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace skerry {

namespace {

int SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET);
#else
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

}  // namespace

RandomAccessFile::~RandomAccessFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool RandomAccessFile::Open(const std::string& name, std::string& error) {
  file_ = std::fopen(name.c_str(), "rb");
  if (file_ == nullptr) error = std::strerror(errno);
  return file_ != nullptr;
}

std::size_t RandomAccessFile::Read(char* buffer, std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t got = std::fread(buffer, 1, size, file_);
  if (got < size && std::ferror(file_)) throw std::runtime_error(std::strerror(errno));
  return got;
}

void RandomAccessFile::ReadAt(std::uint64_t offset, std::size_t length, std::string& bytes) const {
  std::lock_guard<std::mutex> lock(mutex_);
  bytes.resize(length);
  if (SeekTo(file_, offset) != 0 || std::fread(&bytes[0], 1, length, file_) != length) {
    throw std::runtime_error(std::ferror(file_) ? std::strerror(errno) : "the file changed while it was read");
  }
}

}  // namespace skerry
