#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "report/Diagnostics.h"
#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

// What a listing writes.
std::string Written(const DiagnosticListing& listing) {
  StringOutput out;
  listing.Write(out);
  return out.Text();
}

// Where the listing keeps its text: memory bound and temporary folder.
struct ListingCase {
  const char* label;
  std::size_t memoryBound;
  const char* temporaryFolder;  // TMPDIR, or nullptr to leave it as it is
  bool listsSpill;              // whether the lists put their filled blocks there too
  bool spills;                  // whether text waits in the temporary file
};

class Listing : public ::testing::TestWithParam<ListingCase> {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    if (old != nullptr) saved_ = old;
    hadFolder_ = old != nullptr;
    if (GetParam().temporaryFolder != nullptr) setenv("TMPDIR", GetParam().temporaryFolder, 1);
  }
  void TearDown() override {
    if (hadFolder_) {
      setenv("TMPDIR", saved_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

 private:
  std::string saved_;
  bool hadFolder_ = false;
};

// Lists of every size around the block size, including lines longer than a
// block, must come out of the list and the listing in the order appended,
// whether the listing's blocks wait in memory or in a temporary file.
TEST_P(Listing, KeepsEveryLineInOrder) {
  std::mt19937 random(7);
  const std::size_t lineSizes[] = {
      0, 1, 40, 4000, 300000, kTextBlockSize - 1, kTextBlockSize, kTextBlockSize + 17, 3 * kTextBlockSize};
  DiagnosticListing listing(GetParam().memoryBound);
  std::string expected;
  std::size_t lines = 0;
  for (int file = 0; file < 60; ++file) {
    DiagnosticList list(GetParam().listsSpill ? listing.Spill() : nullptr);
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
  EXPECT_GT(expected.size(), 4 * kTextBlockSize);
  EXPECT_EQ(UnnamedFileBytes() > 0, GetParam().spills);
  EXPECT_TRUE(Written(listing) == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Diagnostics, Listing,
    ::testing::Values(ListingCase{"InMemory", SIZE_MAX, nullptr, false, false},
                      ListingCase{"InTemporaryFile", 0, nullptr, false, true},
                      ListingCase{"PartlyInTemporaryFile", 3 * kTextBlockSize, nullptr, false, true},
                      ListingCase{"ListsInTemporaryFile", SIZE_MAX, nullptr, true, true},
                      ListingCase{"TemporaryFolderMissing", 0, "/nonexistent/skerry", true, false}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return info.param.label; });

}  // namespace
}  // namespace skerry::test
