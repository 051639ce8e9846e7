#include "lsp/DocumentStore.h"

#include "lsp/Uri.h"

namespace skerry::lsp {

std::string CompanionPath(const std::string& path) {
  if (!IsCheckedFileName(path)) return {};
  std::string companion(path, 0, path.size() - 1);
  companion.push_back('h');
  return companion == path ? std::string() : companion;
}

bool IsCheckedFileName(const std::string& fileName) {
  if (fileName.size() < 2 || fileName[fileName.size() - 2] != '.') return false;
  const char last = fileName.back();
  return last == 'c' || last == 'C' || last == 'h' || last == 'H';
}

void DocumentStore::Open(const std::string& uri, std::string text, std::int64_t version) {
  Document document;
  document.uri = uri;
  document.path = PathOfUri(uri);
  document.fileName = FileNameOfUri(document.path.empty() ? std::string_view(uri) : std::string_view(document.path));
  document.text = std::make_shared<const std::string>(std::move(text));
  document.version = version;
  std::lock_guard<std::mutex> lock(mutex_);
  documents_[uri] = std::move(document);
}

bool DocumentStore::Change(const std::string& uri, const std::vector<ContentChange>& changes, std::int64_t version,
                           PositionEncoding encoding) {
  std::shared_ptr<const std::string> old;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = documents_.find(uri);
    if (found == documents_.end()) return false;
    old = found->second.text;
  }
  // Only the reading thread changes documents, so the text read above is
  // still the current one.
  std::string text;
  bool copied = false;
  for (const ContentChange& change : changes) {
    if (!change.hasRange) {
      text = change.text;
      copied = true;
      continue;
    }
    if (!copied) {
      text = *old;
      copied = true;
    }
    std::size_t start = OffsetOf(text, change.startLine, change.startCharacter, encoding);
    std::size_t end = OffsetOf(text, change.endLine, change.endCharacter, encoding);
    if (end < start) std::swap(start, end);
    text.replace(start, end - start, change.text);
  }
  if (!copied) text = *old;
  std::lock_guard<std::mutex> lock(mutex_);
  Document& document = documents_[uri];
  document.text = std::make_shared<const std::string>(std::move(text));
  document.version = version;
  return true;
}

void DocumentStore::Close(const std::string& uri) {
  std::lock_guard<std::mutex> lock(mutex_);
  documents_.erase(uri);
}

std::optional<Document> DocumentStore::Find(const std::string& uri) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return std::nullopt;
  return found->second;
}

std::optional<Document> DocumentStore::FindByPath(const std::string& path) const {
  if (path.empty()) return std::nullopt;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& entry : documents_) {
    if (entry.second.path == path) return entry.second;
  }
  return std::nullopt;
}

std::vector<std::string> DocumentStore::SourcesOfHeader(const std::string& path) const {
  std::vector<std::string> uris;
  if (path.empty()) return uris;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& entry : documents_) {
    if (CompanionPath(entry.second.path) == path) uris.push_back(entry.first);
  }
  return uris;
}

}  // namespace skerry::lsp
