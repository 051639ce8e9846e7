#include "lsp/StandardStreams.h"

#include <cerrno>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace skerry::lsp {

#ifdef _WIN32

// ReadFile on a pipe returns what is there; binary handles, no text mode.
StandardInput::StandardInput() = default;

std::size_t StandardInput::Read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const DWORD want = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, want, &got, nullptr)) return 0;
  return got;
}

StandardOutputSink::StandardOutputSink() = default;

bool StandardOutputSink::Write(std::string_view bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD want = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(out, bytes.data(), want, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

#else

StandardInput::StandardInput() = default;

std::size_t StandardInput::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

// A client that closes its end must not end the server by SIGPIPE before
// it has noticed the end of its input.
StandardOutputSink::StandardOutputSink() { std::signal(SIGPIPE, SIG_IGN); }

bool StandardOutputSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

#endif

}  // namespace skerry::lsp
