#include "analysis/DeclarationRecord.h"

#include <cstring>

namespace skerry {

std::string_view DeclarationTable::Keep(std::string_view text) {
  if (text.empty()) return {};
  char* at;
  if (text.size() > kBlockSize / 4) {
    large_.push_back(std::make_unique<char[]>(text.size()));
    at = large_.back().get();
  } else {
    if (blockUsed_ + text.size() > kBlockSize) {
      blocks_.push_back(std::make_unique<char[]>(kBlockSize));
      blockUsed_ = 0;
    }
    at = blocks_.back().get() + blockUsed_;
    blockUsed_ += text.size();
  }
  std::memcpy(at, text.data(), text.size());
  return std::string_view(at, text.size());
}

void DeclarationTable::clear() {
  records_.clear();
  blocks_.clear();
  large_.clear();
  blockUsed_ = kBlockSize;
}

}  // namespace skerry
