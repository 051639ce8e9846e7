// End-to-end runs of the checker on small trees: the complete output from
// the banner on, the exit code, and an empty standard error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <boost/filesystem.hpp>
#include <map>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

namespace fs = boost::filesystem;
using namespace std::string_literals;

// A header that declares the user type Ctr_t, and a file whose only
// declaration is recognised through that type; both have two lines so that
// line 1 is file scope.
const char kHeaderTypedef[] = "typedef uint8 Ctr_t;\n\n";
const char kUsesType[] = "Ctr_t v;\n\n";

// A diagnostic line of the file under check; "%P" stands for its path.
std::string Diag(int line, const std::string& message) {
  return "%P(" + std::to_string(line) + "): error style: " + message + "\n";
}
// The two diagnostics of kUsesType at file scope of module.
std::string UsesTypeDiags(const std::string& modulePattern) {
  return Diag(1, "v does not fit: ^" + modulePattern + "[_][A-Za-z0-9_#]+$") +
         Diag(1, "Ctr_t does not fit: ^" + modulePattern + "[_][A-Za-z0-9_#]+$");
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

enum class Kind { kFile, kDir, kLink, kLocked };
struct Item {
  std::string path;          // relative to the tree
  std::string content = "";  // file bytes, or the target of a link
  Kind kind = Kind::kFile;
};
Item Dir(const std::string& path) { return {path, "", Kind::kDir}; }
Item Link(const std::string& path, const std::string& target) { return {path, target, Kind::kLink}; }
// A file without any permission: only root can open it.
Item Locked(const std::string& path) { return {path, "int x;\n", Kind::kLocked}; }

void Build(const TempTree& tree, const std::vector<Item>& items) {
  for (const Item& item : items) {
    switch (item.kind) {
      case Kind::kFile:
        tree.Write(item.path, item.content);
        break;
      case Kind::kDir:
        tree.MakeDir(item.path);
        break;
      case Kind::kLink:
        tree.Link(item.path, item.content);
        break;
      case Kind::kLocked:
        tree.Write(item.path, item.content);
        fs::permissions(tree.Path(item.path), fs::no_perms);
        break;
    }
  }
}

void ExpectRun(const RunResult& run, int exitCode, const std::string& expected) {
  EXPECT_EQ(run.exitCode, exitCode);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(MaskBuildDate(run.out), expected);
}

// ---------------------------------------------------------------------------
// Argument errors: banner, the error line, the usage text, exit code 1.

struct ArgumentErrorCase {
  const char* label;
  std::vector<std::string> args;  // "%T" stands for the tree's root
};

class ArgumentError : public ::testing::TestWithParam<ArgumentErrorCase> {};

TEST_P(ArgumentError, PrintsErrorAndUsage) {
  TempTree tree;
  tree.Write("f.c", "int x;\n");
  tree.Link("gone.c", "nowhere.c");
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) args.push_back(Replace(arg, "%T", tree.Root()));
  ExpectRun(RunLint(args, tree.Root()), 1, ArgumentErrorOutput(args.back()));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArgumentError,
    ::testing::Values(ArgumentErrorCase{"MissingPath", {"%T/missing"}},
                      ArgumentErrorCase{"MissingRelativePath", {"no such dir"}},
                      ArgumentErrorCase{"EmptyArgument", {""}},
                      ArgumentErrorCase{"LastMissingAfterExistingDir", {"%T", "%T/f.c", "%T/missing.c"}},
                      ArgumentErrorCase{"LastEmptyAfterExistingFile", {"%T/f.c", ""}},
                      ArgumentErrorCase{"BelowARegularFile", {"%T/f.c/x.c"}},
                      ArgumentErrorCase{"BrokenLink", {"%T/gone.c"}}, ArgumentErrorCase{"SpecialFile", {"/dev/null"}}),
    [](const ::testing::TestParamInfo<ArgumentErrorCase>& info) { return std::string(info.param.label); });

