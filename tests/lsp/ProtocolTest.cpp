// The server through its protocol: lifecycle, malformed input, versions,
// the order of what it publishes, companion headers.
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <string>
#include <vector>

#include "LspTestClient.h"
#include "lsp/CheckWorker.h"
#include "lsp/Uri.h"

namespace skerry::lsp {
namespace {

using test::LspTestClient;

// The checker messages of a publishDiagnostics (the last line of each
// message).
std::vector<std::string> CheckerMessages(const Json& publish) {
  std::vector<std::string> messages;
  for (const Json& diagnostic : publish["params"]["diagnostics"]) {
    const std::string text = diagnostic["message"];
    messages.push_back(text.substr(text.rfind('\n') + 1));
  }
  return messages;
}

const char* const kUri = "file:///nowhere/LedDriver.c";

struct MalformedCase {
  const char* name;
  std::string bytes;
  int code;  // the error answered; 0: none
};

TEST(ProtocolTest, MalformedInputIsAnsweredAndTheServerGoesOn) {
  const std::vector<MalformedCase> cases = {
      {"NotJson", test::Framed("{\"jsonrpc\":"), kParseError},
      {"NotUtf8Json", test::Framed("{\"jsonrpc\":\"2.0\",\"id\":5,\"method\":\"\xff\xfe\"}"), kParseError},
      {"Array", test::Framed("[1,2]"), kInvalidRequest},
      {"NumberAlone", test::Framed("42"), kInvalidRequest},
      {"NoMethod", test::Framed(R"({"jsonrpc":"2.0","id":7})"), kInvalidRequest},
      {"MethodNotAString", test::Framed(R"({"jsonrpc":"2.0","id":7,"method":3})"), kInvalidRequest},
      {"IdAnObject", test::Framed(R"({"jsonrpc":"2.0","id":{},"method":"x"})"), kInvalidRequest},
      {"UnknownRequest", test::Framed(R"({"jsonrpc":"2.0","id":8,"method":"workspace/symbol","params":{}})"),
       kMethodNotFound},
      {"ParamsOfTheWrongType",
       test::Framed(R"({"jsonrpc":"2.0","id":9,"method":"textDocument/hover","params":{"textDocument":3}})"),
       kInvalidParams},
      {"UnknownNotification", test::Framed(R"({"jsonrpc":"2.0","method":"custom/thing","params":{}})"), 0},
      {"BrokenNotification", test::Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":[]})"), 0},
      {"ChangeOfAClosedDocument",
       test::Framed(
           R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///x.c","version":2},"contentChanges":[]}})"),
       0},
      {"LengthTooShort", "Content-Length: 10\r\n\r\n" + std::string(R"({"jsonrpc":"2.0","method":"x"})"), kParseError},
      {"LengthTooLong", "Content-Length: 70\r\n\r\n" + std::string(R"({"jsonrpc":"2.0","method":"x"})"), kParseError},
      {"Noise", std::string("\x00\x01garbage\r\n\r\n", 13), 0},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    LspTestClient client;
    client.Initialize();
    client.SendRaw(c.bytes);
    // The server still answers a request that follows.
    const Json answer = client.Request("shutdown", nullptr);
    ASSERT_FALSE(answer.is_null());
    EXPECT_TRUE(answer.contains("result"));
    int code = 0;
    for (const Json& message : client.Messages()) {
      if (message.contains("error")) code = message["error"]["code"];
    }
    EXPECT_EQ(code, c.code);
    client.Notify("exit", nullptr);
    EXPECT_EQ(client.Finish(), 0);
  }
}

TEST(ProtocolTest, LifecycleRules) {
  struct Step {
    const char* method;
    int code;  // 0: a result
  };
  const std::vector<std::pair<const char*, std::vector<Step>>> cases = {
      {"BeforeInitialize", {{"textDocument/hover", kServerNotInitialized}, {"initialize", 0}}},
      {"InitializeTwice", {{"initialize", 0}, {"initialize", kInvalidRequest}}},
      {"AfterShutdown", {{"initialize", 0}, {"shutdown", 0}, {"textDocument/hover", kInvalidRequest}}},
  };
  for (const auto& [name, steps] : cases) {
    SCOPED_TRACE(name);
    LspTestClient client;
    for (const Step& step : steps) {
      const Json params = std::string(step.method) == "initialize"
                              ? Json{{"capabilities", Json::object()}}
                              : Json{{"textDocument", {{"uri", kUri}}}, {"position", {{"line", 0}, {"character", 0}}}};
      const Json answer = client.Request(step.method, params);
      ASSERT_FALSE(answer.is_null());
      EXPECT_EQ(answer.contains("error") ? answer["error"]["code"].get<int>() : 0, step.code) << step.method;
    }
  }
}

TEST(ProtocolTest, ExitCodeTellsWhetherShutdownCameFirst) {
  LspTestClient withShutdown;
  withShutdown.Initialize();
  withShutdown.Request("shutdown", nullptr);
  withShutdown.Notify("exit", nullptr);
  EXPECT_EQ(withShutdown.Finish(), 0);

  LspTestClient without;
  without.Initialize();
  without.Notify("exit", nullptr);
  EXPECT_EQ(without.Finish(), 1);

  LspTestClient gone;  // the client goes away: the input ends
  gone.Initialize();
  gone.Open(kUri, "uint8 ucX;\n");
  EXPECT_EQ(gone.Finish(), 1);
}

TEST(ProtocolTest, DiagnosticsCarryTheVersionTheyWereComputedFromInOrder) {
  LspTestClient client;
  client.Initialize();
  client.Open(kUri, "uint8 ucA;\nvoid LedDriver_Init(void);\n", 1);
  const int kLast = 60;
  for (int version = 2; version <= kLast; ++version) {
    std::string text;
    for (int line = 0; line < version; ++line) text += "uint8 uc" + std::to_string(line) + ";\n";
    client.ChangeAll(kUri, text + "void LedDriver_Init(void);\n", version);
  }
  const Json last = client.NextDiagnostics(kUri, kLast);
  ASSERT_FALSE(last.is_null());
  // Each text of version v has v lines, each a finding.
  EXPECT_EQ(last["params"]["diagnostics"].size(), static_cast<std::size_t>(kLast));
  long long previous = 0;
  int published = 0;
  for (const Json& message : client.Messages()) {
    if (message.value("method", "") != "textDocument/publishDiagnostics") continue;
    const long long version = message["params"]["version"];
    EXPECT_GE(version, previous);
    EXPECT_EQ(message["params"]["diagnostics"].size(), static_cast<std::size_t>(version));
    previous = version;
    ++published;
  }
  EXPECT_LE(published, kLast);
}

TEST(ProtocolTest, IncrementalChanges) {
  LspTestClient client;
  client.Initialize();
  client.Open(kUri, "uint8 ucOk;\nuint8 ucB;\nvoid LedDriver_Init(void);\n", 1);
  Json first = client.NextDiagnostics(kUri, 1);
  ASSERT_EQ(CheckerMessages(first), (std::vector<std::string>{"ucOk does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$",
                                                              "ucB does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$"}));
  EXPECT_EQ(first["params"]["diagnostics"][0]["range"],
            Json::parse(R"({"start":{"line":0,"character":6},"end":{"line":0,"character":10}})"));
  // Replace "ucOk" by a right name, and add a line at the end.
  client.Notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                 {"contentChanges",
                  {{{"range", {{"start", {{"line", 0}, {"character", 6}}}, {"end", {{"line", 0}, {"character", 10}}}}},
                    {"text", "LedDriver_ucOk"}},
                   {{"range", {{"start", {{"line", 3}, {"character", 0}}}, {"end", {{"line", 3}, {"character", 0}}}}},
                    {"text", "#define bad 1\n"}}}}});
  Json second = client.NextDiagnostics(kUri, 2);
  EXPECT_EQ(CheckerMessages(second), (std::vector<std::string>{"ucB does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$",
                                                               "bad does not fit: ^[_]*[A-Z0-9_#]+$"}));
}

