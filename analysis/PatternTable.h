// The checker's vocabulary: every fixed regular expression it searches, by
// name, compiled by one engine. The documented patterns that hand-written
// tests stand in for are kept with the tests
// (tests/reference/ReferencePatterns.h).
#ifndef SKERRY_ANALYSIS_PATTERN_TABLE_H
#define SKERRY_ANALYSIS_PATTERN_TABLE_H

#include "analysis/Pattern.h"

namespace skerry {

struct PatternTable {
  explicit PatternTable(const PatternEngine& engine);

  // The table of engine, compiled at its first use and kept for the run;
  // shared by every file and thread.
  static const PatternTable& Of(const PatternEngine& engine);

  const PatternEngine& engine;
  // The base types (see kBaseTypes in DeclarationKinds.h).
  const Pattern boolType;
  const Pattern uint8;
  const Pattern sint8;
  const Pattern uint16;
  const Pattern sint16;
  const Pattern uint32;
  const Pattern sint32;
  const Pattern float32;
  const Pattern float64;
  const Pattern uintType;
  const Pattern sintType;
  const Pattern voidType;
  // The typedef kinds (see kTypedefKinds in DeclarationKinds.h).
  const Pattern typedefEnum;
  const Pattern typedefStruct;
  const Pattern typedefUnion;
  const Pattern typedefPlain;
  // Declarators, in the order they are tried.
  const Pattern arrayDeclarator;
  const Pattern functionDeclarator;
  const Pattern plainDeclarator;
  const Pattern typedefName;  // the name after the closing brace of a typedef
  const Pattern pointerBase;  // a type text holding "*"
  // Parameter lists: the text between the parentheses, then one parameter
  // at a time. The split is compiled without the documented trailing
  // "(.*)", which always matches and so never changes the groups before it:
  // the caller takes the rest of the list as a view (up to the first line
  // terminator, where "." stops).
  const Pattern parameterList;
  const Pattern parameterSplit;
  // File and module names.
  const Pattern extension;
  const Pattern doubleUpper;
  const Pattern alnumName;
  const Pattern camelBoundary;
};

}  // namespace skerry

#endif
