// Helpers shared by the tests of the analysis: a compact text form of a
// declaration record, records built from that form, and the two passes of
// one file's lines run through ScanLine.
#ifndef SKERRY_TESTS_ANALYSIS_TEST_SUPPORT_H
#define SKERRY_TESTS_ANALYSIS_TEST_SUPPORT_H

#include <cstdint>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/DeclarationRecord.h"
#include "analysis/LineScanner.h"
#include "analysis/UserTypeList.h"

namespace skerry::test {

struct FlagName {
  bool DeclarationRecord::*flag;
  const char* name;
};

// Every flag of a record, in field order.
inline const std::vector<FlagName>& RecordFlags() {
  static const std::vector<FlagName> flags = {
      {&DeclarationRecord::isExtern, "Extern"},
      {&DeclarationRecord::isPointer, "Pointer"},
      {&DeclarationRecord::isVariable, "Variable"},
      {&DeclarationRecord::isTypedefStruct, "TypedefStruct"},
      {&DeclarationRecord::isTypedefEnum, "TypedefEnum"},
      {&DeclarationRecord::isTypedef, "Typedef"},
      {&DeclarationRecord::isUint32, "Uint32"},
      {&DeclarationRecord::isUint16, "Uint16"},
      {&DeclarationRecord::isUint, "Uint"},
      {&DeclarationRecord::isSint, "Sint"},
      {&DeclarationRecord::isUint8, "Uint8"},
      {&DeclarationRecord::isSint32, "Sint32"},
      {&DeclarationRecord::isUserType, "UserType"},
      {&DeclarationRecord::isSint16, "Sint16"},
      {&DeclarationRecord::isSint8, "Sint8"},
      {&DeclarationRecord::isFloat32, "Float32"},
      {&DeclarationRecord::isFloat64, "Float64"},
      {&DeclarationRecord::isBool, "Bool"},
      {&DeclarationRecord::isVoid, "Void"},
      {&DeclarationRecord::isTypedefUnion, "TypedefUnion"},
      {&DeclarationRecord::isArray, "Array"},
      {&DeclarationRecord::isFunction, "Function"},
      {&DeclarationRecord::isDeclaration, "Declaration"},
      {&DeclarationRecord::isDefine, "Define"},
      {&DeclarationRecord::isFileScope, "FileScope"},
  };
  return flags;
}

// "name|line|Flag Flag|typeName|declarationText". The short form leaves out
// isDeclaration and isFileScope while they hold their stored values (true).
inline std::string Describe(const DeclarationRecord& record, bool full = false) {
  std::string flags;
  for (const FlagName& entry : RecordFlags()) {
    bool value = record.*entry.flag;
    std::string name = entry.name;
    if (!full && (name == "Declaration" || name == "FileScope")) {
      if (value) continue;
      name = "!" + name;
    } else if (!value) {
      continue;
    }
    if (!flags.empty()) flags.push_back(' ');
    flags.append(name);
  }
  return record.name + "|" + std::to_string(record.line) + "|" + flags + "|" + record.typeName + "|" +
         record.declarationText;
}

inline std::vector<std::string> DescribeAll(const DeclarationTable& table, bool full = false) {
  std::vector<std::string> out;
  for (const DeclarationRecord& record : table) out.push_back(Describe(record, full));
  return out;
}

// A record with the given fields; flags are blank-separated names of
// RecordFlags() (isDeclaration is set, isFileScope stays true).
inline DeclarationRecord MakeRecord(const std::string& name, int32_t line, const std::string& flags,
                                    const std::string& typeName = "", const std::string& declarationText = "") {
  DeclarationRecord record;
  record.name = name;
  record.line = line;
  record.isDeclaration = true;
  record.typeName = typeName;
  record.declarationText = declarationText;
  std::istringstream words(flags);
  std::string word;
  while (words >> word) {
    bool known = false;
    for (const FlagName& entry : RecordFlags()) {
      if (word == entry.name) {
        record.*entry.flag = true;
        known = true;
      }
    }
    if (!known) throw std::invalid_argument("unknown flag " + word);
  }
  return record;
}

// An expected record written as "name|line|flags|typeName|declarationText"
// (flags in any order; the declaration text is everything after the fourth
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
  return Describe(MakeRecord(parts[0], std::stoi(parts[1]), parts[2], parts[3], text.substr(start)));
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

struct FileScan {
  DeclarationTable table;
  int32_t firstFunctionLine = 0;
};

// One file's scan: the type pass from the last line to the first, then the
// declaration pass the same way; the first-function line starts at the
// number of lines.
inline FileScan ScanFileLines(const std::vector<std::string>& lines, UserTypeList& userTypes) {
  FileScan scan;
  scan.firstFunctionLine = static_cast<int32_t>(lines.size());
  for (bool typePass : {true, false}) {
    for (std::size_t i = lines.size(); i-- > 0;) {
      ScanLine(lines[i], static_cast<int32_t>(i + 1), scan.table, userTypes, typePass, scan.firstFunctionLine);
    }
  }
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