TEST(ProtocolTest, ColumnsCountInTheNegotiatedEncoding) {
  // The file-name rules cover the first line: "/* \u00e9\U0001d11e */" is 9
  // UTF-16 units and 12 bytes long.
  const std::vector<std::pair<Json, int>> cases = {
      {Json::object(), 9},
      {{{"general", {{"positionEncodings", {"utf-16"}}}}}, 9},
      {{{"general", {{"positionEncodings", {"utf-8", "utf-16"}}}}}, 12},
  };
  for (const auto& [capabilities, end] : cases) {
    SCOPED_TRACE(capabilities.dump());
    LspTestClient client;
    client.Initialize(capabilities);
    client.Open("file:///e/CAN_Bus.c", "/* \xc3\xa9\xf0\x9d\x84\x9e */\n", 1);
    const Json publish = client.NextDiagnostics("file:///e/CAN_Bus.c", 1);
    ASSERT_EQ(publish["params"]["diagnostics"].size(), 1u);
    EXPECT_EQ(publish["params"]["diagnostics"][0]["range"]["end"]["character"], end);
  }
}

TEST(ProtocolTest, SourceFollowsItsCompanionHeaderBufferThenTheDisk) {
  const boost::filesystem::path folder =
      boost::filesystem::temp_directory_path() / boost::filesystem::unique_path("lsp-%%%%-%%%%");
  boost::filesystem::create_directories(folder);
  {
    std::ofstream onDisk((folder / "LedDriver.h").string());
    onDisk << "typedef uint8 LedDriver_Byte_t;\n";
  }
  const std::string source = UriOfPath((folder / "LedDriver.c").string());
  const std::string header = UriOfPath((folder / "LedDriver.h").string());
  // Level is reported only when a header declares the type LedDriver_Level_t.
  const std::string text = "LedDriver_Level_t Level;\nLedDriver_Byte_t Byte;\nvoid LedDriver_Init(void);\n";
  const std::string byteFinding = "Byte does not fit: ^LedDriver[_][A-Za-z0-9_#]+$";
  const std::string levelFinding = "Level does not fit: ^LedDriver[_][A-Za-z0-9_#]+$";
  {
    LspTestClient client;
    client.Initialize();
    client.Open(source, text, 1);
    EXPECT_EQ(CheckerMessages(client.NextDiagnostics(source, 1)), (std::vector<std::string>{byteFinding}));
    client.Open(header, "typedef uint8 LedDriver_Level_t;\n", 1);
    EXPECT_EQ(CheckerMessages(client.NextDiagnostics(source, 1)), (std::vector<std::string>{levelFinding}));
    client.ChangeAll(header, "typedef uint8 LedDriver_Level_t;\ntypedef uint8 LedDriver_Byte_t;\n", 2);
    EXPECT_EQ(CheckerMessages(client.NextDiagnostics(source, 1)),
              (std::vector<std::string>{levelFinding, byteFinding}));
    client.Notify("textDocument/didClose", {{"textDocument", {{"uri", header}}}});
    EXPECT_TRUE(client.NextDiagnostics(header)["params"]["diagnostics"].empty());
    EXPECT_EQ(CheckerMessages(client.NextDiagnostics(source, 1)), (std::vector<std::string>{byteFinding}));
  }
  boost::filesystem::remove_all(folder);
}

