#include "analysis/LineScanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "analysis/ParameterScanner.h"
#include "analysis/PatternTable.h"

namespace skerry {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Position of the last c in text, or npos.
std::size_t FindLast(std::string_view text, char c) {
#if defined(__GLIBC__)
  const void* at = memrchr(text.data(), c, text.size());
  return at == nullptr ? std::string_view::npos : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
#else
  return text.rfind(c);
#endif
}

// Letters, digits and "_", the characters of names.
constexpr std::array<bool, 256> kNameChar = [] {
  std::array<bool, 256> name{};
  for (int c = 0; c < 256; ++c) {
    name[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  }
  return name;
}();

bool IsNameChar(char c) { return kNameChar[static_cast<unsigned char>(c)]; }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool EndsWithInlineAnyCase(std::string_view text) {
  if (text.size() < 6) return false;
  static const char kWord[] = "inline";
  for (std::size_t i = 0; i < 6; ++i) {
    char c = text[text.size() - 6 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kWord[i]) return false;
  }
  return true;
}

// Length of the qualifier word the text ends with, or 0. The last letter
// picks the one or two words that can end there.
std::size_t TrailingQualifier(std::string_view text) {
  if (text.empty()) return 0;
  switch (text.back()) {
    case 't':
      return EndsWith(text, "const") ? 5 : 0;
    case 'c':
      return EndsWith(text, "static") ? 6 : 0;
    case 'e':
      if (EndsWith(text, "volatile")) return 8;
      return EndsWithInlineAnyCase(text) ? 6 : 0;
    case 'E':
      return EndsWithInlineAnyCase(text) ? 6 : 0;
    default:
      return 0;
  }
}

// What a character of a line becomes in its statement text: itself, one
// blank (a blank or a backslash) or two blanks (a tab, TabPattern).
enum class Becomes : unsigned char { kItself, kOneBlank, kTwoBlanks };
constexpr std::array<Becomes, 256> kBecomes = [] {
  std::array<Becomes, 256> becomes{};
  becomes[static_cast<unsigned char>(' ')] = Becomes::kOneBlank;
  becomes[static_cast<unsigned char>('\\')] = Becomes::kOneBlank;
  becomes[static_cast<unsigned char>('\t')] = Becomes::kTwoBlanks;
  return becomes;
}();

// The last letters of the qualifier words: TrailingQualifier is 0 for a
// text that ends with any other character.
constexpr std::array<bool, 256> kEndsQualifier = [] {
  std::array<bool, 256> ends{};
  for (char c : {'t', 'c', 'e', 'E'}) ends[static_cast<unsigned char>(c)] = true;
  return ends;
}();

// The length of text[0, size) once the qualifier words that end at its end
// are dropped, one after the other.
std::size_t WithoutTrailingQualifiers(const char* text, std::size_t size) {
  while (std::size_t length = TrailingQualifier(std::string_view(text, size))) size -= length;
  return size;
}

// The statement text becomes one blank followed by rest (a text of its
// own, not a view into the statement).
void RestartStatement(std::string& statement, const std::string& rest) {
  statement.assign(1, ' ');
  statement.append(rest);
}

// Statement texts come from a per-thread pool with one text per nesting
// level of ScanLine (ScanParameterList calls it again while the outer
// statement is in use), so that their storage is reused from line to line
// instead of being allocated for every line.
class PooledText {
 public:
  PooledText() : pool_(ThreadPool()) {
    if (pool_.used == pool_.texts.size()) pool_.texts.push_back(std::make_unique<std::string>());
    text_ = pool_.texts[pool_.used++].get();
  }
  ~PooledText() {
    constexpr std::size_t kKeptCapacity = 1 << 16;  // a rare very long line does not stay allocated
    if (text_->capacity() > kKeptCapacity) std::string().swap(*text_);
    --pool_.used;
  }
  PooledText(const PooledText&) = delete;
  PooledText& operator=(const PooledText&) = delete;
  std::string& operator*() { return *text_; }

 private:
  struct Pool {
    std::vector<std::unique_ptr<std::string>> texts;
    std::size_t used = 0;
  };
  static Pool& ThreadPool() {
    thread_local Pool pool;
    return pool;
  }
  Pool& pool_;
  std::string* text_;
};

void EnterRecord(DeclarationRecord& record, std::string_view name, const std::string& statement, int32_t lineNumber,
                 DeclarationTable& table) {
  record.name.assign(name);  // then DeclaratorSeparatorPattern replaced by nothing:
  if (std::memchr(name.data(), ',', name.size()) != nullptr || std::memchr(name.data(), ';', name.size()) != nullptr) {
    record.name.erase(
        std::remove_if(record.name.begin(), record.name.end(), [](char c) { return c == ',' || c == ';'; }),
        record.name.end());
  }
  // A name made only of separators would be stored empty; a stored name
  // never is, so such a line enters nothing.
  if (record.name.empty()) return;
  record.declarationText = statement;
  record.line = lineNumber;
  table.push_back(std::move(record));
}

// ExternPattern, "(^.*[ ])(extern)([ ].*$)": its "." spans the whole text,
// so a text holding a line terminator never matches; otherwise the greedy
// group 1 takes the rightmost "extern" with a blank on each side. Searched
// by hand because the pattern's backtracking is quadratic in the number of
// such words before a carriage return. Returns the position of the word.
std::size_t FindExternWord(const std::string& statement) {
  if (!Contains(statement, "extern", 1) || HasLineTerminator(statement)) return std::string::npos;
  std::size_t at = statement.size();
  while (at > 0) {
    at = statement.rfind("extern", at - 1);
    if (at == std::string::npos) break;
    if (at > 0 && statement[at - 1] == ' ' && at + 6 < statement.size() && statement[at + 6] == ' ') return at;
  }
  return std::string::npos;
}

}  // namespace

// The leads: "[bB][Oo][Oo][Ll]" (case-insensitive pattern), "[Uu][Ii][Nn][tT]8",
// "[Ss]*[Ii][Nn][tT]8", ..., "[Ff][Ll][Oo][Aa][tT]32" or "[Ff][Ll][Oo][Aa][tT]",
// "[Ff][Ll][Oo][Aa][tT]64" or "[Dd][Oo][Uu][Bb][Ll][Ee]", "void", "typedef".
const TypeTest kTypeChain[12] = {
    {&BoolTypePattern, &DeclarationRecord::isBool, {"bool", {}, false}},
    {&Uint8Pattern, &DeclarationRecord::isUint8, {"uint8", {}, false}},
    {&Sint8Pattern, &DeclarationRecord::isSint8, {"int8", {}, true}},
    {&Uint16Pattern, &DeclarationRecord::isUint16, {"uint16", {}, false}},
    {&Sint16Pattern, &DeclarationRecord::isSint16, {"int16", {}, true}},
    {&Uint32Pattern, &DeclarationRecord::isUint32, {"uint32", {}, false}},
    {&Sint32Pattern, &DeclarationRecord::isSint32, {"int32", {}, true}},
    {&Float32Pattern, &DeclarationRecord::isFloat32, {"float", {}, false}},
    {&Float64Pattern, &DeclarationRecord::isFloat64, {"float64", "double", false}},
    {&UintPattern, &DeclarationRecord::isUint, {"uint", {}, false}},
    {&SintPattern, &DeclarationRecord::isSint, {"int", {}, true}},
    {&VoidPattern, &DeclarationRecord::isVoid, {"void", {}, false}},
};

const TypeTest kTypedefTests[4] = {
    {&TypedefEnumPattern, &DeclarationRecord::isTypedefEnum, {"typedef", {}, false}},
    {&TypedefStructPattern, &DeclarationRecord::isTypedefStruct, {"typedef", {}, false}},
    {&TypedefUnionPattern, &DeclarationRecord::isTypedefUnion, {"typedef", {}, false}},
    {&TypedefPattern, &DeclarationRecord::isTypedef, {"typedef", {}, false}},
};

// "." does not cross a line terminator and the match starts at the start of
// the text, so it lies before the first terminator. There the greedy "^.*"
// takes the rightmost "#define" that has a blank in front of it and, after
// it, blanks followed by a name character; "[ ]+" cannot give a blank back
// to the name, so the name is the whole run of name characters after the
// blanks. Searching from the right finds that place directly, where the
// engine walks back over the text from its end.
std::string_view FindDefineName(std::string_view text) {
  if (!MayHoldDefine(text)) return {};
  for (char terminator : {'\n', '\r'}) {
    const void* at = std::memchr(text.data(), terminator, text.size());
    if (at != nullptr) text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(at) - text.data()));
  }
  for (std::size_t at = text.size(); (at = FindLast(text.substr(0, at), '#')) != std::string_view::npos;) {
    if (at == 0 || text[at - 1] != ' ' || text.substr(at, 7) != "#define") continue;
    std::size_t name = at + 7;
    while (name < text.size() && text[name] == ' ') ++name;
    if (name == at + 7) continue;
    std::size_t end = name;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    if (end > name) return text.substr(name, end - name);
  }
  return {};
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Qualifier removal (QualifierPattern, "(^.*)(const|[@_]*volatile|[@_]*static|
// [@_]*[Ii][Nn][Ll][Ii][Nn][Ee])([ ].*$)", repeated while it matches): each removal drops the rightmost qualifier word
// followed by a blank and keeps the blank; a removal can only make a new qualifier end right before that same blank.
// Building the line left to right and, at every blank, dropping qualifier words that end just before it therefore gives
// the same text in one pass, where the repeated search would be quadratic. A line holding a line terminator never
// matches (QualifierPattern's "." does not cross one, and it spans the whole line), so it is left as it is.
//
// Writes the statement into a buffer sized for the worst case (every
// character a tab) through a plain pointer, which is what makes this loop
// cheap. The steps are those of the preparation in order, done in one pass:
// a tab gives two blanks (TabPattern), a backslash one blank, and at every
// blank the qualifier words that end right before it are dropped as in
// above (the second blank of a tab follows a blank, where no word
// ends). The statement's own first blank cannot be part of a qualifier word.
bool PrepareStatement(std::string_view lineText, std::string& statement) {
  // resize fills only what lies beyond the text's previous length, and the
  // scanner reuses its statement texts, so this costs little.
  statement.resize(2 * lineText.size() + 2);
  char* out = &statement[0];
  std::size_t size = 0;
  out[size++] = ' ';
  if (!IsLineComment(lineText)) {
    const bool removeQualifiers = !HasLineTerminator(lineText);
    for (char c : lineText) {
      const Becomes becomes = kBecomes[static_cast<unsigned char>(c)];
      if (becomes == Becomes::kItself) {
        out[size++] = c;
        continue;
      }
      if (removeQualifiers && kEndsQualifier[static_cast<unsigned char>(out[size - 1])]) {
        size = WithoutTrailingQualifiers(out, size);
      }
      out[size++] = ' ';
      if (becomes == Becomes::kTwoBlanks) out[size++] = ' ';
    }
  }
  // Trimming: the prepared line starts after the statement's first blank.
  std::size_t begin = 1;
  std::size_t end = size;
  while (begin < end && IsBlank(out[begin])) ++begin;
  if (begin == end) return false;
  while (IsBlank(out[end - 1])) --end;
  if (begin > 1) std::memmove(out + 1, out + begin, end - begin);
  size = 1 + end - begin;
  out[size++] = ' ';
  statement.resize(size);
  return true;
}

// The first letters of the leads of the type chain, in both cases, and "s"
// and "S" for leads after a run of them.
const std::array<bool, 256>& LeadFirstLetters() {
  static const std::array<bool, 256> kFirst = [] {
    std::array<bool, 256> first{};
    auto mark = [&first](char c) {
      first[static_cast<unsigned char>(c)] = true;
      first[static_cast<unsigned char>(c - 'a' + 'A')] = true;
    };
    for (const TypeTest& test : kTypeChain) {
      if (!test.lead.lead.empty()) mark(test.lead.lead[0]);
      if (!test.lead.otherLead.empty()) mark(test.lead.otherLead[0]);
      if (test.lead.skipS) mark('s');
    }
    return first;
  }();
  return kFirst;
}

// Whether word fits the lead of at least one test of the type chain. Most
// words are ruled out by their first character alone, which is looked at
// first.
//
// A lead that begins with another lead of the same kind (with or without the
// run of "s") adds nothing to the answer: "uint8", "uint16" and "uint32"
// fit only where "uint" does, "int8" to "int32" only where "int" does,
// "float64" only where "float" does. Only the shortest leads are tried.
bool FitsAnyTypeChainLead(std::string_view word) {
  static const std::vector<TypeWordLead> kShortestLeads = [] {
    std::vector<TypeWordLead> all;
    for (const TypeTest& test : kTypeChain) {
      for (std::string_view lead : {test.lead.lead, test.lead.otherLead}) {
        if (!lead.empty()) all.push_back({lead, {}, test.lead.skipS});
      }
    }
    std::vector<TypeWordLead> shortest;
    for (const TypeWordLead& lead : all) {
      const bool covered = std::any_of(all.begin(), all.end(), [&lead](const TypeWordLead& other) {
        return other.skipS == lead.skipS && other.lead.size() < lead.lead.size() &&
               lead.lead.substr(0, other.lead.size()) == other.lead;
      });
      if (!covered) shortest.push_back(lead);
    }
    return shortest;
  }();
  if (word.empty() || !LeadFirstLetters()[static_cast<unsigned char>(word[0])]) return false;
  for (const TypeWordLead& lead : kShortestLeads) {
    if (TypeWordMayFit(word, lead)) return true;
  }
  return false;
}

// Whether a word beginning with c can fit a lead of the type chain or be
// passed over in front of the type word: the first letters of the leads,
// those of the qualifier words (c, v, s, i, I) and of "extern".
bool MayBeginTypeWord(char c) {
  static const std::array<bool, 256> kBegins = [] {
    std::array<bool, 256> begins = LeadFirstLetters();
    for (char letter : {'c', 'v', 's', 'i', 'I', 'e'}) begins[static_cast<unsigned char>(letter)] = true;
    return begins;
  }();
  return kBegins[static_cast<unsigned char>(c)];
}

// In the declaration pass a line has an effect only through a macro match,
// a match of the type chain, a user-type match or a typedef match: without
// one of them no name is taken (the rest text stays empty, so no declarator
// is looked for) and nothing is entered or lowered. The preparation turns
// tabs and backslashes into blanks, drops qualifier words that end right
// before a blank and trims; the extern test then cuts out one word
// "extern". Hence, for a line without a line terminator (such a line takes
// the full path):
//   - "#define" and "typedef" stand in the statement only if they stand in
//     the line, as every pair of characters the preparation brings together
//     holds a blank;
//   - the statement's type word begins the first word of the line (words
//     being split at blanks, tabs and backslashes, white space at their
//     start skipped) that is neither made of qualifier words only nor
//     "extern" once the qualifier words at its end are dropped, unless the
//     type word is one of those, which fit no lead; a prepared word is the
//     line's word or a beginning of it, so the line's word fits every lead
//     the prepared one fits;
//   - every run of name characters that Find looks up in the statement is a
//     run of the line, or such a run without the qualifier words at its end.
bool MayDeclare(std::string_view line, const UserTypeList& userTypes, const LineFacts& facts) {
  if (IsLineComment(line)) return false;  // prepared empty
  if ((facts.mayHoldLineTerminator && HasLineTerminator(line)) || Contains(line, "#define", 0) ||
      (facts.mayHoldTypedef && Contains(line, "typedef", 1))) {
    return true;
  }

  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (IsBlank(line[i]) || line[i] == '\\')) ++i;
    if (i == line.size() || !MayBeginTypeWord(line[i])) break;  // most lines end here
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\\') ++i;
    const std::string_view word = line.substr(start, i - start);
    if (word.empty()) break;
    const std::string_view kept = word.substr(0, WithoutTrailingQualifiers(word.data(), word.size()));
    if (kept.empty() || kept == "extern") continue;
    if (FitsAnyTypeChainLead(word)) return true;
    break;
  }

  switch (userTypes.FindReach()) {
    case UserTypeList::Reach::kNothing:
      return false;
    case UserTypeList::Reach::kAnything:
      return true;
    case UserTypeList::Reach::kPlainNames:
      break;
  }
  for (std::size_t at = 0; at < line.size();) {
    if (!IsNameChar(line[at])) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < line.size() && IsNameChar(line[at])) ++at;
    const std::string_view run = line.substr(start, at - start);
    if (userTypes.HasPlainName(run)) return true;
    const std::size_t kept = WithoutTrailingQualifiers(run.data(), run.size());
    if (kept > 0 && kept < run.size() && userTypes.HasPlainName(run.substr(0, kept))) return true;
  }
  return false;
}

