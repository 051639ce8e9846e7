#include "analysis/Prefilter.h"

namespace skerry {

std::string_view TypeWord(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] != ' ' && text[i] != '(' && text[i] != ',') ++i;
  if (i == text.size() || text[i] != ' ') return std::string_view();
  while (i < text.size() && text[i] == ' ') ++i;
  return text.substr(i);
}

}  // namespace skerry
