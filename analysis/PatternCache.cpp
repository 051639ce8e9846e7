// The cache of run-time patterns.
#include <string>
#include <unordered_map>

#include "analysis/Pattern.h"
#include "analysis/ThreadState.h"

namespace skerry {

std::shared_ptr<const Pattern> Pattern::Cached(std::string_view text, unsigned options, const PatternEngine& engine) {
  // A run over a large tree meets many distinct run-time texts; the cache is
  // dropped as a whole when it grows past its bound. Holders of a pattern
  // keep it alive through their shared pointer. One cache per thread, so
  // that threads never wait for each other, and one per engine.
  constexpr std::size_t kMaxEntries = 8192;
  using Caches =
      std::unordered_map<const PatternEngine*, std::unordered_map<std::string, std::shared_ptr<const Pattern>>>;
  Caches& caches = ThreadState<Caches>();
  auto& cache = caches[&engine];
  std::string key = static_cast<char>('0' + options) + std::string(text);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  if (cache.size() >= kMaxEntries) cache.clear();
  auto pattern = std::make_shared<const Pattern>(text, options, engine);
  cache.emplace(std::move(key), pattern);
  return pattern;
}

}  // namespace skerry
