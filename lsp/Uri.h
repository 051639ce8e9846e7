// file: URIs and the paths they name.
#ifndef SKERRY_LSP_URI_H
#define SKERRY_LSP_URI_H

#include <string>
#include <string_view>

namespace skerry::lsp {

// The path of a file: URI, percent escapes decoded ("file:///home/a%20b.c"
// -> "/home/a b.c"; on Windows "file:///c%3A/x.c" -> "c:/x.c", and a host
// gives a UNC path); empty for any other scheme.
std::string PathOfUri(std::string_view uri);

// The file: URI of an absolute path, with the characters that URIs reserve
// escaped.
std::string UriOfPath(std::string_view path);

// The last element of the URI's path ("untitled:Mod.c" -> "Mod.c").
std::string FileNameOfUri(std::string_view uri);

}  // namespace skerry::lsp

#endif
