// What the checker needs of the disk, behind one seam.
#ifndef SKERRY_DRIVER_FILE_SYSTEM_H
#define SKERRY_DRIVER_FILE_SYSTEM_H

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <string>
#include <vector>

namespace skerry {

/// The type of a path, links followed, and what identifies a directory
/// whatever path reached it.
struct PathStatus {
  enum class Type { kNotFound, kRegular, kDirectory, kOther, kUnknown } type = Type::kNotFound;
  std::string error;  // with kUnknown: why the type cannot be determined
  // Directories: equal for the same directory (device and inode; on
  // Windows the volume's serial number and the file index); identified is
  // false when unknown.
  bool identified = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool SameDirectory(const PathStatus& other) const {
    return identified && other.identified && device == other.device && inode == other.inode;
  }
};

/// The file system the run reads: the disk (DiskFileSystem), or files held
/// in memory by tests (RunSpineTest). Called from several threads at once.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// The status of path, links followed. A missing path or a broken link is
  /// kNotFound without error.
  virtual PathStatus Stat(const boost::filesystem::path& path) const = 0;
  /// Reads the regular file at path. Returns false, leaving bytes empty,
  /// when it cannot be opened or is not a regular file (a FIFO, device or
  /// socket is never read, so it cannot block the run). A read error in the
  /// middle keeps what was read and still returns true.
  virtual bool ReadFile(const boost::filesystem::path& path, std::string& bytes) const = 0;
  /// The names of directory's entries in the order the system lists them
  /// ("." and ".." left out). error tells why the listing failed or stopped;
  /// names then hold what was listed before.
  virtual void ListDirectory(const boost::filesystem::path& directory, std::vector<boost::filesystem::path>& names,
                             std::string& error) const = 0;
  /// The current directory; false when it cannot be found out.
  virtual bool CurrentDirectory(boost::filesystem::path& directory) const = 0;
  /// What identifies the file or directory at path whatever path reached
  /// it (links followed): identified, device and inode; equal identities
  /// are the same file. The type is not looked at. The default identifies
  /// directories only (as Stat does), so that every other path counts as a
  /// file of its own.
  virtual PathStatus Identify(const boost::filesystem::path& path) const { return Stat(path); }
};

/// The disk, through Boost.Filesystem and POSIX, or Win32 on Windows (wide
/// paths, so that every name can be opened whatever the ANSI code page).
class DiskFileSystem : public FileSystem {
 public:
  PathStatus Stat(const boost::filesystem::path& path) const override;
  bool ReadFile(const boost::filesystem::path& path, std::string& bytes) const override;
  void ListDirectory(const boost::filesystem::path& directory, std::vector<boost::filesystem::path>& names,
                     std::string& error) const override;
  bool CurrentDirectory(boost::filesystem::path& directory) const override;
  PathStatus Identify(const boost::filesystem::path& path) const override;
};

/// Whether path names something that exists and is neither a regular file
/// nor a directory: a device (/dev/null; NUL or CON on Windows, in any
/// folder), a FIFO, a socket. Such a target is written in place, never
/// replaced by a new file.
bool IsDevice(const boost::filesystem::path& path);

}  // namespace skerry

#endif
