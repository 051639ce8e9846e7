#include "driver/VersionBanner.h"

#include <string>

#include "driver/BuildInfo.h"
#include "report/OutputStream.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace skerry {

namespace {

std::string bannerName;
std::string bannerVersion;
std::string bannerNotice;
bool versionFound = false;

#ifdef _WIN32
// Reads the version resource of the program's own file.
void ReadVersionInformation(const char* programPath) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(programPath, &handle);
  if (size == 0) return;
  std::vector<char> buffer(size);
  if (!GetFileVersionInfoA(programPath, 0, size, buffer.data())) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length) || fixed == nullptr) return;
  versionFound = true;
  bannerVersion = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS));
  char* text = nullptr;
  if (VerQueryValueA(buffer.data(), "\\StringFileInfo\\040904b0\\LegalCopyright", reinterpret_cast<LPVOID*>(&text),
                     &length) &&
      text != nullptr) {
    bannerNotice = text;
  }
  text = nullptr;
  if (VerQueryValueA(buffer.data(), "\\StringFileInfo\\040904b0\\OriginalFilename", reinterpret_cast<LPVOID*>(&text),
                     &length) &&
      text != nullptr) {
    bannerName = text;
  }
}
#else
void ReadVersionInformation(const char*) {
  versionFound = true;
  bannerName = SKERRY_BANNER_NAME;
  bannerVersion = std::to_string(SKERRY_VERSION_MAJOR) + "." + std::to_string(SKERRY_VERSION_MINOR);
  bannerNotice = SKERRY_BANNER_NOTICE;
}
#endif

}  // namespace

const char* BuildDate() { return __DATE__; }

void PrintVersionBanner(const char* programPath, OutputStream& out) {
  bannerName.clear();
  bannerVersion.clear();
  bannerNotice.clear();
  ReadVersionInformation(programPath == nullptr ? "" : programPath);
  if (!versionFound) return;
  out.WriteLine(bannerName + " version " + bannerVersion + " from " + BuildDate());
  out.WriteLine(bannerNotice);
}

}  // namespace skerry
