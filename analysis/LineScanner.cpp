#include "analysis/LineScanner.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "analysis/StatementPreparation.h"
#include "analysis/TextHelpers.h"
#include "analysis/ThreadState.h"

namespace skerry {

namespace {

// Statement texts come from a per-thread pool with one text per nesting
// level of the scan (a parameter list is scanned while the outer statement
// is in use), so that their storage is reused from line to line instead of
// being allocated for every line.
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
  static Pool& ThreadPool() { return ThreadState<Pool>(); }
  Pool& pool_;
  std::string* text_;
};

// Where the pieces of a statement text stand in the line it was made from:
// statement[i] stands for line[i + shift] as long as the scanner has not
// rewritten that part.
struct LineMap {
  std::string_view line;
  std::ptrdiff_t shift = 0;
};

// A text the record will hold: a view into the line where the line holds
// the same bytes, else a copy that the table keeps once the record is
// entered.
struct PendingText {
  std::string_view view;
  std::string copy;
  bool viewed = false;

  void Take(const LineMap& map, const std::string& statement, std::string_view piece) {
    const std::ptrdiff_t start = (piece.data() - statement.data()) + map.shift;
    const bool fits = start >= 0 && static_cast<std::size_t>(start) + piece.size() <= map.line.size();
    view = fits ? map.line.substr(static_cast<std::size_t>(start), piece.size()) : std::string_view();
    viewed = fits && view == piece;
    if (!viewed) copy.assign(piece);
  }
  std::string_view Keep(DeclarationTable& table) const { return viewed ? view : table.Keep(copy); }
};

}  // namespace

FileScanner::FileScanner(DeclarationTable& table, UserTypeList& userTypes, int32_t lineCount, const ScanMode& mode)
    : table_(table),
      userTypes_(userTypes),
      firstFunctionLine_(lineCount),
      patterns_(PatternTable::Of(*mode.engine)),
      cheapTests_(mode.cheapTests) {}

void FileScanner::TypePass(const SourceLines& lines) {
  // Only a line holding the word "typedef" can have an effect in the type
  // pass (MayDeclareType), so a text without the word is not visited.
  if (cheapTests_ && !lines.Contains("typedef", 1)) return;
  lines.ForEachReverse([&](std::string_view line, int32_t number) { ScanLine(line, number, Pass::kType); });
}

void FileScanner::DeclarationPass(const SourceLines& lines) {
  // A line never holds a line feed (the text is split at them), and holds
  // a carriage return or "typedef" only if the text does.
  const LineFacts facts{lines.Contains("\r"), lines.Contains("typedef", 1)};
  lines.ForEachReverse(
      [&](std::string_view line, int32_t number) { ScanLine(line, number, Pass::kDeclaration, facts); });
}

void FileScanner::ScanLine(std::string_view lineText, int32_t lineNumber, Pass pass, const LineFacts& facts) {
  if (cheapTests_ && (pass == Pass::kType ? !MayDeclareType(lineText) : !MayDeclare(lineText, userTypes_, facts))) {
    return;
  }
  ScanFully(lineText, lineText, lineNumber, pass);
}

void FileScanner::ScanParameterList(std::string_view parameterText, int32_t lineNumber) {
  MatchGroups groups;
  if (!patterns_.parameterList.Search(TrimBlanks(parameterText), groups)) return;
  std::string_view rest = groups[1];
  std::string pseudoLine;
  while (patterns_.parameterSplit.Search(rest, groups)) {
    const std::string_view parameter = TrimBlanks(groups[2]);
    // The documented trailing group "(.*)": the text after the match up to
    // the first line terminator, where "." stops.
    const std::size_t matchEnd = static_cast<std::size_t>(groups[0].data() + groups[0].size() - rest.data());
    pseudoLine.assign(1, ' ');
    pseudoLine.append(parameter);
    rest = CutAtLineTerminator(rest.substr(matchEnd));
    if (!cheapTests_ || MayDeclare(pseudoLine, userTypes_)) {
      ScanFully(pseudoLine, std::string_view(), lineNumber, Pass::kDeclaration);
    }
  }
}