TEST(ProtocolTest, WaiversHideTheirLines) {
  LspTestClient client;
  client.Initialize();
  client.Open("file:///w/CAN_Bus.c",
              "/* skerry-lint: allow-file-name */\n"
              "uint8 ucA; /* skerry-lint: allow */\n"
              "// skerry-lint: allow-next-line\n"
              "uint8 ucB;\n"
              "uint8 ucC;\n"
              "void CAN_Init(void);\n",
              1);
  EXPECT_EQ(CheckerMessages(client.NextDiagnostics("file:///w/CAN_Bus.c", 1)),
            (std::vector<std::string>{"ucC does not fit: ^CAN[_]uc[A-Za-z0-9_#]+$"}));
}

TEST(ProtocolTest, HugeAndBinaryBuffers) {
  ServerOptions options;
  options.maxMessageBytes = 1 << 20;
  LspTestClient client(options);
  client.Initialize();
  // Over the limit: dropped with a log message; the document is not open.
  client.Open(kUri, std::string(2 << 20, 'x'), 1);
  // Binary bytes, NUL and 0x1A included, within the limit.
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary.push_back(static_cast<char>((i * 7919) % 128));
  client.Open("file:///b/Bin.c", binary + "\nuint8 ucX;\n", 3);
  EXPECT_FALSE(client.NextDiagnostics("file:///b/Bin.c", 3).is_null());
  bool logged = false;
  for (const Json& message : client.Messages()) {
    logged = logged || (message.value("method", "") == "window/logMessage" &&
                        message["params"]["message"].get<std::string>().find("limit") != std::string::npos);
  }
  EXPECT_TRUE(logged);
  EXPECT_FALSE(client.Request("shutdown", nullptr).is_null());
}

TEST(CheckWorkerTest, ABurstOfRequestsForOneDocumentIsCheckedOnceMore) {
  std::mutex mutex;
  std::condition_variable changed;
  bool release = false;
  std::vector<std::string> checked;
  CheckWorker worker([&](const std::string& uri) {
    std::unique_lock<std::mutex> lock(mutex);
    checked.push_back(uri);
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  });
  worker.Request("a");
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return !checked.empty(); });
  }
  // While "a" is being checked, a burst for "a" and "b".
  for (int i = 0; i < 1000; ++i) {
    worker.Request("a");
    worker.Request("b");
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    release = true;
  }
  changed.notify_all();
  worker.Drain();
  EXPECT_EQ(checked, (std::vector<std::string>{"a", "a", "b"}));
}

}  // namespace
}  // namespace skerry::lsp