TEST(RunSpine, ArgumentBelowUnsearchableFolderIsArgumentError) {
  TempTree tree(Reach::kEveryone);
  tree.Write("locked/a.c", "int x;\n");
  fs::permissions(tree.Path("locked"), fs::no_perms);
  const std::vector<std::string> args = {tree.Path("locked/a.c")};
  RunResult run = RunUnprivileged(args);
  if (CouldNotSwitchUser(run)) GTEST_SKIP() << SwitchUserSkipReason(run);
  ExpectRun(run, 1, ArgumentErrorOutput(args.back()));
}

// ---------------------------------------------------------------------------
// Single-file mode: the argument is one regular file. The runs take place in
// this process, on files held in memory.

struct SingleFileCase {
  const char* label;
  std::vector<Item> items;
  std::string argument;     // relative to the tree
  std::string progress;     // the progress output
  std::string diagnostics;  // "%P" stands for the file's path
};

class SingleFile : public ::testing::TestWithParam<SingleFileCase> {};

TEST_P(SingleFile, PrintsProgressAndDiagnostics) {
  const SingleFileCase& c = GetParam();
  MemoryFileSystem files;
  for (const Item& item : c.items) {
    const std::string path = "/tree/" + item.path;
    switch (item.kind) {
      case Kind::kFile:
      case Kind::kLocked:
        files.AddFile(path, item.content, item.kind == Kind::kFile);
        break;
      case Kind::kDir:
        files.AddDirectory(path);
        break;
      case Kind::kLink:
        files.AddLink(path, item.content);
        break;
    }
  }
  const std::string path = "/tree/" + c.argument;
  ExpectRun(RunInProcess({path}, files), 0,
            RunHeader(QuotedPath(path)) + c.progress + "\n" + Replace(c.diagnostics, "%P", path) + "Operation Finsh\n");
}

