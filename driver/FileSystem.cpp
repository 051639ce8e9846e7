#include "driver/FileSystem.h"

#include <boost/filesystem/operations.hpp>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace skerry {

namespace fs = boost::filesystem;

namespace {

#ifdef _WIN32

// An open handle, closed when it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Opens path (links and junctions followed) without keeping others from
// reading, writing, renaming or deleting it; directories too.
HANDLE OpenShared(const fs::path& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A reparse point that Boost.Filesystem does not follow (neither a symbolic
// link nor a junction: wine's view of a POSIX symbolic link, for one) is
// judged by what opening it reaches, as the system follows it. False when
// the path is no such reparse point.
bool FollowReparsePoint(const fs::path& path, fs::file_type type, PathStatus& status) {
  if (type != fs::reparse_file) return false;
  Handle file(OpenShared(path, FILE_READ_ATTRIBUTES));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) {
    status.type = PathStatus::Type::kNotFound;  // a broken link
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    status.type = PathStatus::Type::kDirectory;
    status.identified = true;
    status.device = info.dwVolumeSerialNumber;
    status.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  } else {
    status.type = GetFileType(file.get()) == FILE_TYPE_DISK ? PathStatus::Type::kRegular : PathStatus::Type::kOther;
  }
  return true;
}

// The volume's serial number and the file's index on it.
void IdentifyFile(const fs::path& path, PathStatus& status) {
  Handle file(OpenShared(path, FILE_READ_ATTRIBUTES));
  BY_HANDLE_FILE_INFORMATION info;
  status.identified = file.valid() && GetFileInformationByHandle(file.get(), &info);
  if (status.identified) {
    status.device = info.dwVolumeSerialNumber;
    status.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
}

#else

// Boost.Filesystem follows every link there is.
bool FollowReparsePoint(const fs::path&, fs::file_type, PathStatus&) { return false; }

// The device and the inode.
void IdentifyFile(const fs::path& path, PathStatus& status) {
  struct stat info;
  status.identified = ::stat(path.c_str(), &info) == 0;
  if (status.identified) {
    status.device = static_cast<std::uint64_t>(info.st_dev);
    status.inode = static_cast<std::uint64_t>(info.st_ino);
  }
}

#endif

}  // namespace

PathStatus DiskFileSystem::Stat(const fs::path& path) const {
  PathStatus result;
  boost::system::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_not_found) return result;
  if (FollowReparsePoint(path, status.type(), result)) return result;
  if (error) {
    result.type = PathStatus::Type::kUnknown;
    result.error = error.message();
    return result;
  }
  if (fs::is_regular_file(status)) {
    result.type = PathStatus::Type::kRegular;
  } else if (fs::is_directory(status)) {
    result.type = PathStatus::Type::kDirectory;
    IdentifyFile(path, result);
  } else {
    result.type = PathStatus::Type::kOther;
  }
  return result;
}

PathStatus DiskFileSystem::Identify(const fs::path& path) const {
  // One call to the system: asked for every file a walk of the gate meets.
  PathStatus result;
  IdentifyFile(path, result);
  return result;
}

void DiskFileSystem::ListDirectory(const fs::path& directory, std::vector<fs::path>& names, std::string& error) const {
  boost::system::error_code code;
  fs::directory_iterator it(directory, code);
  for (const fs::directory_iterator end; !code && it != end; it.increment(code)) {
    names.push_back(it->path().filename());
  }
  if (code) error = code.message();
}

bool DiskFileSystem::CurrentDirectory(fs::path& directory) const {
  boost::system::error_code error;
  directory = fs::current_path(error);
  return !error;
}

#ifdef _WIN32

bool DiskFileSystem::ReadFile(const fs::path& path, std::string& bytes) const {
  // The wide path reaches every name, whatever the ANSI code page holds.
  Handle file(OpenShared(path, GENERIC_READ));
  if (!file.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info;
  // A directory, or a device or pipe that a name may stand for, is not read.
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  const std::uint64_t expected = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  bytes.resize(static_cast<std::size_t>(expected) + 1);  // one more byte shows whether the file grew
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    const std::size_t room = bytes.size() - used;
    DWORD got = 0;
    if (!::ReadFile(file.get(), &bytes[used], room < (1u << 30) ? static_cast<DWORD>(room) : (1u << 30), &got,
                    nullptr) ||
        got == 0) {
      break;  // end of file, or a read error: keep what was read
    }
    used += got;
  }
  bytes.resize(used);
  return true;
}

bool IsDevice(const fs::path& path) {
  // Windows' device names are no files the directory lists: what an open
  // of the name reaches tells.
  Handle file(OpenShared(path, 0));
  if (!file.valid()) return false;
  const DWORD type = GetFileType(file.get());
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

#else

bool DiskFileSystem::ReadFile(const fs::path& path, std::string& bytes) const {
  // Only a regular file is opened: opening a device can have effects of its
  // own. The open is non-blocking all the same, so that an entry replaced by
  // a FIFO in between cannot hold the run, and the status of the opened
  // descriptor decides whether it is read at all.
  struct stat entry;
  if (::stat(path.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  std::size_t expected = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  bytes.resize(expected + 1);  // one more byte shows whether the file grew
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    ssize_t got = ::read(fd, &bytes[used], bytes.size() - used);
    if (got > 0) {
      used += static_cast<std::size_t>(got);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // end of file, or a read error: keep what was read
    }
  }
  ::close(fd);
  bytes.resize(used);
  return true;
}

bool IsDevice(const fs::path& path) {
  struct stat entry;
  return ::stat(path.c_str(), &entry) == 0 && !S_ISREG(entry.st_mode) && !S_ISDIR(entry.st_mode);
}

#endif

}  // namespace skerry