namespace skerry::lsp {
namespace {

// A workspace folder with LedDriver.c and baseline files, removed at the end.
class BaselineWorkspace {
 public:
  BaselineWorkspace()
      : root_(boost::filesystem::temp_directory_path() / boost::filesystem::unique_path("lsp-baseline-%%%%-%%%%")) {
    boost::filesystem::create_directories(root_ / "src");
  }
  ~BaselineWorkspace() { boost::filesystem::remove_all(root_); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream out((root_ / name).string(), std::ios::binary);
    out << text;
  }
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  boost::filesystem::path root_;
};

std::string Entry(int count, const std::string& path, const std::string& message) {
  return std::to_string(count) + "\t" + path + "\t" + message + "\n";
}

TEST(BaselineTest, KnownViolationsAreHiddenAsTheGateCountsThem) {
  const std::string a = "ucA does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$";
  const std::string b = "ucB does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$";
  const std::string text = "uint8 ucA;\nuint8 ucA;\nuint8 ucB;\nvoid LedDriver_Init(void);\n";
  struct Case {
    const char* name;
    std::string file;  // written at the root
    std::string contents;
    Json options;  // initializationOptions
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases = {
      {"NoBaseline", "", "", Json::object(), {a, a, b}},
      {"AtTheRoot", "skerry-lint.baseline", "# comment\n" + Entry(1, "src/LedDriver.c", a), Json::object(), {a, b}},
      {"CountsCover",
       "skerry-lint.baseline",
       Entry(2, "src/LedDriver.c", a) + Entry(1, "src/LedDriver.c", b),
       Json::object(),
       {}},
      {"OtherPath", "skerry-lint.baseline", Entry(5, "LedDriver.c", a), Json::object(), {a, a, b}},
      {"NamedInOptions",
       "ci/known.txt",
       Entry(1, "../src/LedDriver.c", a) + "",
       {{"baseline", "ci/known.txt"}},
       {a, a, b}},
      {"NamedBelowTheRoot", "names.baseline", Entry(1, "src/LedDriver.c", b), {{"baseline", "names.baseline"}}, {a, a}},
      {"NotABaseline", "skerry-lint.baseline", "garbage\n", Json::object(), {a, a, b}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BaselineWorkspace workspace;
    boost::filesystem::create_directories(boost::filesystem::path(workspace.Path("ci")));
    if (!c.file.empty()) workspace.Write(c.file, c.contents);
    test::LspTestClient client;
    client.Request("initialize", {{"rootUri", UriOfPath(workspace.Path(""))},
                                  {"capabilities", Json::object()},
                                  {"initializationOptions", c.options}});
    const std::string uri = UriOfPath(workspace.Path("src/LedDriver.c"));
    client.Open(uri, text, 1);
    EXPECT_EQ(CheckerMessages(client.NextDiagnostics(uri, 1)), c.shown);
  }
}

TEST(BaselineTest, AChangedBaselineIsReadAgainAndAMissingNamedOneIsReported) {
  const std::string a = "ucA does not fit: ^LedDriver[_]uc[A-Za-z0-9_#]+$";
  BaselineWorkspace workspace;
  workspace.Write("skerry-lint.baseline", Entry(1, "src/LedDriver.c", a));
  test::LspTestClient client;
  client.Request("initialize", {{"rootUri", UriOfPath(workspace.Path(""))}, {"capabilities", Json::object()}});
  const std::string uri = UriOfPath(workspace.Path("src/LedDriver.c"));
  client.Open(uri, "uint8 ucA;\nvoid LedDriver_Init(void);\n", 1);
  EXPECT_TRUE(client.NextDiagnostics(uri, 1)["params"]["diagnostics"].empty());
  workspace.Write("skerry-lint.baseline", "# emptied\n");
  client.ChangeAll(uri, "uint8 ucA;\nvoid LedDriver_Init(void);\n", 2);
  EXPECT_EQ(CheckerMessages(client.NextDiagnostics(uri, 2)), (std::vector<std::string>{a}));

  test::LspTestClient named;
  named.Request("initialize", {{"rootUri", UriOfPath(workspace.Path(""))},
                               {"capabilities", Json::object()},
                               {"initializationOptions", {{"baseline", "missing.baseline"}}}});
  named.Open(uri, "uint8 ucA;\nvoid LedDriver_Init(void);\n", 1);
  EXPECT_EQ(CheckerMessages(named.NextDiagnostics(uri, 1)), (std::vector<std::string>{a}));
  bool logged = false;  // before the diagnostics
  for (const Json& message : named.Messages()) {
    logged = logged || (message.value("method", "") == "window/logMessage" &&
                        message["params"]["message"].get<std::string>().find("missing.baseline") != std::string::npos);
  }
  EXPECT_TRUE(logged);
}

}  // namespace
}  // namespace skerry::lsp