void FileScanner::ScanFully(std::string_view lineText, std::string_view viewable, int32_t lineNumber, Pass pass) {
  PooledText pooledStatement;
  std::string& statement = *pooledStatement;
  LineMap map{viewable, 0};
  if (!PrepareStatement(lineText, statement, &map.shift)) return;

  DeclarationRecord record;
  MatchGroups groups;
  std::string_view name;  // a view into the final statement
  PendingText typeName;

  // The statement becomes one blank followed by rest, a piece of it: the
  // map follows the piece.
  std::string rest;
  auto restart = [&](std::string_view piece) {
    map.shift = piece.empty() ? 0 : map.shift + (piece.data() - statement.data()) - 1;
    rest.assign(piece);
    statement.assign(1, ' ');
    statement.append(rest);
  };

  // Macro test: nothing else is tested on a macro line.
  const std::string_view macroName = FindDefineName(statement);
  if (!macroName.empty()) {
    name = macroName;
    record.declarator = DeclaratorKind::kDefine;
  } else {
    // Extern test: the word is cut out, the blanks on both sides stay.
    const std::size_t externWord = FindExternWord(statement);
    if (externWord != std::string::npos) {
      statement.erase(externWord, 6);
      map.shift += 6;  // for what follows the word
      record.isExtern = true;
    }

    std::string typeText;
    if (pass == Pass::kDeclaration) {
      bool found = false;
      const std::string_view typeWord = TypeWord(statement);
      for (const BaseTypeEntry& entry : kBaseTypes) {
        if ((!cheapTests_ || TypeWordMayFit(typeWord, entry.lead)) &&
            (patterns_.*entry.pattern).Search(statement, groups)) {
          record.baseType = entry.type;
          typeText.assign(groups[1]);
          restart(TrimBlanks(groups[2]));
          found = true;
          break;
        }
      }
      if (!found && !userTypes_.empty()) {
        std::string_view typeGroup;
        std::string_view restGroup;
        if (userTypes_.Find(statement, typeGroup, restGroup)) {
          record.baseType = BaseType::kUserType;
          const std::string_view type = TrimBlanks(typeGroup);
          typeText.assign(type);
          typeName.Take(map, statement, type);
          restart(TrimBlanks(restGroup));
        }
      }
    }

    const std::string_view typedefWord = TypeWord(statement);
    if (!cheapTests_ || TypeWordMayFit(typedefWord, kTypedefLead)) {
      for (const TypedefKindEntry& entry : kTypedefKinds) {
        if (!(patterns_.*entry.pattern).Search(statement, groups)) continue;
        record.typedefKind = entry.kind;
        typeText.assign(groups[1]);
        const std::string_view restPiece = TrimBlanks(groups[2]);
        if (IsCompound(entry.kind)) {
          MatchGroups nameGroups;
          if (patterns_.typedefName.Search(statement, nameGroups)) {
            typeName.Take(map, statement, TrimBlanks(nameGroups[1]));
          }
        }
        restart(restPiece);
        break;
      }
    }

    if (!typeText.empty() && patterns_.pointerBase.Search(typeText)) record.isPointer = true;

    if (!rest.empty()) {
      if (patterns_.arrayDeclarator.Search(statement, groups)) {
        name = TrimBlanks(groups[1]);
        record.declarator = DeclaratorKind::kArray;
      } else if (patterns_.functionDeclarator.Search(statement, groups)) {
        name = TrimBlanks(groups[1]);
        if (!name.empty()) {
          if (lineNumber < firstFunctionLine_) firstFunctionLine_ = lineNumber;
          record.declarator = DeclaratorKind::kFunction;
          if (pass == Pass::kDeclaration) ScanParameterList(groups[2], lineNumber);
        }
      } else if (patterns_.plainDeclarator.Search(statement, groups)) {
        name = TrimBlanks(groups[1]);
        record.declarator = DeclaratorKind::kVariable;
      }
    }
  }

  // Entering.
  name = TrimBlanks(name);
  if (name.empty() || record.declarator == DeclaratorKind::kNone) return;
  const bool compound = IsCompound(record.typedefKind);
  if (pass == Pass::kType) {
    if (!compound) {
      if (record.typedefKind == TypedefKind::kPlain) userTypes_.Append(name);
      return;
    }
  } else if (compound) {
    return;
  }
  const std::string_view keptTypeName = typeName.Keep(table_);
  if (compound) userTypes_.Append(keptTypeName);
  // The name with the declarator separators "," and ";" removed; a name
  // made only of them is not entered (a stored name is never empty).
  if (std::memchr(name.data(), ',', name.size()) != nullptr || std::memchr(name.data(), ';', name.size()) != nullptr) {
    scratch_.assign(name);
    scratch_.erase(std::remove_if(scratch_.begin(), scratch_.end(), [](char c) { return c == ',' || c == ';'; }),
                   scratch_.end());
    if (scratch_.empty()) return;
    record.name = table_.Keep(scratch_);
  } else {
    PendingText kept;
    kept.Take(map, statement, name);
    record.name = kept.Keep(table_);
  }
  std::string_view declarationText;  // taken only where the table keeps it
  if (DeclarationTable::ReadsDeclarationText(record)) {
    PendingText text;
    text.Take(map, statement, statement);
    declarationText = text.Keep(table_);
  }
  record.line = lineNumber;
  table_.push_back(record, keptTypeName, declarationText);
}

}  // namespace skerry
