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
// A text of the resource in the ANSI code page, as the A functions give it.
std::string AnsiText(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], size, nullptr, nullptr);
  result.pop_back();  // the terminating null
  return result;
}

// Reads the version resource of the program's own file. The file is the
// process's module, whatever the program was started as: argv[0] may lack
// the ".exe" or a folder, or name something else altogether.
void ReadVersionInformation(const char*) {
  std::vector<wchar_t> self(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0) return;
    if (length < self.size()) break;
    self.resize(self.size() * 2);  // cut: try again with more room
  }
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(self.data(), &handle);
  if (size == 0) return;
  std::vector<char> buffer(size);
  if (!GetFileVersionInfoW(self.data(), 0, size, buffer.data())) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<LPVOID*>(&fixed), &length) || fixed == nullptr) return;
  versionFound = true;
  bannerVersion = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS));
  wchar_t* text = nullptr;
  if (VerQueryValueW(buffer.data(), L"\\StringFileInfo\\040904b0\\LegalCopyright", reinterpret_cast<LPVOID*>(&text),
                     &length) &&
      text != nullptr) {
    bannerNotice = AnsiText(text);
  }
  text = nullptr;
  if (VerQueryValueW(buffer.data(), L"\\StringFileInfo\\040904b0\\OriginalFilename", reinterpret_cast<LPVOID*>(&text),
                     &length) &&
      text != nullptr) {
    bannerName = AnsiText(text);
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
