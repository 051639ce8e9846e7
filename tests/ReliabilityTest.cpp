// End-to-end runs on inputs that must neither crash, hang nor cut a run
// short: very long lines, special files, directory link cycles, folders and
// entries that cannot be read, binary files, many user types and unusual
// path texts. Each run is bounded in time and compared as a whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

namespace fs = boost::filesystem;
using namespace std::string_literals;

#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Generous bounds for a loaded CI machine; bench/RESULTS.md has the real
// figures.
constexpr int kLongRunSeconds = 120;
constexpr int kShortRunSeconds = 30;

std::string Diag(const std::string& path, int line, const std::string& message) {
  return path + "(" + std::to_string(line) + "): error style: " + message + "\n";
}
std::string Output(const std::string& quotedRoot, const std::string& console, const std::string& diagnostics) {
  return RunHeader(quotedRoot) + console + "\n" + diagnostics + "Operation Finsh\n";
}

struct TimedRun {
  RunResult run;
  double seconds = 0;
};
TimedRun RunTimed(const std::vector<std::string>& args, int timeoutSeconds) {
  auto start = std::chrono::steady_clock::now();
  TimedRun timed;
  timed.run = RunLint(args, "", timeoutSeconds);
  timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return timed;
}

void ExpectRun(const RunResult& run, const std::string& expected) {
  ASSERT_NE(run.exitCode, -2) << "the run did not finish in time";
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(MaskBuildDate(run.out) == expected)
      << "output differs; got " << run.out.size() << " bytes, expected " << expected.size() << "\n"
      << MaskBuildDate(run.out).substr(0, 2000);
}

// Peak resident memory, in kilobytes, of the checker alone, in one run
// whose output is discarded.
long PeakKilobytes(const std::vector<std::string>& args) {
  LaunchOptions options;
  options.measurePeak = true;
  options.output = LaunchOptions::Output::kFile;
  options.outputFile = "/dev/null";
  RunResult run = Launch(args, options);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.peakKilobytes;
}

// What one entry of a walk contributes: console text where the walk meets
// it and diagnostics. "%P" stands for the entry's path, "%Q" for its quoted
// form.
struct Block {
  std::string console;
  std::string diagnostics;
};

std::string Fill(std::string text, const std::string& path) {
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"%P", path}, {"%Q", QuotedPath(path)}}) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size())) {
      text.replace(at, mark.size(), value);
    }
  }
  return text;
}

// Puts the blocks together in the order the walk meets the entries: the
// order of the directory listing, depth first. An entry with a block stands
// for itself; a directory (or link to one) without a block is listed in
// turn; any other entry must have a block.
void Collect(const std::string& root, const std::string& relative, const std::map<std::string, Block>& blocks,
             Block& out, int depth = 0) {
  ASSERT_LT(depth, 10) << "a cycle in the test tree needs a block: " << relative;
  for (fs::directory_iterator it(root + "/" + relative), end; it != end; ++it) {
    const std::string entry = (relative.empty() ? "" : relative + "/") + it->path().filename().string();
    const std::string path = root + "/" + entry;
    auto block = blocks.find(entry);
    if (block != blocks.end()) {
      out.console += Fill(block->second.console, path);
      out.diagnostics += Fill(block->second.diagnostics, path);
    } else {
      boost::system::error_code error;
      ASSERT_TRUE(fs::is_directory(fs::status(path, error))) << "entry not described: " << entry;
      Collect(root, entry, blocks, out, depth + 1);
    }
  }
}

std::string WalkOutput(const std::string& root, const std::map<std::string, Block>& blocks) {
  Block all;
  Collect(root, "", blocks, all);
  return Output(QuotedPath(root), all.console, all.diagnostics);
}

// --- Very long lines -------------------------------------------------------

