// Helpers shared by the tests of the analysis: a compact text form of a
// declaration record, records built from that form, and lines and files run
// through the file scanner.
#ifndef SKERRY_TESTS_ANALYSIS_TEST_SUPPORT_H
#define SKERRY_TESTS_ANALYSIS_TEST_SUPPORT_H

#include <cstdint>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "analysis/DeclarationKinds.h"
#include "analysis/DeclarationRecord.h"
#include "analysis/LineScanner.h"
#include "analysis/UserTypeList.h"

namespace skerry::test {

// A stable copy of text for the whole test run: records and scanned lines
// are views.
inline std::string_view Interned(std::string_view text) {
  static std::unordered_set<std::string> store;
  return *store.emplace(text).first;
}

// The words of a record's kinds and flags, in this order: Extern, Pointer,
// the base type ("Uint8", "UserType"), the typedef kind ("TypedefEnum",
// "Typedef"), the declarator ("Define", "Array", "Function", "Variable"),
// and FileScope.
inline const char* const kDeclaratorWords[] = {"", "Define", "Array", "Function", "Variable"};

// "name|line|Words|typeName|declarationText" of a record with these texts.
// The short form writes "!FileScope" when the flag is cleared and nothing
// while it is set; the full form "FileScope" while it is set.
inline std::string Describe(const DeclarationRecord& record, std::string_view typeName,
                            std::string_view declarationText, bool full = false) {
  std::vector<std::string_view> words;
  if (record.isExtern) words.push_back("Extern");
  if (record.isPointer) words.push_back("Pointer");
  if (record.baseType == BaseType::kUserType) words.push_back("UserType");
  if (const BaseTypeEntry* entry = EntryOf(record.baseType)) words.push_back(entry->name);
  if (const TypedefKindEntry* entry = EntryOf(record.typedefKind)) words.push_back(entry->name);
  if (record.declarator != DeclaratorKind::kNone)
    words.push_back(kDeclaratorWords[static_cast<int>(record.declarator)]);
  if (full && record.isFileScope) words.push_back("FileScope");
  if (!full && !record.isFileScope) words.push_back("!FileScope");
  std::string text = std::string(record.name) + "|" + std::to_string(record.line) + "|";
  for (std::size_t i = 0; i < words.size(); ++i) text.append(i == 0 ? "" : " ").append(words[i]);
  return text + "|" + std::string(typeName) + "|" + std::string(declarationText);
}

// A record of table with the texts the table holds for it.
inline std::string Describe(const DeclarationTable& table, const DeclarationRecord& record, bool full = false) {
  return Describe(record, table.TypeName(record), table.DeclarationText(record), full);
}

inline std::vector<std::string> DescribeAll(const DeclarationTable& table, bool full = false) {
  std::vector<std::string> out;
  for (const DeclarationRecord& record : table) out.push_back(Describe(table, record, full));
  return out;
}

// A record and the texts to enter it with.
struct TestRecord {
  DeclarationRecord record;
  std::string_view typeName;
  std::string_view declarationText;
};

// A record with the given fields; words as Describe writes them, in any
// order (isFileScope stays true).
inline TestRecord MakeRecord(const std::string& name, int32_t line, const std::string& words,
                             const std::string& typeName = "", const std::string& declarationText = "") {
  DeclarationRecord record;
  record.name = Interned(name);
  record.line = line;
  std::istringstream stream(words);
  std::string word;
  while (stream >> word) {
    bool known = true;
    if (word == "Extern") {
      record.isExtern = true;
    } else if (word == "Pointer") {
      record.isPointer = true;
    } else if (word == "UserType") {
      record.baseType = BaseType::kUserType;
    } else {
      known = false;
      for (const BaseTypeEntry& entry : kBaseTypes) {
        if (word == entry.name) record.baseType = entry.type, known = true;
      }
      for (const TypedefKindEntry& entry : kTypedefKinds) {
        if (word == entry.name) record.typedefKind = entry.kind, known = true;
      }
      for (int kind = 1; kind < 5; ++kind) {
        if (word == kDeclaratorWords[kind]) record.declarator = static_cast<DeclaratorKind>(kind), known = true;
      }
    }
    if (!known) throw std::invalid_argument("unknown word " + word);
  }
  return {record, Interned(typeName), Interned(declarationText)};
}

// A table holding records in this order.
inline DeclarationTable TableOf(const std::vector<TestRecord>& records) {
  DeclarationTable table;
  for (const TestRecord& entry : records) table.push_back(entry.record, entry.typeName, entry.declarationText);
  return table;
}

// An expected record written as "name|line|words|typeName|declarationText"
// (words in any order; the declaration text is everything after the fourth
// "|"), brought to the form Describe gives.
inline std::string Expected(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string::npos) throw std::invalid_argument("malformed record " + text);
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  const TestRecord entry = MakeRecord(parts[0], std::stoi(parts[1]), parts[2], parts[3], text.substr(start));
  return Describe(entry.record, entry.typeName, entry.declarationText);
}

