// The PCRE2 engine of the pattern facade (see Pattern.h for the set-up and why).
#define PCRE2_CODE_UNIT_WIDTH 8
#include "analysis/Pattern.h"

#include <pcre2.h>

#include <atomic>
#include <cstdint>

#include "analysis/ThreadState.h"

namespace skerry {

namespace {

constexpr uint32_t kBaseOptions = PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;

// The match limit of one search grows with the length of the text: the
// fixed patterns backtrack at most a few steps per character (a greedy "^.*"
// walking back over a line of millions of characters), so they always get
// their definite answer, while a run-time pattern built from a type name
// full of quantifiers ("a*a*a*a*a*") cannot hold the run for minutes on one
// line: it reaches the limit within milliseconds and that search counts as
// no match.
uint32_t MatchLimit(std::size_t length) {
  constexpr uint64_t kBase = 1000000;
  constexpr uint64_t kPerCharacter = 16;
  uint64_t limit = kBase + kPerCharacter * static_cast<uint64_t>(length);
  return limit > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(limit);
}

// Per-thread match state: match data grown to the largest group count seen,
// and one match context with a JIT stack that long lines cannot exhaust.
class ThreadMatchState {
 public:
  ThreadMatchState() {
    context_ = pcre2_match_context_create(nullptr);
    jitStack_ = pcre2_jit_stack_create(32 * 1024, 64 * 1024 * 1024, nullptr);
    if (context_ != nullptr && jitStack_ != nullptr) pcre2_jit_stack_assign(context_, nullptr, jitStack_);
  }
  ~ThreadMatchState() {
    if (data_ != nullptr) pcre2_match_data_free(data_);
    if (context_ != nullptr) pcre2_match_context_free(context_);
    if (jitStack_ != nullptr) pcre2_jit_stack_free(jitStack_);
  }
  ThreadMatchState(const ThreadMatchState&) = delete;
  ThreadMatchState& operator=(const ThreadMatchState&) = delete;

  pcre2_match_data* Data(std::size_t pairs) {
    if (data_ == nullptr || capacity_ < pairs) {
      if (data_ != nullptr) pcre2_match_data_free(data_);
      capacity_ = pairs < 16 ? 16 : pairs;
      data_ = pcre2_match_data_create(static_cast<uint32_t>(capacity_), nullptr);
    }
    return data_;
  }
  pcre2_match_context* Context() { return context_; }

 private:
  pcre2_match_data* data_ = nullptr;
  std::size_t capacity_ = 0;
  pcre2_match_context* context_ = nullptr;
  pcre2_jit_stack* jitStack_ = nullptr;
};

ThreadMatchState& MatchState() { return ThreadState<ThreadMatchState>(); }

pcre2_code* CompileForm(std::string_view text, uint32_t options) {
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) return nullptr;
  pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), options, &error, &offset, context);
  pcre2_compile_context_free(context);
  if (code != nullptr) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // falls back to the interpreter on failure
  return code;
}

// Whether the JIT compiler took code.
bool IsJitCompiled(const pcre2_code* code) {
  std::size_t size = 0;
  return pcre2_pattern_info(code, PCRE2_INFO_JITSIZE, &size) == 0 && size > 0;
}

// One text compiled twice: for searches and, anchored at both ends, for
// whole matches.
class Pcre2Compiled final : public PatternEngine::Compiled {
 public:
  Pcre2Compiled(pcre2_code* search, pcre2_code* whole)
      : search_(search), whole_(whole), searchJit_(IsJitCompiled(search)), wholeJit_(IsJitCompiled(whole)) {
    uint32_t count = 0;
    pcre2_pattern_info(search_, PCRE2_INFO_CAPTURECOUNT, &count);
    groupCount_ = count;
  }
  ~Pcre2Compiled() override {
    pcre2_code_free(search_);
    pcre2_code_free(whole_);
  }
  Pcre2Compiled(const Pcre2Compiled&) = delete;
  Pcre2Compiled& operator=(const Pcre2Compiled&) = delete;

  std::size_t GroupCount() const override { return groupCount_; }

  bool WholeMatch(std::string_view text) const override {
    return Run(whole_, wholeJit_, text, 0, 0, MatchState().Data(groupCount_ + 1)) >= 0;
  }

  SearchOutcome Search(std::string_view text, MatchGroups* groups) const override {
    pcre2_match_data* data = MatchState().Data(groupCount_ + 1);
    const int rc = Run(search_, searchJit_, text, 0, 0, data);
    if (rc == PCRE2_ERROR_NOMATCH) return SearchOutcome::NoMatch;
    if (rc < 0) return SearchOutcome::EngineError;
    if (groups == nullptr) return SearchOutcome::Match;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    groups->Resize(groupCount_ + 1);
    for (std::size_t i = 0; i <= groupCount_; ++i) {
      const bool taken = static_cast<int>(i) < rc && ovector[2 * i] != PCRE2_UNSET;
      groups->Set(i, taken,
                  taken ? text.substr(ovector[2 * i], ovector[2 * i + 1] - ovector[2 * i]) : std::string_view());
    }
    return SearchOutcome::Match;
  }

