#include "driver/RandomAccessFile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace skerry {

RandomAccessFile::~RandomAccessFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool RandomAccessFile::Open(const std::string& name, std::string& error) {
  file_ = std::fopen(name.c_str(), "rb");
  if (file_ == nullptr) error = std::strerror(errno);
  return file_ != nullptr;
}

#ifdef _WIN32

namespace {

int SeekTo(std::FILE* file, std::uint64_t offset) {
  return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET);
}

}  // namespace

std::size_t RandomAccessFile::ReadSome(std::uint64_t offset, char* buffer, std::size_t length) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (SeekTo(file_, offset) != 0) throw std::runtime_error(std::strerror(errno));
  const std::size_t got = std::fread(buffer, 1, length, file_);
  if (got < length && std::ferror(file_)) throw std::runtime_error(std::strerror(errno));
  return got;
}

std::uint64_t RandomAccessFile::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (::_fseeki64(file_, 0, SEEK_END) != 0) throw std::runtime_error(std::strerror(errno));
  return static_cast<std::uint64_t>(::_ftelli64(file_));
}

#else

std::size_t RandomAccessFile::ReadSome(std::uint64_t offset, char* buffer, std::size_t length) const {
  std::size_t got = 0;
  while (got < length) {
    const ssize_t read = ::pread(::fileno(file_), buffer + got, length - got, static_cast<off_t>(offset + got));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) throw std::runtime_error(std::strerror(errno));
    if (read == 0) break;
    got += static_cast<std::size_t>(read);
  }
  return got;
}

std::uint64_t RandomAccessFile::Size() const {
  struct stat info;
  if (::fstat(::fileno(file_), &info) != 0) throw std::runtime_error(std::strerror(errno));
  return static_cast<std::uint64_t>(info.st_size);
}

#endif

}  // namespace skerry