inline std::vector<std::string> ExpectedAll(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const std::string& text : texts) out.push_back(Expected(text));
  return out;
}

// The text of a user-type list holding the given names in this order.
inline std::string UserTypeText(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text.push_back('|');
    text += "(^.*[( ])(" + name + "[ *])(.*)";
  }
  return text;
}

// What tests read of a user-type list beyond its interface.
class UserTypeListPeer {
 public:
  // The list as text: the entries joined by "|".
  static std::string Text(const UserTypeList& list) {
    std::string text;
    for (const UserTypeList::Entry& entry : list.entries_) {
      if (!text.empty()) text.push_back('|');
      text.append(UserTypeList::EntryText(entry.name));
    }
    return text;
  }
};

// Whether list is invalid (an entry does not compile): it then finds nothing
// though it has entries.
inline bool Invalid(const UserTypeList& list) {
  return !list.empty() && list.FindReach() == UserTypeList::Reach::kNothing;
}

// One line through a scanner of the given mode, as part of a file whose
// first-function line stands at firstFunctionLine. The records may view the
// line, which must outlive the table.
inline void ScanLine(std::string_view line, int32_t number, DeclarationTable& table, UserTypeList& userTypes,
                     bool typePass, int32_t& firstFunctionLine, const ScanMode& mode = {}) {
  FileScanner scanner(table, userTypes, firstFunctionLine, mode);
  scanner.ScanLine(line, number, typePass ? FileScanner::Pass::kType : FileScanner::Pass::kDeclaration);
  firstFunctionLine = scanner.FirstFunctionLine();
}

struct FileScan {
  DeclarationTable table;
  int32_t firstFunctionLine = 0;
};

// One file's scan: the type pass from the last line to the first, then the
// declaration pass the same way; the first-function line starts at the
// number of lines. The records may view the lines, which must outlive them.
inline FileScan ScanFileLines(const std::vector<std::string>& lines, UserTypeList& userTypes,
                              const ScanMode& mode = {}) {
  FileScan scan;
  FileScanner scanner(scan.table, userTypes, static_cast<int32_t>(lines.size()), mode);
  for (FileScanner::Pass pass : {FileScanner::Pass::kType, FileScanner::Pass::kDeclaration}) {
    for (std::size_t i = lines.size(); i-- > 0;) scanner.ScanLine(lines[i], static_cast<int32_t>(i + 1), pass);
  }
  scan.firstFunctionLine = scanner.FirstFunctionLine();
  return scan;
}

// Seeded generator of C-like lines: real lines, mutated by inserting
// fragments, dropping and repeating spans and replacing characters.
class LineMutator {
 public:
  LineMutator(uint32_t seed, std::vector<std::string> corpus, std::vector<std::string> fragments, std::string alphabet,
              std::size_t maxLength)
      : random_(seed),
        corpus_(std::move(corpus)),
        fragments_(std::move(fragments)),
        alphabet_(std::move(alphabet)),
        maxLength_(maxLength) {}

  std::size_t Below(std::size_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
  }

  std::string Line() {
    std::string line = corpus_[Below(corpus_.size())];
    if (Below(6) == 0) line += " " + corpus_[Below(corpus_.size())];
    std::size_t steps = Below(7);
    for (std::size_t step = 0; step < steps; ++step) {
      std::size_t at = Below(line.size() + 1);
      switch (Below(5)) {
        case 0:
        case 1:
          line.insert(at, fragments_[Below(fragments_.size())]);
          break;
        case 2:
          line.erase(at, Below(8));
          break;
        case 3:
          line.insert(at, line.substr(Below(line.size() + 1), Below(24)));
          break;
        default:
          if (!line.empty()) line[Below(line.size())] = alphabet_[Below(alphabet_.size())];
          break;
      }
    }
    if (Below(20) == 0) {
      std::string copy = line;
      for (std::size_t n = Below(12); n > 0; --n) line += copy;
    }
    if (line.size() > maxLength_) line.resize(maxLength_);
    return line;
  }

 private:
  std::mt19937 random_;
  std::vector<std::string> corpus_;
  std::vector<std::string> fragments_;
  std::string alphabet_;
  std::size_t maxLength_;
};

}  // namespace skerry::test

#endif
