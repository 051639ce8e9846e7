// The kinds of declaration the scanner tells apart, and the one table that
// joins each base type and typedef kind to its pattern, the lead its type
// word needs, and the type prefix its names carry.
#ifndef SKERRY_ANALYSIS_DECLARATION_KINDS_H
#define SKERRY_ANALYSIS_DECLARATION_KINDS_H

#include <cstdint>
#include <string_view>

#include "analysis/PatternTable.h"

namespace skerry {

// The type a declaration was made with, found by the type chain (kBool to
// kVoid, tried in this order) or the user-type list.
enum class BaseType : uint8_t {
  kNone,
  kBool,
  kUint8,
  kSint8,
  kUint16,
  kSint16,
  kUint32,
  kSint32,
  kFloat32,
  kFloat64,
  kUint,
  kSint,
  kVoid,
  kUserType
};

// The typedef test that matched, tried in this order: typedef enum, struct,
// union (the compound typedefs), then any other typedef.
enum class TypedefKind : uint8_t { kNone, kEnum, kStruct, kUnion, kPlain };

// What declared the name: a macro, or the declarator tried first that
// matched (array, function, then plain variable).
enum class DeclaratorKind : uint8_t { kNone, kDefine, kArray, kFunction, kVariable };

// What a type or typedef pattern needs at the start of the type word (see
// TypeWord in CheapTests.h), ASCII letter case ignored (a looser test than
// the pattern's own, which is enough to tell that it cannot match): lead,
// or otherLead when the pattern has a second alternative; with skipS, after
// a run of "s" or "S" (the "[Ss]*" of the signed patterns).
struct TypeWordLead {
  std::string_view lead;
  std::string_view otherLead;
  bool skipS = false;
};

struct BaseTypeEntry {
  BaseType type;
  std::string_view name;  // the kind's word, as in "Uint8"
  const Pattern PatternTable::*pattern;
  TypeWordLead lead;
  std::string_view prefix;  // the type prefix of its names; empty for none
};

// The type chain, in the order in which it is tried. The leads:
// "[bB][Oo][Oo][Ll]" (case-insensitive pattern), "[Uu][Ii][Nn][tT]8",
// "[Ss]*[Ii][Nn][tT]8", ..., "[Ff][Ll][Oo][Aa][tT]32" or
// "[Ff][Ll][Oo][Aa][tT]", "[Ff][Ll][Oo][Aa][tT]64" or
// "[Dd][Oo][Uu][Bb][Ll][Ee]", "void".
inline constexpr BaseTypeEntry kBaseTypes[] = {
    {BaseType::kBool, "Bool", &PatternTable::boolType, {"bool", {}, false}, "bo"},
    {BaseType::kUint8, "Uint8", &PatternTable::uint8, {"uint8", {}, false}, "uc"},
    {BaseType::kSint8, "Sint8", &PatternTable::sint8, {"int8", {}, true}, "sc"},
    {BaseType::kUint16, "Uint16", &PatternTable::uint16, {"uint16", {}, false}, "un"},
    {BaseType::kSint16, "Sint16", &PatternTable::sint16, {"int16", {}, true}, "sn"},
    {BaseType::kUint32, "Uint32", &PatternTable::uint32, {"uint32", {}, false}, "ud"},
    {BaseType::kSint32, "Sint32", &PatternTable::sint32, {"int32", {}, true}, "sd"},
    {BaseType::kFloat32, "Float32", &PatternTable::float32, {"float", {}, false}, "fn"},
    {BaseType::kFloat64, "Float64", &PatternTable::float64, {"float64", "double", false}, "fd"},
    {BaseType::kUint, "Uint", &PatternTable::uintType, {"uint", {}, false}, "un"},
    {BaseType::kSint, "Sint", &PatternTable::sintType, {"int", {}, true}, "sn"},
    {BaseType::kVoid, "Void", &PatternTable::voidType, {"void", {}, false}, ""},
};

// The entry of a type of the chain; null for kNone and kUserType.
constexpr const BaseTypeEntry* EntryOf(BaseType type) {
  return type == BaseType::kNone || type == BaseType::kUserType ? nullptr : &kBaseTypes[static_cast<int>(type) - 1];
}

struct TypedefKindEntry {
  TypedefKind kind;
  std::string_view name;
  const Pattern PatternTable::*pattern;
  std::string_view prefix;  // taken when the base type gives none
};

// The typedef tests, in the order in which they are tried; every one needs
// the type word to begin with "typedef".
inline constexpr TypeWordLead kTypedefLead{"typedef", {}, false};
inline constexpr TypedefKindEntry kTypedefKinds[] = {
    {TypedefKind::kEnum, "TypedefEnum", &PatternTable::typedefEnum, "enum"},
    {TypedefKind::kStruct, "TypedefStruct", &PatternTable::typedefStruct, "struct"},
    {TypedefKind::kUnion, "TypedefUnion", &PatternTable::typedefUnion, "union"},
    {TypedefKind::kPlain, "Typedef", &PatternTable::typedefPlain, ""},
};

constexpr const TypedefKindEntry* EntryOf(TypedefKind kind) {
  return kind == TypedefKind::kNone ? nullptr : &kTypedefKinds[static_cast<int>(kind) - 1];
}

// typedef enum, struct or union: their records are entered in the type pass.
constexpr bool IsCompound(TypedefKind kind) {
  return kind == TypedefKind::kEnum || kind == TypedefKind::kStruct || kind == TypedefKind::kUnion;
}

}  // namespace skerry

#endif
