// The documents the client has open, by URI; safe to use from several
// threads.
#ifndef SKERRY_LSP_DOCUMENT_STORE_H
#define SKERRY_LSP_DOCUMENT_STORE_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/Positions.h"

namespace skerry::lsp {

// One open document as it stood at one version. The text is shared, never
// changed: a change makes a new one.
struct Document {
  std::string uri;
  std::string path;      // the file's path; empty when the URI is not a file:
  std::string fileName;  // the last element of the path, the checker's file name
  std::shared_ptr<const std::string> text;
  std::int64_t version = 0;
};

// The path of the companion header of a source file: the path with its last
// character replaced by "h", when that is another path and the path ends
// in a dot and c or h; empty otherwise.
std::string CompanionPath(const std::string& path);

// Whether the checker reads a file of this name (".c" or ".h" in either case).
bool IsCheckedFileName(const std::string& fileName);

// One change of a didChange: with a range, the text from start to end is
// replaced; without, the whole text.
struct ContentChange {
  bool hasRange = false;
  std::uint32_t startLine = 0, startCharacter = 0, endLine = 0, endCharacter = 0;
  std::string text;
};

class DocumentStore {
 public:
  void Open(const std::string& uri, std::string text, std::int64_t version);
  // Applies the changes in order; false when the document is not open.
  bool Change(const std::string& uri, const std::vector<ContentChange>& changes, std::int64_t version,
              PositionEncoding encoding);
  void Close(const std::string& uri);

  std::optional<Document> Find(const std::string& uri) const;
  // The open document whose path is path.
  std::optional<Document> FindByPath(const std::string& path) const;
  // The URIs of the open sources whose companion header is at path.
  std::vector<std::string> SourcesOfHeader(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Document, std::less<>> documents_;
};

}  // namespace skerry::lsp

#endif
