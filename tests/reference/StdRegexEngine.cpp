// The patterns are compiled in the classic locale, whatever the global
// locale is, so that case folding stays ASCII-only.
#include "tests/reference/StdRegexEngine.h"

#include <iterator>
#include <locale>
#include <regex>

#include "analysis/ThreadState.h"

namespace skerry {

namespace {

// The match results of the current thread, reused by every search so that
// the group vector is not allocated anew on each call.
std::cmatch& ThreadResults() { return ThreadState<std::cmatch>(); }

const char* Begin(std::string_view text) { return text.data(); }
const char* End(std::string_view text) { return text.data() + text.size(); }

class StdRegexCompiled final : public PatternEngine::Compiled {
 public:
  explicit StdRegexCompiled(std::regex regex) : regex_(std::move(regex)) {}

  std::size_t GroupCount() const override { return regex_.mark_count(); }

  bool WholeMatch(std::string_view text) const override {
    try {
      return std::regex_match(Begin(text), End(text), ThreadResults(), regex_);
    } catch (const std::regex_error&) {
      return false;  // complexity or stack limit of the engine: no match
    }
  }

  SearchOutcome Search(std::string_view text, MatchGroups* groups) const override {
    std::cmatch& results = ThreadResults();
    try {
      if (!std::regex_search(Begin(text), End(text), results, regex_)) return SearchOutcome::NoMatch;
    } catch (const std::regex_error&) {
      return SearchOutcome::EngineError;
    }
    if (groups == nullptr) return SearchOutcome::Match;
    const std::size_t count = GroupCount();
    groups->Resize(count + 1);
    for (std::size_t i = 0; i <= count; ++i) {
      const std::csub_match& group = results[i];
      groups->Set(i, group.matched,
                  group.matched ? text.substr(static_cast<std::size_t>(group.first - Begin(text)),
                                              static_cast<std::size_t>(group.length()))
                                : std::string_view());
    }
    return SearchOutcome::Match;
  }

  std::string ReplaceAll(std::string_view text, std::string_view format) const override {
    std::string out;
    out.reserve(text.size());
    const char* copied = Begin(text);  // text before this point is already in out
    // The iteration of std::regex_replace, spelt out so that an engine error
    // keeps the replacements made so far and copies the rest unchanged.
    try {
      for (std::cregex_iterator match(Begin(text), End(text), regex_), last; match != last; ++match) {
        out.append(copied, (*match)[0].first);
        match->format(std::back_inserter(out), Begin(format), End(format));
        copied = (*match)[0].second;
      }
    } catch (const std::regex_error&) {
    }
    out.append(copied, End(text));
    return out;
  }

 private:
  std::regex regex_;
};

class StdRegexEngineImpl final : public PatternEngine {
 public:
  std::unique_ptr<const Compiled> Compile(std::string_view text, unsigned options) const override {
    std::regex::flag_type flags = std::regex::ECMAScript;
    if ((options & kIgnoreCase) != 0) flags |= std::regex::icase;
    std::regex regex;
    try {
      regex.imbue(std::locale::classic());
      regex.assign(Begin(text), End(text), flags);
    } catch (const std::regex_error&) {
      return nullptr;
    }
    return std::make_unique<StdRegexCompiled>(std::move(regex));
  }
};

}  // namespace

const PatternEngine& StdRegexEngine() {
  static const StdRegexEngineImpl engine;
  return engine;
}

}  // namespace skerry
