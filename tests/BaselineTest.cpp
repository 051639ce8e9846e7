#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <string>
#include <vector>

#include "driver/FileSystem.h"
#include "gate/Baseline.h"
#include "gate/BaselineWriter.h"

namespace skerry {
namespace {

namespace fs = boost::filesystem;

class BaselineFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / fs::unique_path("skerry-baseline-%%%%-%%%%");
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Write(const std::string& text, const std::string& name = "b.baseline") {
    const std::string file = (folder_ / name).string();
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  static std::string Entries(const Baseline& baseline, const std::string& path) {
    std::string text;
    for (const BaselineEntry& entry : baseline.EntriesOf(path)) {
      text += std::to_string(entry.count) + "|" + entry.message + ";";
    }
    return text;
  }
  fs::path folder_;
};

TEST_F(BaselineFile, EntriesByPath) {
  Baseline baseline;
  std::string error;
  ASSERT_TRUE(baseline.Load(Write("# comment\n\n2\ta.c\tm1\n0\ta.c\tgone\n1\tb\\tc.c\tx\\\\y\\nz\n1\ta.c\tm2\r\n"
                                  "3\tc.c\tlast without line feed"),
                            error))
      << error;
  EXPECT_EQ(Entries(baseline, "a.c"), "2|m1;1|m2;");  // counted 0: left out; two runs of one path
  EXPECT_EQ(Entries(baseline, "b\tc.c"), "1|x\\y\nz;");
  EXPECT_EQ(Entries(baseline, "c.c"), "3|last without line feed;");
  EXPECT_EQ(Entries(baseline, "d.c"), "");
  EXPECT_TRUE(baseline.Holds("a.c"));
  EXPECT_FALSE(baseline.Holds("d.c"));
}

TEST_F(BaselineFile, FaultsNameTheirLine) {
  const struct {
    const char* text;
    const char* error;  // after the file name
  } cases[] = {
      {"1\ta.c\tm\nx\ta.c\tm\n", ":2: not a baseline entry (count<TAB>path<TAB>message)"},
      {"1\ta.c\n", ":1: not a baseline entry (count<TAB>path<TAB>message)"},
      {"# c\n1\ta.c\tm\tmore\n", ":2: not a baseline entry (count<TAB>path<TAB>message)"},
      {"\ta.c\tm\n", ":1: not a baseline entry (count<TAB>path<TAB>message)"},
  };
  for (const auto& c : cases) {
    Baseline baseline;
    std::string error;
    const std::string file = Write(c.text);
    EXPECT_FALSE(baseline.Load(file, error)) << c.text;
    EXPECT_EQ(error, file + c.error);
  }
  Baseline missing;
  std::string error;
  EXPECT_FALSE(missing.Load((folder_ / "none").string(), error));
  EXPECT_NE(error.find("none: "), std::string::npos) << error;
}

// A file large enough to be read by several threads: lines cut at any
// place between them are read whole, and a fault is numbered from the start.
TEST_F(BaselineFile, LargeFileReadInStretches) {
  std::string text;
  const int lines = 400000;  // about 20 MB
  for (int i = 0; i < lines; ++i) {
    text += "1\tsrc/file" + std::to_string(i / 7) + ".c\tname" + std::to_string(i) + " does not fit: ^x[A-Z]+$\n";
  }
  Baseline baseline;
  std::string error;
  ASSERT_TRUE(baseline.Load(Write(text + "1\tlast.c\tm\n"), error)) << error;
  EXPECT_EQ(baseline.Paths().size(), static_cast<std::size_t>((lines + 6) / 7 + 1));
  EXPECT_EQ(baseline.EntriesOf("src/file10000.c").size(), 7u);
  EXPECT_EQ(Entries(baseline, "last.c"), "1|m;");
  Baseline broken;
  const std::string file = Write(text + "broken\n", "broken.baseline");
  EXPECT_FALSE(broken.Load(file, error));
  EXPECT_EQ(error, file + ":" + std::to_string(lines + 1) + ": not a baseline entry (count<TAB>path<TAB>message)");
}

TEST_F(BaselineFile, WrittenInOrderOfPathAndReadBack) {
  const std::string file = (folder_ / "new.baseline").string();
  BaselineWriter writer(file);
  std::string error;
  ASSERT_TRUE(writer.CheckWritable(error)) << error;
  writer.Add("z.c", BaselineLine("z.c", "m", 2), 1, 2);
  writer.Add("a\tb.c", BaselineLine("a\tb.c", "back\\slash", 1) + BaselineLine("a\tb.c", "tab\tin", 1), 2, 2);
  std::uint64_t entries = 0;
  std::uint64_t violations = 0;
  ASSERT_TRUE(writer.Write(nullptr, entries, violations, error)) << error;
  EXPECT_EQ(entries, 3u);
  EXPECT_EQ(violations, 4u);
  std::ifstream in(file, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, std::string(kBaselineHeader) + "1\ta\\tb.c\tback\\\\slash\n1\ta\\tb.c\ttab\\tin\n2\tz.c\tm\n");
  Baseline baseline;
  ASSERT_TRUE(baseline.Load(file, error)) << error;
  EXPECT_EQ(Entries(baseline, "a\tb.c"), "1|back\\slash;1|tab\tin;");
  EXPECT_EQ(fs::directory_iterator(folder_) == fs::directory_iterator(), false);
  int files = 0;
  for (fs::directory_iterator it(folder_), end; it != end; ++it) ++files;
  EXPECT_EQ(files, 1) << "no temporary file left behind";
}

TEST_F(BaselineFile, DeviceIsWrittenInPlaceNotReplaced) {
#ifdef _WIN32
  // Device names stand for the device in every folder, in any case.
  const std::vector<std::string> devices = {"NUL", "nul", (folder_ / "NUL").string()};
#else
  const std::vector<std::string> devices = {"/dev/null"};
#endif
  for (const std::string& device : devices) {
    SCOPED_TRACE(device);
    BaselineWriter writer(device);
    std::string error;
    ASSERT_TRUE(writer.CheckWritable(error)) << error;
    writer.Add("a.c", BaselineLine("a.c", "m", 1), 1, 1);
    std::uint64_t entries = 0;
    std::uint64_t violations = 0;
    ASSERT_TRUE(writer.Write(nullptr, entries, violations, error)) << error;
    EXPECT_EQ(entries, 1u);
    EXPECT_TRUE(IsDevice(device));
  }
  EXPECT_TRUE(fs::is_empty(folder_));
  EXPECT_FALSE(IsDevice(Write("")));
  EXPECT_FALSE(IsDevice(folder_));
  EXPECT_FALSE(IsDevice(folder_ / "missing"));
  BaselineWriter folder(folder_.string());
  std::string error;
  EXPECT_FALSE(folder.CheckWritable(error));
}

TEST_F(BaselineFile, UnwritableFolderFoundBeforeTheRun) {
  BaselineWriter writer((folder_ / "missing" / "b.baseline").string());
  std::string error;
  EXPECT_FALSE(writer.CheckWritable(error));
  EXPECT_EQ(error.rfind("cannot write baseline ", 0), 0u) << error;
}

}  // namespace
}  // namespace skerry