std::vector<SingleFileCase> SingleFileCases() {
  std::vector<SingleFileCase> cases = {
      // Names that are not C sources or headers are skipped without output.
      {"TextFile", {{"notes.txt", "int x;\n"}}, "notes.txt", "", ""},
      {"CppFile", {{"AB.cpp", "int x;\n"}}, "AB.cpp", "", ""},
      {"DoubleC", {{"AB.cc", "int x;\n"}}, "AB.cc", "", ""},
      {"Makefile", {{"Makefile", "all:\n"}}, "Makefile", "", ""},
      {"DotC", {{"AB.c.txt", ""}}, "AB.c.txt", "", ""},
      // Line loading.
      {"EmptyFile", {{"a.c", ""}}, "a.c", Progress("a.c", 0), ""},
      {"LastLineWithoutLineFeed", {{"a.c", "a\nb\nc"}}, "a.c", Progress("a.c", 3), ""},
      {"LastLineWithLineFeed", {{"a.c", "a\nb\nc\n"}}, "a.c", Progress("a.c", 3), ""},
      {"EmptyLines", {{"a.c", "\n\n\n\n"}}, "a.c", Progress("a.c", 4), ""},
      {"CarriageReturnLineFeed", {{"a.c", "a\r\nb\r\n\r\n"}}, "a.c", Progress("a.c", 3), ""},
      {"LoneCarriageReturns", {{"a.c", "a\rb\rc\r\n\r"}}, "a.c", Progress("a.c", 2), ""},
      {"ControlZInLineFive",
       {{"a.c",
         "1\n2\n3\n4\n5\x1a"
         "5\n6\n7\n"}},
       "a.c",
       Progress("a.c", 5),
       ""},
      {"ControlZHidesDeclaration", {{"a.c", "\x1a\nuint8 bad;\n\n"}}, "a.c", Progress("a.c", 0), ""},
      {"NulAndHighBytes", {{"a.c", "a\0b\n\xff\x80\n"s}}, "a.c", Progress("a.c", 2), ""},
      // File-name rules, line 0, upper-case rule first.
      {"CanBus", {{"CanBus.c", ""}}, "CanBus.c", Progress("CanBus.c", 0), ""},
      {"CanUnderscoreBus", {{"Can_Bus.c", ""}}, "Can_Bus.c", Progress("Can_Bus.c", 0), ""},
      {"CAN_Driver", {{"CAN_Driver.c", ""}}, "CAN_Driver.c", Progress("CAN_Driver.c", 0), Diag(0, kTwoUpper)},
      {"LedHyphenDriver", {{"Led-Driver.c", ""}}, "Led-Driver.c", Progress("Led-Driver.c", 0), Diag(0, kAlnum)},
      {"LeadingUnderscore", {{"_helper.c", ""}}, "_helper.c", Progress("_helper.c", 0), Diag(0, kAlnum)},
      {"ADCHyphenValue",
       {{"ADC-Value.c", ""}},
       "ADC-Value.c",
       Progress("ADC-Value.c", 0),
       Diag(0, kTwoUpper) + Diag(0, kAlnum)},
      {"LeadingBlank", {{" led.c", ""}}, " led.c", Progress(" led.c", 0), ""},
      {"InnerBlank", {{"Led Driver.c", ""}}, "Led Driver.c", Progress("Led Driver.c", 0), Diag(0, kAlnum)},
      {"TwoExtensions", {{"x.y-z.c", ""}}, "x.y-z.c", Progress("x.y-z.c", 0), ""},
      {"HeaderName", {{"LedDriver.h", ""}}, "LedDriver.h", Progress("LedDriver.h", 0), ""},
      {"UpperCaseExtension", {{"myFILE.C", ""}}, "myFILE.C", Progress("myFILE.C", 0), Diag(0, kTwoUpper)},
      // Quoting in the progress line; the diagnostic shows the path as it is.
      {"AmpersandInName", {{"a&b.c", ""}}, "a&b.c", "Reading File : \"a&&b.c\" size: 0 lines\n", Diag(0, kAlnum)},
      {"QuoteInName", {{"q\"t.c", ""}}, "q\"t.c", "Reading File : \"q&\"t.c\" size: 0 lines\n", Diag(0, kAlnum)},
      // Companion headers: the header's user type makes the file's line a
      // declaration; the header's own declarations are not reported here.
      {"CompanionOfLowerC",
       {{"Led.c", kUsesType}, {"Led.h", kHeaderTypedef}},
       "Led.c",
       Progress("Led.c", 2),
       UsesTypeDiags("Led")},
      {"NoCompanion", {{"Led.c", kUsesType}}, "Led.c", Progress("Led.c", 2), ""},
      {"CompanionIsDirectory", {{"Led.c", kUsesType}, Dir("Led.h")}, "Led.c", Progress("Led.c", 2), ""},
      {"CompanionIsBrokenLink", {{"Led.c", kUsesType}, Link("Led.h", "gone.h")}, "Led.c", Progress("Led.c", 2), ""},
      {"CompanionIsLink",
       {{"Led.c", kUsesType}, {"types.txt", kHeaderTypedef}, Link("Led.h", "types.txt")},
       "Led.c",
       Progress("Led.c", 2),
       UsesTypeDiags("Led")},
      {"UpperCaseHeaderOnly", {{"Led.H", kUsesType}}, "Led.H", Progress("Led.H", 2), ""},
      {"CompanionOfUpperC",
       {{"x.C", kUsesType}, {"x.h", kHeaderTypedef}},
       "x.C",
       Progress("x.C", 2),
       UsesTypeDiags("x")},
      {"CompanionOfUpperH",
       {{"x.H", kUsesType}, {"x.h", kHeaderTypedef}},
       "x.H",
       Progress("x.H", 2),
       UsesTypeDiags("x")},
      {"HeaderIsItsOwnCompanion",
       {{"x.h", kHeaderTypedef}},
       "x.h",
       Progress("x.h", 2),
       Diag(1, "Ctr_t does not fit: ^x[_][A-Za-z0-9_#]+$")},
      {"OnlyExtension",
       {{".c", kUsesType}, {".h", kHeaderTypedef}},
       ".c",
       Progress(".c", 2),
       Diag(0, kAlnum) + UsesTypeDiags("")},
      // A file that cannot be opened keeps its progress text open; the empty
      // line after the scan ends it.
      {"UnopenableFile", {Locked("GA.c")}, "GA.c", Unopened("GA.c"), Diag(0, kTwoUpper)},
      {"LinkToFile", {{"data.txt", "a\nb\n"}, Link("Ab.c", "data.txt")}, "Ab.c", Progress("Ab.c", 2), ""},
  };
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, SingleFile, ::testing::ValuesIn(SingleFileCases()),
                         [](const ::testing::TestParamInfo<SingleFileCase>& info) {
                           return std::string(info.param.label);
                         });

