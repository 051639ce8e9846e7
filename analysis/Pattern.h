// One regular expression as the checker uses it: ECMAScript meaning, applied
// with exactly three operations (whole match, search with groups, replace-all
// with a "$n" format), run by an engine behind the PatternEngine interface.
//
// The checker's engine is PCRE2 (8-bit, JIT). It is set up so that every
// fixed pattern of the checker gives the results that std::regex gives in
// ECMAScript mode (the reference engine of the tests,
// tests/reference/StdRegexEngine.h; tests/reference/PatternConformanceTest.cpp
// compares the two):
//   - PCRE2_DOLLAR_ENDONLY: "$" matches only at the very end of the text;
//   - PCRE2_ALLOW_EMPTY_CLASS: "[]" is an empty class, as in ECMAScript;
//   - PCRE2_NEVER_UTF | PCRE2_NEVER_UCP: the text is bytes, case folding is
//     ASCII only (the "C" locale tables), as std::regex in the classic locale;
//   - newline convention ANYCRLF: "." matches neither line feed nor carriage
//     return, as ECMAScript's "." excludes both line terminators;
//   - whole match uses a second compiled form with PCRE2_ANCHORED |
//     PCRE2_ENDANCHORED, so backtracking looks for a match of the entire text
//     exactly as std::regex_match does.
// Residual differences exist only for run-time patterns whose embedded text
// holds unusual quantifier runs: "a**" compiles in std::regex but not in
// PCRE2, and "a++", "a*+", "a?+" are possessive quantifiers in PCRE2 where
// std::regex rejects them. No fixed pattern and no C identifier is affected.
//
// A text that does not compile gives an object that reports !Valid() and
// never matches. A match that ends in an engine error (match limit, JIT stack
// exhausted) counts as no match; SearchOutcome tells it apart for the callers
// that must treat an error differently from a plain miss.
//
// Compiled patterns are immutable and may be shared between threads; the
// per-call match state is kept per thread.
#ifndef SKERRY_ANALYSIS_PATTERN_H
#define SKERRY_ANALYSIS_PATTERN_H

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skerry {

// The groups of one successful search. Group n is a view into the searched
// text; a group that took no part in the match is the empty text. The views
// stay valid as long as the searched text is neither changed nor destroyed.
class MatchGroups {
 public:
  std::string_view operator[](std::size_t n) const { return n < count_ ? At(n).text : std::string_view(); }
  std::size_t size() const { return count_; }
  // Whether group n took part in the match (an empty group may have).
  bool Participated(std::size_t n) const { return n < count_ && At(n).taken; }

  // For engines: the number of groups, then each group of a match.
  void Resize(std::size_t count) {
    count_ = count;
    if (count > kInPlace) more_.resize(count - kInPlace);
  }
  void Set(std::size_t n, bool taken, std::string_view text) {
    Group& group = n < kInPlace ? inPlace_[n] : more_[n - kInPlace];
    group.taken = taken;
    group.text = text;
  }

 private:
  struct Group {
    std::string_view text;
    bool taken = false;
  };
  // The groups of the fixed patterns fit in place; only a run-time pattern
  // with more groups needs memory of its own.
  static constexpr std::size_t kInPlace = 8;
  const Group& At(std::size_t n) const { return n < kInPlace ? inPlace_[n] : more_[n - kInPlace]; }

  std::array<Group, kInPlace> inPlace_{};
  std::vector<Group> more_;
  std::size_t count_ = 0;
};

enum class SearchOutcome { Match, NoMatch, EngineError };

// A regular-expression engine: compiles a text into a form that runs the
// three operations. Engines are stateless and live for the whole run.
class PatternEngine {
 public:
  enum Options : unsigned { kNone = 0, kIgnoreCase = 1 };

  // One compiled text; immutable, shareable between threads.
  class Compiled {
   public:
    virtual ~Compiled() = default;
    virtual std::size_t GroupCount() const = 0;
    virtual bool WholeMatch(std::string_view text) const = 0;
    // groups may be null when only the outcome is wanted.
    virtual SearchOutcome Search(std::string_view text, MatchGroups* groups) const = 0;
    virtual std::string ReplaceAll(std::string_view text, std::string_view format) const = 0;
  };

  virtual ~PatternEngine() = default;
  // The compiled text, or null when it does not compile. Never throws.
  virtual std::unique_ptr<const Compiled> Compile(std::string_view text, unsigned options) const = 0;

  // PCRE2 with JIT.
  static const PatternEngine& Pcre2();
  // The checker's engine: PCRE2 unless UseAsProduct chose another.
  static const PatternEngine& Product();
  // Makes engine the one Product() gives from now on: the seam through which
  // a program built for comparison runs every pattern of the checker on
  // another engine. Call it before any pattern is compiled; engine must
  // outlive the run.
  static void UseAsProduct(const PatternEngine& engine);
};

class Pattern {
 public:
  enum Options : unsigned { kNone = PatternEngine::kNone, kIgnoreCase = PatternEngine::kIgnoreCase };

  explicit Pattern(std::string_view text, unsigned options = kNone,
                   const PatternEngine& engine = PatternEngine::Product());
  ~Pattern();
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;

  bool Valid() const { return compiled_ != nullptr; }
  const std::string& Text() const { return text_; }
  // Number of capturing groups (0 for an invalid pattern).
  std::size_t GroupCount() const { return compiled_ ? compiled_->GroupCount() : 0; }

  // True when the entire text matches.
  bool WholeMatch(std::string_view text) const { return compiled_ && compiled_->WholeMatch(text); }
  // True when the pattern matches anywhere in the text; the groups of the
  // leftmost match are stored in groups (of no use on failure).
  bool Search(std::string_view text, MatchGroups& groups) const {
    return SearchDetailed(text, groups) == SearchOutcome::Match;
  }
  bool Search(std::string_view text) const {
    return compiled_ && compiled_->Search(text, nullptr) == SearchOutcome::Match;
  }
  SearchOutcome SearchDetailed(std::string_view text, MatchGroups& groups) const {
    return compiled_ ? compiled_->Search(text, &groups) : SearchOutcome::NoMatch;
  }
  // Every non-overlapping match, left to right, replaced by format, in which
  // "$n" / "$nn" stand for group n, "$&" for the whole match and "$$" for
  // "$". Text outside the matches is copied unchanged.
  std::string ReplaceAll(std::string_view text, std::string_view format) const {
    return compiled_ ? compiled_->ReplaceAll(text, format) : std::string(text);
  }

  // A compiled pattern for a text built at run time, cached by its text,
  // options and engine so that the same text is compiled once per thread.
  static std::shared_ptr<const Pattern> Cached(std::string_view text, unsigned options = kNone,
                                               const PatternEngine& engine = PatternEngine::Product());

 private:
  std::string text_;
  std::unique_ptr<const PatternEngine::Compiled> compiled_;
};

}  // namespace skerry

#endif