void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine) {
  ScanLine(lineText, lineNumber, table, userTypes, typePass, firstFunctionLine, LineFacts{});
}

void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine, const LineFacts& facts) {
  // In the type pass only a typedef test can lead to an effect: a macro
  // line enters nothing there, and without a typedef match the rest text
  // stays empty, so no declarator is looked for. Every typedef pattern needs
  // the word "typedef", which the preparation below cannot create (it turns
  // tabs and backslashes into blanks and cuts out words that a blank
  // follows, so every pair of characters it brings together holds a blank).
  // A line without that word therefore changes nothing in the type pass.
  // The declaration pass has its own test (MayDeclare).
  if (kCheapTests && (typePass ? !Contains(lineText, "typedef", 1) : !MayDeclare(lineText, userTypes, facts))) return;
  ScanLineFully(lineText, lineNumber, table, userTypes, typePass, firstFunctionLine);
}

void ScanLineFully(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
                   bool typePass, int32_t& firstFunctionLine) {
  PooledText pooledStatement;
  std::string& statement = *pooledStatement;
  if (!PrepareStatement(lineText, statement)) return;

  DeclarationRecord record;
  MatchGroups groups;
  std::string name;

  // Macro test: nothing else is tested on a macro line.
  const std::string_view macroName = FindDefineName(statement);
  if (!macroName.empty()) {
    name.assign(macroName);
    record.isDefine = true;
    record.isDeclaration = true;
  } else {
    // Extern test: the word is cut out, the blanks on both sides stay.
    std::size_t externWord = FindExternWord(statement);
    if (externWord != std::string::npos) {
      statement.erase(externWord, 6);
      record.isExtern = true;
    }

    std::string typeText;
    std::string rest;

    if (!typePass) {
      bool found = false;
      const std::string_view typeWord = TypeWord(statement);
      for (const TypeTest& test : kTypeChain) {
        if ((!kCheapTests || TypeWordMayFit(typeWord, test.lead)) && test.pattern->Search(statement, groups)) {
          record.*test.flag = true;
          typeText.assign(groups[1]);
          rest.assign(TrimBlanks(groups[2]));
          found = true;
          break;
        }
      }
      if (!found && !userTypes.empty()) {
        std::string_view typeGroup;
        std::string_view restGroup;
        if (userTypes.Find(statement, typeGroup, restGroup)) {
          record.isUserType = true;
          typeText.assign(TrimBlanks(typeGroup));
          record.typeName = typeText;
          rest.assign(TrimBlanks(restGroup));
          found = true;
        }
      }
      if (found) RestartStatement(statement, rest);
    }

    const std::string_view typedefWord = TypeWord(statement);
    for (std::size_t i = 0; i < 4; ++i) {
      const TypeTest& test = kTypedefTests[i];
      if ((kCheapTests && !TypeWordMayFit(typedefWord, test.lead)) || !test.pattern->Search(statement, groups))
        continue;
      record.*test.flag = true;
      typeText.assign(groups[1]);
      std::string restText(TrimBlanks(groups[2]));
      if (i < 3) {
        MatchGroups nameGroups;
        if (TypedefNamePattern.Search(statement, nameGroups)) record.typeName.assign(TrimBlanks(nameGroups[1]));
      }
      rest.swap(restText);
      RestartStatement(statement, rest);
      break;
    }

    if (!typeText.empty() && PointerBasePattern.Search(typeText)) record.isPointer = true;

    if (!rest.empty()) {
      if (ArrayDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          record.isArray = true;
          record.isDeclaration = true;
        }
      } else if (FunctionDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          if (lineNumber < firstFunctionLine) firstFunctionLine = lineNumber;
          record.isFunction = true;
          record.isDeclaration = true;
          if (!typePass) ScanParameterList(groups[2], table, userTypes, lineNumber, firstFunctionLine);
        }
      } else if (PlainDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          record.isVariable = true;
          record.isDeclaration = true;
        }
      }
    }
  }

  // Entering.
  std::string_view trimmedName = TrimBlanks(name);
  if (trimmedName.empty() || !record.isDeclaration) return;
  bool compoundTypedef = record.isTypedefEnum || record.isTypedefStruct || record.isTypedefUnion;
  if (typePass) {
    if (compoundTypedef) {
      userTypes.Append(record.typeName);
      EnterRecord(record, trimmedName, statement, lineNumber, table);
    } else if (record.isTypedef) {
      userTypes.Append(trimmedName);
    }
  } else if (!compoundTypedef) {
    EnterRecord(record, trimmedName, statement, lineNumber, table);
  }
}

}  // namespace skerry
