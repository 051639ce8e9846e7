// Paths as the gate compares them: absolute, lexically normalised, with "/"
// between the names on every platform.
#ifndef SKERRY_GATE_PATH_KEY_H
#define SKERRY_GATE_PATH_KEY_H

#include <string>
#include <string_view>

namespace skerry {

// path with "/" as its only separator ("\" too on Windows), without empty
// and "." names, and with each ".." taking the name before it away (never
// the root): "./src//a/../b.c" -> "src/b.c", "/x/./y/" -> "/x/y", "." -> "".
// A root ("/", "C:/") is kept.
std::string NormalizedPath(std::string_view path);

// Whether path is absolute: "/..." or, on Windows, "C:/..." and "//server/...".
bool IsAbsolutePath(std::string_view path);

// path made absolute against folder (itself absolute and normalised), and
// normalised.
std::string AbsolutePath(std::string_view path, std::string_view folder);

// Whether the normalised absolute path is folder itself or below it.
bool IsAtOrBelow(std::string_view path, std::string_view folder);

// The key of path (normalised, absolute) for folder (normalised, absolute):
// the path relative to folder when it lies below it ("" for folder itself),
// else path itself.
std::string KeyBelow(std::string_view path, std::string_view folder);

// path joined to folder, which may be "" (then path alone).
std::string JoinKey(std::string_view folder, std::string_view path);

}  // namespace skerry

#endif
