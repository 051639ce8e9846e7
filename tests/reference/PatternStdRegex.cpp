// std::regex engine of the pattern facade, built instead of the PCRE2 one
// with -DSKERRY_REGEX=std. It is the reference against which the PCRE2
// engine is measured and its output checked: the standard ECMAScript grammar
// is what the checker's patterns are written for, so this engine needs no
// option beyond case-insensitive matching.
//
// The patterns are compiled in the classic locale, whatever the global
// locale is, so that case folding stays ASCII-only. The library's matcher
// recurses once per character of some repeats and so exhausts the stack on
// lines of a few tens of thousands of characters; lines that long are not
// met in C sources and are left to the PCRE2 engine.
#include <iterator>
#include <locale>
#include <regex>

#include "analysis/Pattern.h"

namespace skerry {

namespace {

// The match results of the current thread, reused by every search so that
// the group vector is not allocated anew on each call.
std::cmatch& ThreadResults() {
  thread_local std::cmatch results;
  return results;
}

const char* Begin(std::string_view text) { return text.data(); }
const char* End(std::string_view text) { return text.data() + text.size(); }

}  // namespace

struct Pattern::Engine {
  std::regex regex;
};

Pattern::Pattern(std::string_view text, unsigned options) : text_(text) {
  std::regex::flag_type flags = std::regex::ECMAScript;
  if ((options & kIgnoreCase) != 0) flags |= std::regex::icase;
  auto engine = std::make_unique<Engine>();
  try {
    engine->regex.imbue(std::locale::classic());
    engine->regex.assign(Begin(text), End(text), flags);
  } catch (const std::regex_error&) {
    return;
  }
  groupCount_ = engine->regex.mark_count();
  engine_ = std::move(engine);
  valid_ = true;
}

Pattern::~Pattern() = default;

bool Pattern::WholeMatch(std::string_view text) const {
  if (!valid_) return false;
  try {
    return std::regex_match(Begin(text), End(text), ThreadResults(), engine_->regex);
  } catch (const std::regex_error&) {
    return false;  // complexity or stack limit of the engine: no match
  }
}

SearchOutcome Pattern::SearchDetailed(std::string_view text, MatchGroups& groups) const {
  if (!valid_) return SearchOutcome::NoMatch;
  std::cmatch& results = ThreadResults();
  try {
    if (!std::regex_search(Begin(text), End(text), results, engine_->regex)) return SearchOutcome::NoMatch;
  } catch (const std::regex_error&) {
    return SearchOutcome::EngineError;
  }
  groups.Resize(groupCount_ + 1);
  for (std::size_t i = 0; i <= groupCount_; ++i) {
    const std::csub_match& group = results[i];
    groups.Set(i, group.matched,
               group.matched ? text.substr(static_cast<std::size_t>(group.first - Begin(text)),
                                           static_cast<std::size_t>(group.length()))
                             : std::string_view());
  }
  return SearchOutcome::Match;
}

bool Pattern::Search(std::string_view text, MatchGroups& groups) const {
  return SearchDetailed(text, groups) == SearchOutcome::Match;
}

bool Pattern::Search(std::string_view text) const {
  if (!valid_) return false;
  try {
    return std::regex_search(Begin(text), End(text), ThreadResults(), engine_->regex);
  } catch (const std::regex_error&) {
    return false;
  }
}

std::string Pattern::ReplaceAll(std::string_view text, std::string_view format) const {
  if (!valid_) return std::string(text);
  std::string out;
  out.reserve(text.size());
  const char* copied = Begin(text);  // text before this point is already in out
  // The iteration of std::regex_replace, spelt out so that an engine error
  // keeps the replacements made so far and copies the rest unchanged.
  try {
    for (std::cregex_iterator match(Begin(text), End(text), engine_->regex), last; match != last; ++match) {
      out.append(copied, (*match)[0].first);
      match->format(std::back_inserter(out), Begin(format), End(format));
      copied = (*match)[0].second;
    }
  } catch (const std::regex_error&) {
  }
  out.append(copied, End(text));
  return out;
}

}  // namespace skerry
