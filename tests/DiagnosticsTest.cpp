#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "report/Diagnostics.h"

namespace skerry::test {
namespace {

// What a listing writes, read back from a temporary file.
std::string Written(const DiagnosticListing& listing) {
  std::FILE* file = std::tmpfile();
  EXPECT_NE(file, nullptr);
  listing.Write(file);
  std::rewind(file);
  std::string text;
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  std::fclose(file);
  return text;
}

// Lists of every size around the block size, including lines longer than a
// block, must come out of the list and the listing in the order appended.
TEST(Diagnostics, ListsAndListingKeepEveryLineInOrder) {
  std::mt19937 random(7);
  const std::size_t lineSizes[] = {0,
                                   1,
                                   40,
                                   4000,
                                   300000,
                                   kDiagnosticBlockSize - 1,
                                   kDiagnosticBlockSize,
                                   kDiagnosticBlockSize + 17,
                                   3 * kDiagnosticBlockSize};
  DiagnosticListing listing;
  std::string expected;
  std::size_t lines = 0;
  for (int file = 0; file < 60; ++file) {
    DiagnosticList list;
    std::string listText;
    const int count = file % 7 == 0 ? 0 : static_cast<int>(random() % 400);
    for (int i = 0; i < count; ++i) {
      const std::size_t size = random() % 50 == 0 ? lineSizes[random() % std::size(lineSizes)] : random() % 200;
      const std::string line(size, static_cast<char>('a' + (file + i) % 26));
      if (i % 2 == 0) {
        list.Append(line);
      } else {
        list.Append({line.substr(0, size / 2), "(", std::to_string(i), ")", line.substr(size / 2)});
      }
      listText += i % 2 == 0 ? line : line.substr(0, size / 2) + "(" + std::to_string(i) + ")" + line.substr(size / 2);
      listText += '\n';
    }
    ASSERT_EQ(list.size(), static_cast<std::size_t>(count));
    ASSERT_EQ(list.Text(), listText) << "file " << file;
    expected += listText;
    lines += list.size();
    listing.AppendAll(std::move(list));
    EXPECT_TRUE(list.empty());
  }
  EXPECT_EQ(listing.size(), lines);
  EXPECT_GT(expected.size(), 4 * kDiagnosticBlockSize);
  EXPECT_TRUE(Written(listing) == expected);
}

}  // namespace
}  // namespace skerry::test