// ---------------------------------------------------------------------------
// Walk mode: the expected output is built in the order in which the
// directory listing returns the entries, depth-first and pre-order, with
// links followed.

// Paths of every entry that is not a directory below directory, relative to
// it, in walk order.
void ListInWalkOrder(const fs::path& directory, const std::string& prefix, std::vector<std::string>& entries) {
  for (fs::directory_iterator it(directory), end; it != end; ++it) {
    const std::string relative = prefix + it->path().filename().string();
    if (fs::is_directory(fs::status(it->path()))) {
      ListInWalkOrder(it->path(), relative + "/", entries);
    } else {
      entries.push_back(relative);
    }
  }
}

enum class RootForm {
  kAbsolute,        // the folder's absolute path
  kTrailingSlash,   // the same with a "/" at the end
  kRelative,        // relative to the working directory (the tree)
  kNoArgument,      // no argument; the folder is the working directory
  kAfterOtherArgs,  // the absolute path after arguments that are ignored
};

struct FileBlock {
  std::string progress;
  std::string diagnostics;  // "%P" stands for the entry's path
};

struct WalkCase {
  const char* label;
  std::vector<Item> items;
  std::string rootDir;  // the folder to walk, relative to the tree ("" = the tree)
  RootForm form;
  std::map<std::string, FileBlock> files;  // every non-directory entry, relative to rootDir
  bool unprivileged = false;
};

class Walk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walk, VisitsEntriesDepthFirstInListingOrder) {
  const WalkCase& c = GetParam();
  TempTree tree(c.unprivileged ? Reach::kEveryone : Reach::kOwner);
  Build(tree, c.items);
  const std::string folder = c.rootDir.empty() ? tree.Root() : tree.Path(c.rootDir);

  std::vector<std::string> args;
  std::string workingDir;
  std::string shownRoot;  // the root as the search line shows it
  std::string prefix;     // what stands in front of a relative entry path
  switch (c.form) {
    case RootForm::kAbsolute:
      args = {folder};
      shownRoot = folder;
      prefix = folder + "/";
      break;
    case RootForm::kTrailingSlash:
      args = {folder + "/"};
      shownRoot = folder + "/";
      prefix = folder + "/";
      break;
    case RootForm::kRelative:
      workingDir = tree.Root();
      args = {c.rootDir};
      shownRoot = c.rootDir;
      prefix = c.rootDir + "/";
      break;
    case RootForm::kNoArgument:
      workingDir = folder;
      shownRoot = fs::canonical(folder).string();
      prefix = shownRoot + "/";
      break;
    case RootForm::kAfterOtherArgs:
      args = {"", "missing", tree.Root(), tree.Path("Outside.c"), folder};
      shownRoot = folder;
      prefix = folder + "/";
      break;
  }

