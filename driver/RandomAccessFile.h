// A file read at given offsets, from several threads at once.
#ifndef SKERRY_DRIVER_RANDOM_ACCESS_FILE_H
#define SKERRY_DRIVER_RANDOM_ACCESS_FILE_H

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace skerry {

class RandomAccessFile {
 public:
  RandomAccessFile() = default;
  ~RandomAccessFile();
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  /// Opens name for reading; false with the system's reason in error.
  bool Open(const std::string& name, std::string& error);
  /// Reads up to size bytes into buffer from the current position (the
  /// sequential read of the first pass); 0 at the end. Throws
  /// std::runtime_error on a read error.
  std::size_t Read(char* buffer, std::size_t size);
  /// Reads length bytes from offset on into bytes; safe from several
  /// threads. Throws std::runtime_error when they cannot be read.
  void ReadAt(std::uint64_t offset, std::size_t length, std::string& bytes) const;
  /// Reads up to length bytes from offset on into buffer; gives how many
  /// (fewer only at the end of the file). Safe from several threads; throws
  /// std::runtime_error on a read error.
  std::size_t ReadSome(std::uint64_t offset, char* buffer, std::size_t length) const;
  /// The size of the file in bytes.
  std::uint64_t Size() const;

 private:
  std::FILE* file_ = nullptr;
  mutable std::mutex mutex_;
};

}  // namespace skerry

#endif
