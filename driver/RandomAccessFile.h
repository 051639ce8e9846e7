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
  /// Reads up to length bytes from offset on into buffer; gives how many
  /// (fewer only at the end of the file). Safe from several threads; throws
  /// std::runtime_error on a read error.
  std::size_t ReadSome(std::uint64_t offset, char* buffer, std::size_t length) const;
  /// The size of the file in bytes.
  std::uint64_t Size() const;

 private:
  std::FILE* file_ = nullptr;
  mutable std::mutex mutex_;  // where reads move one position (Windows)
};

}  // namespace skerry

#endif