  std::vector<std::string> entries;
  ListInWalkOrder(folder, "", entries);
  ASSERT_EQ(entries.size(), c.files.size()) << "the case must describe every entry";
  std::string progress;
  std::string diagnostics;
  for (const std::string& entry : entries) {
    auto block = c.files.find(entry);
    ASSERT_NE(block, c.files.end()) << "entry not described: " << entry;
    progress += block->second.progress;
    diagnostics += Replace(block->second.diagnostics, "%P", prefix + entry);
  }
  RunResult run = c.unprivileged ? RunUnprivileged(args, workingDir) : RunLint(args, workingDir);
  if (CouldNotSwitchUser(run)) GTEST_SKIP() << SwitchUserSkipReason(run);
  ExpectRun(run, 0, RunHeader(QuotedPath(shownRoot)) + progress + "\n" + diagnostics + "Operation Finsh\n");
}

// A file named in upper case, loaded with no lines, draws one diagnostic
// that shows where it was met.
FileBlock UpperEmpty(const std::string& name) { return {Progress(name, 0), Diag(0, kTwoUpper)}; }
FileBlock UpperUnopenable(const std::string& name) { return {Unopened(name), Diag(0, kTwoUpper)}; }

std::vector<WalkCase> WalkCases() {
  return {
      {"DepthFirstPreOrder",
       {{"RA.c"}, {"RB.c"}, {"m/MA.c"}, {"m/MB.c"}, {"m/n/NA.c"}, {"m/n/NB.c"}, {"z/ZA.c"}, {"RC.c"}},
       "",
       RootForm::kAbsolute,
       {{"RA.c", UpperEmpty("RA.c")},
        {"RB.c", UpperEmpty("RB.c")},
        {"RC.c", UpperEmpty("RC.c")},
        {"m/MA.c", UpperEmpty("MA.c")},
        {"m/MB.c", UpperEmpty("MB.c")},
        {"m/n/NA.c", UpperEmpty("NA.c")},
        {"m/n/NB.c", UpperEmpty("NB.c")},
        {"z/ZA.c", UpperEmpty("ZA.c")}}},
      {"DirectoryLinkIsWalked",
       {{"m/MA.c"}, Link("alias", "m"), {"RA.c"}},
       "",
       RootForm::kAbsolute,
       {{"m/MA.c", UpperEmpty("MA.c")}, {"alias/MA.c", UpperEmpty("MA.c")}, {"RA.c", UpperEmpty("RA.c")}}},
      {"SkipsOtherNamesAndWalksSourceNamedFolders",
       {{"src.c/IN.c"}, Dir("src.h"), {"notes.txt", "a\n"}, {"AB.cpp"}, {"Makefile"}, {"ok.h", "a\n"}},
       "",
       RootForm::kTrailingSlash,
       {{"src.c/IN.c", UpperEmpty("IN.c")},
        {"notes.txt", {}},
        {"AB.cpp", {}},
        {"Makefile", {}},
        {"ok.h", {Progress("ok.h", 1), ""}}}},
      // Files that cannot be opened (no permission) keep their progress
      // text open: the next output continues on the same line.
      {"TwoUnopenableFilesEndTheRun",
       {Locked("GA.c"), Locked("GB.c")},
       "",
       RootForm::kAbsolute,
       {{"GA.c", UpperUnopenable("GA.c")}, {"GB.c", UpperUnopenable("GB.c")}},
       true},
      {"UnopenableFilesAmongReadableOnes",
       {Locked("GA.c"),
        {"ok1.c", "a\n"},
        {"ok2.c", "a\nb\n"},
        Locked("GB.c"),
        {"ok3.c", ""},
        {"sub/ok4.c", "a\n"},
        Locked("sub/GC.c")},
       "",
       RootForm::kAbsolute,
       {{"GA.c", UpperUnopenable("GA.c")},
        {"GB.c", UpperUnopenable("GB.c")},
        {"sub/GC.c", UpperUnopenable("GC.c")},
        {"ok1.c", {Progress("ok1.c", 1), ""}},
        {"ok2.c", {Progress("ok2.c", 2), ""}},
        {"ok3.c", {Progress("ok3.c", 0), ""}},
        {"sub/ok4.c", {Progress("ok4.c", 1), ""}}},
       true},
      {"CompanionHeaderReportedOnlyForItself",
       {{"Led.c", kUsesType}, {"Led.h", kHeaderTypedef}},
       "",
       RootForm::kAbsolute,
       {{"Led.c", {Progress("Led.c", 2), UsesTypeDiags("Led")}},
        {"Led.h", {Progress("Led.h", 2), Diag(1, "Ctr_t does not fit: ^Led[_][A-Za-z0-9_#]+$")}}}},
      {"AmpersandAndQuoteInRootFolder",
       {{"a&b\"c/AB.c"}, {"a&b\"c/d&e/x&y.c", "a\n"}},
       "a&b\"c",
       RootForm::kAbsolute,
       {{"AB.c", UpperEmpty("AB.c")}, {"d&e/x&y.c", {"Reading File : \"x&&y.c\" size: 1 lines\n", Diag(0, kAlnum)}}}},
      {"RelativeRoot",
       {{"rel/AB.c"}, {"rel/s/CD.c"}},
       "rel",
       RootForm::kRelative,
       {{"AB.c", UpperEmpty("AB.c")}, {"s/CD.c", UpperEmpty("CD.c")}}},
      {"NoArgumentWalksWorkingDirectory",
       {{"AB.c"}, {"sub/CD.c"}},
       "",
       RootForm::kNoArgument,
       {{"AB.c", UpperEmpty("AB.c")}, {"sub/CD.c", UpperEmpty("CD.c")}}},
      {"OnlyLastArgumentUsed",
       {{"Outside.c"}, {"scan/AB.c"}},
       "scan",
       RootForm::kAfterOtherArgs,
       {{"AB.c", UpperEmpty("AB.c")}}},
  };
}

