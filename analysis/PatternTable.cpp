#include "analysis/PatternTable.h"

#include <map>
#include <memory>
#include <mutex>

namespace skerry {

PatternTable::PatternTable(const PatternEngine& engine)
    : engine(engine),
      boolType("^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", Pattern::kIgnoreCase, engine),
      uint8("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      sint8("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      uint16("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      sint16("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      uint32("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      sint32("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", Pattern::kNone, engine),
      float32("^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)", Pattern::kNone,
              engine),
      float64("^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)",
              Pattern::kNone, engine),
      uintType("^[^ (,]*([ ]+[Uu][Ii][Nn][tT][ *]+)(.*)", Pattern::kNone, engine),
      sintType("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT][ *]+)(.*)", Pattern::kNone, engine),
      voidType("^[^ (,]*([ ]+void[ *]+)(.*)", Pattern::kNone, engine),
      typedefEnum("^[^ (,]*([ ]+typedef[ ]+enum[ ]+)(.*)", Pattern::kNone, engine),
      typedefStruct("^[^ (,]*([ ]+typedef[ ]+struct[ ])(.*)", Pattern::kNone, engine),
      typedefUnion("^[^ (,]*([ ]+typedef[ ]+union[ ])(.*)", Pattern::kNone, engine),
      typedefPlain("^[^ (,]*([ ]+typedef[ ]+[^( ]+[ ]+)([^() ].*)", Pattern::kNone, engine),
      arrayDeclarator("^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)", Pattern::kNone, engine),
      functionDeclarator("^[ ]*([^ {()=;]+)([ ]*[(].*)", Pattern::kNone, engine),
      plainDeclarator("^[ ]*([^ ={();]+)(.*)", Pattern::kNone, engine),
      typedefName("^.*[}][ ]*([-A-Za-z0-9_]+)[;].*", Pattern::kNone, engine),
      pointerBase("^([^*]+)[*].*", Pattern::kNone, engine),
      parameterList("^[(]([^)]+)[)].*", Pattern::kNone, engine),
      parameterSplit("(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*", Pattern::kNone, engine),
      extension("[.][-A-Za-z0-9_]+", Pattern::kNone, engine),
      doubleUpper("^.*[A-Z][A-Z].*", Pattern::kNone, engine),
      alnumName("^[A-Za-z0-9]+$", Pattern::kNone, engine),
      camelBoundary("([a-z])([A-Z])", Pattern::kNone, engine) {}

const PatternTable& PatternTable::Of(const PatternEngine& engine) {
  static std::mutex mutex;
  static std::map<const PatternEngine*, std::unique_ptr<const PatternTable>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<const PatternTable>& table = tables[&engine];
  if (!table) table = std::make_unique<const PatternTable>(engine);
  return *table;
}

}  // namespace skerry