std::string Repeat(const std::string& piece, std::size_t count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

struct LongLineCase {
  const char* label;
  std::function<std::string()> content;  // one line, no line feed
  std::vector<std::string> messages;     // diagnostics of line 1 of Mod.c
};

std::vector<LongLineCase> LongLineCases() {
  // The single line is also the last line, so nothing on it is file scope.
  const std::size_t initialiserBytes = (kSanitized ? 8u : 50u) << 20;
  return {
      {"ArrayInitialiser",
       [=] { return "uint8 Mod_Data[] = { " + Repeat("0x5A, ", initialiserBytes / 6) + "};"; },
       {"Mod_Data needs to have array postfix '_List' in name!", "Mod_Data does not fit: ^uc[A-Za-z0-9_#]+$"}},
      {"MillionBlanksBetweenWords",
       [] { return "uint8" + std::string(1000000, ' ') + "Mod_x;"; },
       {"Mod_x does not fit: ^uc[A-Za-z0-9_#]+$"}},
      {"MillionBlanks", [] { return std::string(1000000, ' '); }, {}},
      // The blanks stand inside the line, in front of "#define": the macro is found.
      {"MillionBlanksBeforeDefine",
       [] { return "x" + std::string(1000000, ' ') + "#define x 1"; },
       {"x does not fit: ^[_]*[A-Z0-9_#]+$"}},
      // The parameter text is "((((...uint8 a": its only parameter does not
      // start with a type word, so only the function is entered.
      {"MillionOpeningParentheses",
       [] { return "void Fn" + std::string(1000000, '(') + "uint8 a)"; },
       {"Fn does not fit: ^Mod[_][A-Za-z0-9_#]+$"}},
      {"MillionOpeningParenthesesAlone", [] { return std::string(1000000, '('); }, {}},
      {"HundredThousandQualifiers",
       [] { return Repeat("const volatile static inline ", 25000) + "uint8 Mod_x;"; },
       {"Mod_x does not fit: ^uc[A-Za-z0-9_#]+$"}},
      // Only the rightmost extern is cut out; the others stand before the
      // type word, so nothing is recognised.
      {"HundredThousandExternWords", [] { return Repeat("extern ", 100000) + "uint8 Mod_x;"; }, {}},
      // The last "#define" followed by a name is the macro.
      {"HundredThousandDefineWords",
       [] { return "#define" + Repeat(" #define", 100000) + " mod_x 1"; },
       {"mod_x does not fit: ^[_]*[A-Z0-9_#]+$"}},
  };
}

class LongLine : public ::testing::TestWithParam<LongLineCase> {};

TEST_P(LongLine, FinishesWithTheLineChecked) {
  const LongLineCase& c = GetParam();
  TempTree tree;
  tree.Write("walk/Mod.c", c.content());
  tree.Write("walk/Other.c", "uint8 bad;\n\n");
  std::string diagnostics;
  for (const std::string& message : c.messages) diagnostics += Diag("%P", 1, message);
  std::map<std::string, Block> blocks{
      {"Mod.c", {Progress("Mod.c", 1), diagnostics}},
      {"Other.c", {Progress("Other.c", 2), Diag("%P", 1, "bad does not fit: ^Other[_]uc[A-Za-z0-9_#]+$")}}};
  TimedRun timed = RunTimed({tree.Path("walk")}, kLongRunSeconds);
  ExpectRun(timed.run, WalkOutput(tree.Path("walk"), blocks));
  RecordProperty("seconds", std::to_string(timed.seconds));
}

INSTANTIATE_TEST_SUITE_P(Reliability, LongLine, ::testing::ValuesIn(LongLineCases()),
                         [](const ::testing::TestParamInfo<LongLineCase>& info) { return info.param.label; });

// A user type whose name is full of quantifiers makes a search on a line
// with a long run of "a" backtrack exponentially. The engine's match limit
// ends each such search within milliseconds; the search then counts as no
// match (no user type on that line) and the file goes on.
TEST(Reliability, MatchLimitCountsAsNoMatch) {
  TempTree tree;
  tree.Write("Mod.h", "typedef uint8 a*a*a*a*a*a*a*a*a*;\n");
  tree.Write("Mod.c", Repeat("x = " + std::string(40, 'a') + "!;\n", 50) + "uint8 bad;\n\n");
  TimedRun timed = RunTimed({tree.Path("Mod.c")}, kLongRunSeconds);
  ExpectRun(timed.run, Output(QuotedPath(tree.Path("Mod.c")), Progress("Mod.c", 52),
                              Diag(tree.Path("Mod.c"), 51, "bad does not fit: ^Mod[_]uc[A-Za-z0-9_#]+$")));
}

// --- Special files ---------------------------------------------------------

TEST(Reliability, OnlyRegularFilesAreRead) {
  TempTree tree;
  tree.Write("walk/Mod.c", "uint8 x;\n\n");
  const std::string walk = tree.Path("walk");
  ASSERT_EQ(mkfifo((walk + "/PIPE.c").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((walk + "/Mod.h").c_str(), 0644), 0);  // the companion of Mod.c
  tree.Link("walk/ZERO.c", "/dev/zero");                  // a character device without end
  int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string sockPath = walk + "/SOCK.c";
  ASSERT_LT(sockPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, sockPath.c_str());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(sock);

  const std::string modDiag = Diag("%P", 1, "x does not fit: ^Mod[_]uc[A-Za-z0-9_#]+$");
  std::map<std::string, Block> blocks{
      {"Mod.c", {Progress("Mod.c", 2), modDiag}},
      {"Mod.h", {Unopened("Mod.h"), ""}},
      {"PIPE.c", {Unopened("PIPE.c"), Diag("%P", 0, kTwoUpper)}},
      {"ZERO.c", {Unopened("ZERO.c"), Diag("%P", 0, kTwoUpper)}},
      {"SOCK.c", {Unopened("SOCK.c"), Diag("%P", 0, kTwoUpper)}},
  };
  ExpectRun(RunLint({walk}, "", kShortRunSeconds), WalkOutput(walk, blocks));

  // As the argument: a special file is no file to check; a regular file
  // whose companion header is a FIFO is checked without it.
  RunResult pipe = RunLint({walk + "/PIPE.c"}, "", kShortRunSeconds);
  EXPECT_EQ(pipe.exitCode, 1);
  EXPECT_EQ(MaskBuildDate(pipe.out), ArgumentErrorOutput(walk + "/PIPE.c"));
  ExpectRun(RunLint({walk + "/Mod.c"}, "", kShortRunSeconds),
            Output(QuotedPath(walk + "/Mod.c"), Progress("Mod.c", 2), Fill(modDiag, walk + "/Mod.c")));
}

// --- Directory link cycles -------------------------------------------------

TEST(Reliability, LinkCyclesAreNotFollowed) {
  TempTree tree;
  for (const char* file : {"walk/a/AA.c", "walk/a/b/BB.c", "walk/c/CC.c", "outside/OO.c"}) tree.Write(file, "");
  tree.Link("walk/a/up", "..");              // the walk root
  tree.Link("walk/a/self", ".");             // its own directory
  tree.Link("walk/a/b/back", "../..");       // the walk root again, two levels up
  tree.Link("walk/a/b/toA", "..");           // its parent
  tree.Link("walk/a/b/sib", "../../c");      // a directory beside the walk path: followed
  tree.Link("walk/a/ext", "../../outside");  // outside the tree: followed
  tree.Link("outside/home", "../walk");      // back to the walk root from outside
  tree.Link("outside/in", "../walk/c");      // into the tree but off the walk path: followed
  tree.Link("walk/c/LOOP.c", "LOOP.c");      // a file link to itself: its type cannot be determined

  const Block cycle{"Link cycle not followed : %Q\n", ""};
  const Block loop{"Cannot determine type : %Q (Too many levels of symbolic links)\n", ""};
  auto upper = [](const std::string& name) { return Block{Progress(name, 0), Diag("%P", 0, kTwoUpper)}; };
  std::map<std::string, Block> blocks{
      {"a/AA.c", upper("AA.c")},
      {"a/b/BB.c", upper("BB.c")},
      {"c/CC.c", upper("CC.c")},
      {"a/b/sib/CC.c", upper("CC.c")},
      {"a/ext/OO.c", upper("OO.c")},
      {"a/ext/in/CC.c", upper("CC.c")},
      {"a/up", cycle},
      {"a/self", cycle},
      {"a/b/back", cycle},
      {"a/b/toA", cycle},
      {"a/ext/home", cycle},
      {"c/LOOP.c", loop},
      {"a/b/sib/LOOP.c", loop},
      {"a/ext/in/LOOP.c", loop},
  };
  ExpectRun(RunLint({tree.Path("walk")}, "", kShortRunSeconds), WalkOutput(tree.Path("walk"), blocks));
}

// --- Folders and entries that cannot be read --------------------------------

TEST(Reliability, UnreadableFoldersAndEntriesAreReported) {
  TempTree tree(Reach::kEveryone);
  tree.Write("walk/locked/LL.c", "");
  tree.Write("walk/blind/BL.c", "");  // listable, but its entries cannot be examined
  tree.Write("walk/sub/SS.c", "");
  tree.Write("walk/OK.c", "uint8 x;\n\n");
  fs::permissions(tree.Path("walk/locked"), fs::no_perms);
  fs::permissions(tree.Path("walk/blind"), fs::owner_read | fs::group_read | fs::others_read);

  std::map<std::string, Block> blocks{
      {"locked", {"Cannot read directory : %Q (Permission denied)\n", ""}},
      {"blind/BL.c", {"Cannot determine type : %Q (Permission denied)\n", ""}},
      {"sub/SS.c", {Progress("SS.c", 0), Diag("%P", 0, kTwoUpper)}},
      {"OK.c",
       {Progress("OK.c", 2), Diag("%P", 0, kTwoUpper) + Diag("%P", 1, "x does not fit: ^OK[_]uc[A-Za-z0-9_#]+$")}},
  };
  RunResult run = RunUnprivileged({tree.Path("walk")}, "", kShortRunSeconds);
  if (CouldNotSwitchUser(run)) GTEST_SKIP() << SwitchUserSkipReason(run);
  ExpectRun(run, WalkOutput(tree.Path("walk"), blocks));

  // The root itself cannot be listed.
  const std::string locked = tree.Path("walk/locked");
  ExpectRun(RunUnprivileged({locked}, "", kShortRunSeconds),
            Output(QuotedPath(locked), "Cannot read directory : " + QuotedPath(locked) + " (Permission denied)\n", ""));
}

// --- Binary and odd files ---------------------------------------------------

// Random bytes without line terminator 0x1A and without the characters a
// declaration needs (blanks, tabs, backslashes, asterisks), so that no line
// of it declares anything; lines are split at the line feeds it holds.
std::string RandomBinary(std::size_t size) {
  std::mt19937 random(20260101);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    do {
      c = static_cast<char>(random() & 0xFF);
    } while (c == '\x1a' || c == ' ' || c == '\t' || c == '\\' || c == '*');
  }
  return bytes;
}

int CountLines(const std::string& bytes) {
  int lines = 0;
  for (char c : bytes) lines += c == '\n';
  return lines + (!bytes.empty() && bytes.back() != '\n');
}

struct OddFileCase {
  const char* label;
  std::function<std::string()> content;
  int lines;                                             // -1: count the line feeds of the content
  std::vector<std::pair<int, std::string>> diagnostics;  // line 0 stands for the last line
};

std::vector<OddFileCase> OddFileCases() {
  const std::size_t binaryBytes = (kSanitized ? 4u : 20u) << 20;
  return {
      {"NulBytes",
       [] { return "uint8 Bin_uc\0x;\n\0\0\0\n"s; },
       2,
       {{1, "Bin_uc\0x does not fit: ^Bin[_]uc[A-Za-z0-9_#]+$"s}}},
      {"InvalidUtf8",
       [] { return "uint8 Bin_uc\xff\xfe\xc3;\n\xc3\x28\xa0\xa1\n"s; },
       2,
       {{1, "Bin_uc\xff\xfe\xc3 does not fit: ^Bin[_]uc[A-Za-z0-9_#]+$"}}},
      // The input ends at the byte 0x1A, in the middle of line 2.
      {"ControlZ",
       [] { return "uint8 a;\nuint8 b\x1a;\nuint8 c;\n"s; },
       2,
       {{1, "a does not fit: ^Bin[_]uc[A-Za-z0-9_#]+$"}, {2, "b does not fit: ^uc[A-Za-z0-9_#]+$"}}},
      // A carriage return not followed by a line feed stays in the line,
      // and the rest of a declaration stops at it.
      {"LoneCarriageReturns",
       [] { return "uint8 a;\ruint8 b;\r\n\r\n\r\r\n"s; },
       3,
       {{1, "a does not fit: ^Bin[_]uc[A-Za-z0-9_#]+$"}}},
      {"LargeBinary",
       [=] { return RandomBinary(binaryBytes) + "\nuint8 x;\n"; },
       -1,
       {{0, "x does not fit: ^uc[A-Za-z0-9_#]+$"}}},
  };
}

class OddFile : public ::testing::TestWithParam<OddFileCase> {};

TEST_P(OddFile, IsCheckedAsBytes) {
  const OddFileCase& c = GetParam();
  TempTree tree;
  const std::string content = c.content();
  tree.Write("Bin.c", content);
  const int lines = c.lines >= 0 ? c.lines : CountLines(content);
  std::string diagnostics;
  for (const auto& [line, message] : c.diagnostics)
    diagnostics += Diag(tree.Path("Bin.c"), line ? line : lines, message);
  TimedRun timed = RunTimed({tree.Path("Bin.c")}, kLongRunSeconds);
  ExpectRun(timed.run, Output(QuotedPath(tree.Path("Bin.c")), Progress("Bin.c", lines), diagnostics));
  if (!kSanitized && content.size() > (1u << 20)) {
    // The file is held once, as read; a line is copied while it is scanned.
    const long limitKilobytes = static_cast<long>(3 * content.size() / 1024) + 64 * 1024;
    if (access("/usr/bin/time", X_OK) != 0) GTEST_SKIP() << "peak memory not measured: no /usr/bin/time (package time)";
    const long peak = PeakKilobytes({tree.Path("Bin.c")});
    EXPECT_GT(peak, 0);
    EXPECT_LE(peak, limitKilobytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Reliability, OddFile, ::testing::ValuesIn(OddFileCases()),
                         [](const ::testing::TestParamInfo<OddFileCase>& info) { return info.param.label; });

// --- Many user types --------------------------------------------------------

TEST(Reliability, TwentyThousandUserTypes) {
  constexpr int kCount = 20000;
  std::string header;
  std::string file;
  std::string diagnostics;
  TempTree tree;
  const std::string path = tree.Path("Mod.c");
  for (int i = 1; i <= kCount; ++i) {
    const std::string type = "reg_" + std::to_string(i) + "_t";
    header += "typedef uint32 " + type + ";\n";
    file += type + " Mod_v" + std::to_string(i) + ";\n";
    // Every line but the last is file scope, where the type needs the
    // module prefix; each line must have found its own type.
    if (i < kCount) diagnostics += Diag(path, i, type + " does not fit: ^Mod[_][A-Za-z0-9_#]+$");
  }
  tree.Write("Mod.h", header);
  tree.Write("Mod.c", file);
  TimedRun timed = RunTimed({path}, kShortRunSeconds);
  ExpectRun(timed.run, Output(QuotedPath(path), Progress("Mod.c", kCount), diagnostics));
}

// --- Path texts ---------------------------------------------------------------

TEST(Reliability, PathTextsAreQuotedOnlyOnSearchAndProgressLines) {
  TempTree tree;
  const std::string root = tree.Path("w &\"x\xe9");
  // A line feed or carriage return in a name does not keep the file from
  // being checked: only the ending of the path text decides.
  const std::vector<std::string> names{"a b.c", "x&y.c", "q\"t.c", "\xc3\xa9\xff.c", "&\"&.h", "n\nl.c", "r\rt.H"};
  std::map<std::string, Block> blocks;
  for (const std::string& name : names) {
    tree.Write("w &\"x\xe9/" + name, "");
    blocks[name] = {Progress(name, 0), Diag("%P", 0, kAlnum)};
  }
  ExpectRun(RunLint({root}, "", kShortRunSeconds), WalkOutput(root, blocks));

  const std::string single = root + "/x&y.c";
  ExpectRun(RunLint({single}, "", kShortRunSeconds),
            Output(QuotedPath(single), Progress("x&y.c", 0), Diag(single, 0, kAlnum)));
}

// --- Output that cannot be written --------------------------------------------

// A report that cannot be written is a failed run: one line on standard
// error, exit code 2. A reader that has gone ends the run by SIGPIPE, in
// silence, as for any command in a pipeline.
TEST(Reliability, UnwritableOutput) {
  TempTree tree;
  tree.Write("walk/Mod.c", "uint8 x;\n\n");
  struct Case {
    const char* label;
    LaunchOptions::Output output;
    const char* outputFile;
    int exitCode;
    std::string err;
  };
  const Case cases[] = {
      {"FullDisk", LaunchOptions::Output::kFile, "/dev/full", 2, "cannot write output : No space left on device\n"},
      {"ClosedOutput", LaunchOptions::Output::kClosed, "", 2, "cannot write output : Bad file descriptor\n"},
      {"ReaderGone", LaunchOptions::Output::kReaderGone, "", 128 + SIGPIPE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    LaunchOptions options;
    options.output = c.output;
    options.outputFile = c.outputFile;
    options.timeoutSeconds = kShortRunSeconds;
    RunResult run = Launch({tree.Path("walk")}, options);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.err, c.err);
  }
}

// --- A report larger than the memory the checker may take ------------------

// The length of the common start of file a from offset aFrom on and file b
// from bFrom on.
std::uint64_t CommonStart(const std::string& a, std::uint64_t aFrom, const std::string& b, std::uint64_t bFrom) {
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  first.seekg(static_cast<std::streamoff>(aFrom));
  second.seekg(static_cast<std::streamoff>(bFrom));
  std::uint64_t common = 0;
  std::vector<char> x(1 << 20);
  std::vector<char> y(1 << 20);
  for (;;) {
    first.read(x.data(), static_cast<std::streamsize>(x.size()));
    second.read(y.data(), static_cast<std::streamsize>(y.size()));
    const auto got = static_cast<std::size_t>(first.gcount());
    const auto other = static_cast<std::size_t>(second.gcount());
    const std::size_t n = std::min(got, other);
    const auto same = static_cast<std::size_t>(std::mismatch(x.begin(), x.begin() + n, y.begin()).first - x.begin());
    common += same;
    if (same < n || got != other || got == 0) return common;
  }
}

// The text of a file up to its first empty line (banner, progress lines).
std::string Head(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head;
  for (std::string line; std::getline(in, line) && !line.empty();) head += line + "\n";
  return head;
}

// Diagnostics wait in a temporary file once they outgrow a few MiB, so a
// report several times larger than the address space the checker may use
// comes out whole. Without a usable temporary folder they stay in memory:
// the run still completes where memory allows, and where it does not, it
// ends with the diagnostics found so far (whole lines) and the abort line.
TEST(Reliability, ReportLargerThanMemoryLimit) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve far more address space than the limit";
  // Deep folders make long diagnostic lines: a large report from few lines.
  TempTree tree;
  std::string folder = "walk";
  for (int level = 0; level < 6; ++level) folder += "/" + std::string(200, static_cast<char>('a' + level));
  std::string body;
  for (int line = 0; line < 1000; ++line) body += "uint8 v" + std::to_string(line) + ";\n";
  constexpr int kFiles = 260;
  for (int file = 0; file < kFiles; ++file) tree.Write(folder + "/Mod" + std::to_string(file) + ".c", body);
  constexpr long kLimitKilobytes = 100 * 1024;

  struct Case {
    const char* label;
    long limitKilobytes;
    const char* temporaryFolder;
    bool completes;
  };
  const Case cases[] = {
      {"Unlimited", 0, nullptr, true},
      {"Limited", kLimitKilobytes, nullptr, true},
      {"UnlimitedWithoutTemporaryFolder", 0, "/nonexistent/skerry", true},
      {"LimitedWithoutTemporaryFolder", kLimitKilobytes, "/nonexistent/skerry", false},
  };
  const std::string reference = tree.Path("Unlimited.out");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    LaunchOptions options;
    options.output = LaunchOptions::Output::kFile;
    options.outputFile = tree.Path(std::string(c.label) + ".out");
    options.addressSpaceKilobytes = c.limitKilobytes;
    options.oneProcessor = true;
    if (c.temporaryFolder != nullptr) options.environment = {{"TMPDIR", c.temporaryFolder}};
    options.timeoutSeconds = kLongRunSeconds;
    RunResult run = Launch({tree.Path("walk")}, options);
    EXPECT_EQ(run.err, "");
    const std::uint64_t size = fs::file_size(options.outputFile);
    if (c.completes) {
      EXPECT_EQ(run.exitCode, 0);
      EXPECT_EQ(CommonStart(options.outputFile, 0, reference, 0), size);
      EXPECT_EQ(fs::file_size(reference), size);
      EXPECT_GT(size, 3u * kLimitKilobytes * 1024) << "the report must be several times the limit";
      continue;
    }
    EXPECT_EQ(run.exitCode, 2);
    const std::string abortLine = "run aborted : std::bad_alloc\n";
    ASSERT_GT(size, abortLine.size());
    std::ifstream in(options.outputFile, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(size - abortLine.size() - 1));
    std::string end(abortLine.size() + 1, '\0');
    in.read(end.data(), static_cast<std::streamsize>(end.size()));
    EXPECT_EQ(end, "\n" + abortLine);
    // The progress lines of the files checked so far, the empty line, and
    // their diagnostics: the start of the complete report's diagnostics.
    const std::string head = Head(options.outputFile);
    const std::string referenceHead = Head(reference);
    EXPECT_EQ(referenceHead.compare(0, head.size(), head), 0);
    const std::uint64_t kept = size - abortLine.size() - head.size() - 1;
    EXPECT_EQ(CommonStart(options.outputFile, head.size() + 1, reference, referenceHead.size() + 1), kept);
    EXPECT_GT(kept, 8u << 20);
  }
}

}  // namespace
}  // namespace skerry::test