  std::string ReplaceAll(std::string_view text, std::string_view format) const override;

 private:
  // Runs one match; returns the rc of pcre2_match. A JIT-compiled form is
  // run through the JIT's own entry, which gives the same results without
  // pcre2_match's checks of its arguments; a match-time option it does not
  // support (PCRE2_ANCHORED) goes through pcre2_match, which then uses the
  // interpreter.
  static int Run(const pcre2_code* code, bool jit, std::string_view text, std::size_t start, uint32_t options,
                 pcre2_match_data* data) {
    pcre2_match_context* context = MatchState().Context();
    if (context != nullptr) pcre2_set_match_limit(context, MatchLimit(text.size()));
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    if (jit && (options & PCRE2_ANCHORED) == 0) {
      return pcre2_jit_match(code, subject, text.size(), start, options, data, context);
    }
    return pcre2_match(code, subject, text.size(), start, options, data, context);
  }

  pcre2_code* search_;
  pcre2_code* whole_;
  bool searchJit_;
  bool wholeJit_;
  std::size_t groupCount_ = 0;
};

std::string Pcre2Compiled::ReplaceAll(std::string_view text, std::string_view format) const {
  std::string out;
  out.reserve(text.size());
  pcre2_match_data* data = MatchState().Data(groupCount_ + 1);
  std::size_t pos = 0;     // where the next search starts
  std::size_t copied = 0;  // text before this offset is already in out
  bool lastEmpty = false;  // the previous match was empty and ended at pos
  while (pos <= text.size()) {
    uint32_t options = lastEmpty ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0u;
    int rc = Run(search_, searchJit_, text, pos, options, data);
    if (rc < 0) {
      if (rc != PCRE2_ERROR_NOMATCH || !lastEmpty) break;  // no further match (an engine error ends it too)
      // No non-empty match at an empty match's end: step over one character.
      lastEmpty = false;
      ++pos;
      continue;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    std::size_t begin = ovector[0];
    std::size_t end = ovector[1];
    out.append(text.substr(copied, begin - copied));
    for (std::size_t i = 0; i < format.size(); ++i) {
      char c = format[i];
      if (c != '$' || i + 1 >= format.size()) {
        out.push_back(c);
        continue;
      }
      char next = format[i + 1];
      if (next == '$') {
        out.push_back('$');
        ++i;
      } else if (next == '&') {
        out.append(text.substr(begin, end - begin));
        ++i;
      } else if (next >= '0' && next <= '9') {
        std::size_t number = static_cast<std::size_t>(next - '0');
        ++i;
        if (i + 1 < format.size() && format[i + 1] >= '0' && format[i + 1] <= '9') {
          number = number * 10 + static_cast<std::size_t>(format[i + 1] - '0');
          ++i;
        }
        if (number <= groupCount_ && static_cast<int>(number) < rc && ovector[2 * number] != PCRE2_UNSET) {
          out.append(text.substr(ovector[2 * number], ovector[2 * number + 1] - ovector[2 * number]));
        }
      } else {
        out.push_back(c);
      }
    }
    copied = end;
    lastEmpty = begin == end;
    pos = end;
  }
  out.append(text.substr(copied));
  return out;
}

class Pcre2Engine final : public PatternEngine {
 public:
  std::unique_ptr<const Compiled> Compile(std::string_view text, unsigned options) const override {
    const uint32_t flags = kBaseOptions | ((options & kIgnoreCase) != 0 ? PCRE2_CASELESS : 0u);
    pcre2_code* search = CompileForm(text, flags);
    if (search == nullptr) return nullptr;
    pcre2_code* whole = CompileForm(text, flags | PCRE2_ANCHORED | PCRE2_ENDANCHORED);
    if (whole == nullptr) {
      pcre2_code_free(search);
      return nullptr;
    }
    return std::make_unique<Pcre2Compiled>(search, whole);
  }
};

}  // namespace

const PatternEngine& PatternEngine::Pcre2() {
  static const Pcre2Engine engine;
  return engine;
}

Pattern::Pattern(std::string_view text, unsigned options, const PatternEngine& engine)
    : text_(text), compiled_(engine.Compile(text, options)) {}

Pattern::~Pattern() = default;

}  // namespace skerry

namespace skerry {

namespace {

std::atomic<const PatternEngine*> chosenProduct{nullptr};

}  // namespace

const PatternEngine& PatternEngine::Product() {
  const PatternEngine* chosen = chosenProduct.load(std::memory_order_acquire);
  return chosen != nullptr ? *chosen : Pcre2();
}

void PatternEngine::UseAsProduct(const PatternEngine& engine) {
  chosenProduct.store(&engine, std::memory_order_release);
}

}  // namespace skerry
