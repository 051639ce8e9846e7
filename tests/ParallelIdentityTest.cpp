// Checking a tree on several threads gives, byte for byte, what one thread
// gives: progress lines and notices in walk order, diagnostics appended in
// walk order. Generated trees hold companion headers, links (to files, to
// directories, broken, in cycles), files that cannot be read, empty and
// large files.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "driver/ConsoleOutput.h"
#include "driver/TreeCheck.h"
#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

// Everything a tree check hands on, in order, as one text.
class RecordingSink : public TreeCheckSink {
 public:
  void OnReport(FileReport& report) override { text += report.console + "|" + report.diagnostics.Text(); }
  void OnNotice(const WalkNotice& notice) override { text += "notice: " + NoticeLine(notice) + "\n"; }
  std::string text;
};

const char* const kLines[] = {
    "uint8 Mod_ucCount;",
    "static sint16 snLocal = 0;",
    "#define MOD_LIMIT 4",
    "#define limit 5",
    "typedef uint8 Mod_Byte_t;",
    "Mod_Byte_t Mod_aucBuf[4];",
    "Byte_t x;",
    "void Mod_Init(uint8 a, int b)",
    "{",
    "  int i;",
    "}",
    "extern float32 Ext_fnGain;",
    "typedef enum { a, b } E_t;",
    "// uint8 comment;",
    "\tbool\tflag;",
    "typedef struct Tag_s {",
    "} Tag_t;",
    "Tag_t tag;",
    "double dValue, dOther;",
    "uint32 *pudList[2];",
};

// A tree of nested folders with sources, companion headers, other files,
// links and fifos, drawn from seed.
void Generate(const TempTree& tree, uint32_t seed) {
  std::mt19937 random(seed);
  auto below = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
  auto text = [&](std::size_t lines) {
    std::string content;
    for (std::size_t i = 0; i < lines; ++i) content += std::string(kLines[below(std::size(kLines))]) + "\n";
    return content;
  };
  std::vector<std::string> dirs = {""};
  for (int d = 0; d < 6; ++d) {
    std::string dir = dirs[below(dirs.size())] + "d" + std::to_string(d) + "/";
    tree.MakeDir(dir);
    dirs.push_back(dir);
  }
  for (int f = 0; f < 40; ++f) {
    const std::string dir = dirs[below(dirs.size())];
    const std::string name = (below(3) == 0 ? "Mod" : "File_") + std::to_string(f);
    switch (below(8)) {
      case 0:  // a large file, so that checks finish out of order
        tree.Write(dir + name + ".c", text(3000 + below(3000)));
        break;
      case 1:
        tree.Write(dir + name + ".h", text(below(20)));
        tree.Write(dir + name + ".c", text(below(40)));
        break;
      case 2:
        tree.Write(dir + name + (below(2) == 0 ? ".txt" : ".C"), text(below(5)));
        break;
      case 3:
        tree.Link(dir + name + ".c", below(2) == 0 ? "missing.c" : "../" + dirs[below(dirs.size())]);
        break;
      case 4:
        ASSERT_EQ(mkfifo(tree.Path(dir + name + ".c").c_str(), 0644), 0);
        break;
      case 5:
        tree.Write(dir + name + ".h", "");
        break;
      default:
        tree.Write(dir + name + ".c", text(below(60)));
        break;
    }
  }
  tree.Link(dirs.back() + "up", tree.Root());  // a cycle
}

TEST(ParallelIdentity, ThreadsGiveTheOutputOfOneThread) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    TempTree tree;
    Generate(tree, seed);
    RecordingSink one;
    CheckTree(tree.Root(), 1, one, DiskFileSystem());
    ASSERT_NE(one.text.find("size: "), std::string::npos);
    ASSERT_NE(one.text.find("notice: "), std::string::npos);
    for (unsigned threads : {2u, 3u, 8u}) {
      RecordingSink several;
      CheckTree(tree.Root(), threads, several, DiskFileSystem());
      ASSERT_EQ(several.text, one.text) << "seed " << seed << ", " << threads << " threads";
    }
  }
}

// The checker itself, limited to one processor and with all of them; as
// root, also as another user, for whom locked files and folders cannot be
// read.
TEST(ParallelIdentity, CheckerOnOneAndAllProcessors) {
  TempTree tree(Reach::kEveryone);
  Generate(tree, 42);
  tree.Write("locked/File_x.c", "uint8 x;\n");
  tree.Write("locked.c", "uint8 y;\n");
  ASSERT_EQ(chmod(tree.Path("locked").c_str(), 0), 0);
  ASSERT_EQ(chmod(tree.Path("locked.c").c_str(), 0), 0);

  cpu_set_t all;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  cpu_set_t first;
  CPU_ZERO(&first);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (CPU_ISSET(cpu, &all)) {
      CPU_SET(cpu, &first);
      break;
    }
  }
  auto run = [&](const cpu_set_t& cpus, bool asOther) {
    EXPECT_EQ(sched_setaffinity(0, sizeof cpus, &cpus), 0);  // the checker inherits it
    RunResult result = asOther ? RunLintAs(65534, 65534, {tree.Root()}) : RunLint({tree.Root()});
    EXPECT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
    return result;
  };
  const RunResult one = run(first, false);
  EXPECT_EQ(one.exitCode, 0);
  EXPECT_NE(one.out.find("size: "), std::string::npos);
  const RunResult allOwn = run(all, false);
  EXPECT_EQ(allOwn.exitCode, 0);
  EXPECT_EQ(allOwn.out, one.out);
  if (getuid() == 0) {
    const RunResult other = run(first, true);
    if (CouldNotSwitchUser(other)) GTEST_SKIP() << SwitchUserSkipReason(other);
    EXPECT_EQ(other.exitCode, 0);
    EXPECT_NE(other.out.find("Cannot read directory"), std::string::npos);
    const RunResult allOther = run(all, true);
    EXPECT_EQ(allOther.exitCode, 0);
    EXPECT_EQ(allOther.out, other.out);
  }
}

}  // namespace
}  // namespace skerry::test
