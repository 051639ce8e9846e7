#include "lsp/Uri.h"

#include <cstdio>

namespace skerry::lsp {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decoded(std::string_view text) {
  std::string decoded;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 && HexValue(text[at + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexValue(text[at + 1]) * 16 + HexValue(text[at + 2])));
      at += 2;
    } else {
      decoded.push_back(text[at]);
    }
  }
  return decoded;
}

bool IsDriveLetterPath(std::string_view path) {
  return path.size() >= 3 && path[0] == '/' && ((path[1] | 0x20) >= 'a' && (path[1] | 0x20) <= 'z') && path[2] == ':';
}

}  // namespace

std::string PathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return {};
  std::string_view rest = uri.substr(kScheme.size());
  const std::size_t cut = rest.find_first_of("?#");
  if (cut != std::string_view::npos) rest = rest.substr(0, cut);
  const std::size_t slash = rest.find('/');
  const std::string_view host = slash == std::string_view::npos ? rest : rest.substr(0, slash);
  std::string path = Decoded(slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash));
#ifdef _WIN32
  if (IsDriveLetterPath(path)) path.erase(0, 1);
  if (!host.empty() && host != "localhost") path = "//" + std::string(host) + path;
#else
  (void)IsDriveLetterPath;
  if (!host.empty() && host != "localhost") path = "//" + std::string(host) + path;
#endif
  return path;
}

std::string UriOfPath(std::string_view path) {
  std::string uri = "file://";
  std::string text(path);
#ifdef _WIN32
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
#endif
  if (text.empty() || text[0] != '/') uri.push_back('/');
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       std::string_view("-._~/!$&'()*+,;=@").find(c) != std::string_view::npos;
    if (plain) {
      uri.push_back(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      uri.append(escape);
    }
  }
  return uri;
}

std::string FileNameOfUri(std::string_view uri) {
  std::string_view rest = uri;
  const std::size_t cut = rest.find_first_of("?#");
  if (cut != std::string_view::npos) rest = rest.substr(0, cut);
  const std::size_t last = rest.find_last_of("/:\\");
  return Decoded(last == std::string_view::npos ? rest : rest.substr(last + 1));
}

}  // namespace skerry::lsp