// A broken link is a file that cannot be opened, like any other entry that
// is not a directory. Disabled: the walk reports a broken link as an entry
// whose type cannot be determined instead of examining it.
std::vector<WalkCase> BrokenLinkWalkCases() {
  return {
      {"TwoUnopenableFilesEndTheRun",
       {Link("GA.c", "gone/GA.c"), Link("GB.c", "gone/GB.c")},
       "",
       RootForm::kAbsolute,
       {{"GA.c", UpperUnopenable("GA.c")}, {"GB.c", UpperUnopenable("GB.c")}}},
      {"UnopenableFilesAmongReadableOnes",
       {Link("GA.c", "gone"),
        {"ok1.c", "a\n"},
        {"ok2.c", "a\nb\n"},
        Link("GB.c", "gone"),
        {"ok3.c", ""},
        {"sub/ok4.c", "a\n"},
        Link("sub/GC.c", "gone")},
       "",
       RootForm::kAbsolute,
       {{"GA.c", UpperUnopenable("GA.c")},
        {"GB.c", UpperUnopenable("GB.c")},
        {"sub/GC.c", UpperUnopenable("GC.c")},
        {"ok1.c", {Progress("ok1.c", 1), ""}},
        {"ok2.c", {Progress("ok2.c", 2), ""}},
        {"ok3.c", {Progress("ok3.c", 0), ""}},
        {"sub/ok4.c", {Progress("ok4.c", 1), ""}}}},
  };
}

INSTANTIATE_TEST_SUITE_P(BrokenLinks, Walk, ::testing::ValuesIn(BrokenLinkWalkCases()),
                         [](const ::testing::TestParamInfo<WalkCase>& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(Trees, Walk, ::testing::ValuesIn(WalkCases()),
                         [](const ::testing::TestParamInfo<WalkCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace skerry::test
