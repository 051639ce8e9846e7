#include "lsp/Server.h"

#include <fstream>
#include <iterator>

#include "analysis/SourceLines.h"
#include "lsp/CodeActions.h"
#include "lsp/DiagnosticConversion.h"
#include "lsp/Hover.h"
#include "lsp/Uri.h"

namespace skerry::lsp {

namespace {

constexpr const char* kVersion = "1.0";

// The bytes of the file at path, or nothing when it cannot be read.
std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<ContentChange> ChangesOf(const Json& list) {
  std::vector<ContentChange> changes;
  for (const Json& entry : list) {
    ContentChange change;
    change.text = entry.at("text").get<std::string>();
    if (const auto range = entry.find("range"); range != entry.end() && !range->is_null()) {
      change.hasRange = true;
      change.startLine = range->at("start").at("line").get<std::uint32_t>();
      change.startCharacter = range->at("start").at("character").get<std::uint32_t>();
      change.endLine = range->at("end").at("line").get<std::uint32_t>();
      change.endCharacter = range->at("end").at("character").get<std::uint32_t>();
    }
    changes.push_back(std::move(change));
  }
  return changes;
}

bool Offers(const Json& capabilities, std::initializer_list<const char*> path) {
  const Json* at = &capabilities;
  for (const char* key : path) {
    if (!at->is_object()) return false;
    const auto next = at->find(key);
    if (next == at->end()) return false;
    at = &*next;
  }
  return at->is_boolean() ? at->get<bool>() : !at->is_null();
}

}  // namespace

Server::Server(ByteSource& input, ByteSink& output, ServerOptions options)
    : reader_(input, options.maxMessageBytes), writer_(output), connection_(writer_), dispatcher_(connection_) {
  Register();
  worker_ = std::make_unique<CheckWorker>([this](const std::string& uri) { CheckAndPublish(uri); });
}

Server::~Server() { worker_.reset(); }

int Server::Run() {
  std::string body;
  auto reportProblems = [this] {
    for (const std::string& problem : reader_.TakeProblems()) connection_.Log(2, "skerry-lint-lsp: " + problem);
  };
  while (!exit_ && reader_.Next(body)) {
    reportProblems();
    if (!dispatcher_.Handle(body)) reader_.Resynchronize(body);
    reportProblems();
  }
  reportProblems();
  worker_.reset();
  return shutdown_ ? 0 : 1;
}

void Server::Register() {
  dispatcher_.SetGate([this](const std::string& method, bool isRequest) {
    if (method == "exit") return true;
    if (!initialized_) {
      if (!isRequest) return false;
      if (method != "initialize") throw RpcError(kServerNotInitialized, "the server has not been initialized");
      return true;
    }
    if (shutdown_) {
      if (isRequest) throw RpcError(kInvalidRequest, "the server is shutting down");
      return false;
    }
    if (method == "initialize") throw RpcError(kInvalidRequest, "the server is initialized already");
    return true;
  });

  dispatcher_.OnRequest("initialize", [this](const Json& params) { return Initialize(params); });
  dispatcher_.OnNotification("initialized", [](const Json&) {});
  dispatcher_.OnRequest("shutdown", [this](const Json&) {
    shutdown_ = true;
    return Json();
  });
  dispatcher_.OnNotification("exit", [this](const Json&) { exit_ = true; });

  dispatcher_.OnNotification("textDocument/didOpen", [this](const Json& params) {
    const Json& item = params.at("textDocument");
    const std::string uri = item.at("uri").get<std::string>();
    documents_.Open(uri, item.at("text").get<std::string>(), item.at("version").get<std::int64_t>());
    RequestWithDependents(*documents_.Find(uri));
  });
  dispatcher_.OnNotification("textDocument/didChange", [this](const Json& params) {
    const Json& item = params.at("textDocument");
    const std::string uri = item.at("uri").get<std::string>();
    if (!documents_.Change(uri, ChangesOf(params.at("contentChanges")), item.at("version").get<std::int64_t>(),
                           encoding_)) {
      connection_.Log(2, "skerry-lint-lsp: a change of a document that is not open: " + uri);
      return;
    }
    RequestWithDependents(*documents_.Find(uri));
  });
  dispatcher_.OnNotification("textDocument/didSave", [this](const Json& params) {
    if (const auto document = documents_.Find(params.at("textDocument").at("uri").get<std::string>())) {
      RequestWithDependents(*document);
    }
  });
  dispatcher_.OnNotification("textDocument/didClose", [this](const Json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    const auto document = documents_.Find(uri);
    documents_.Close(uri);
    worker_->Request(uri);  // publishes no diagnostics for it
    if (document) {
      for (const std::string& source : documents_.SourcesOfHeader(document->path)) worker_->Request(source);
    }
  });

  dispatcher_.OnRequest("textDocument/codeAction", [this](const Json& params) -> Json {
    const auto document = documents_.Find(params.at("textDocument").at("uri").get<std::string>());
    if (!document) return Json::array();
    const Json& range = params.at("range");
    ActionOptions options;
    options.encoding = encoding_;
    options.annotatedEdits = annotatedEdits_;
    SourceLines lines;
    return CodeActionsFor(*document, FindingsOf(*document, lines), range.at("start").at("line").get<std::uint32_t>(),
                          range.at("end").at("line").get<std::uint32_t>(), options);
  });
  dispatcher_.OnRequest("textDocument/hover", [this](const Json& params) -> Json {
    const auto document = documents_.Find(params.at("textDocument").at("uri").get<std::string>());
    if (!document) return nullptr;
    const Json& position = params.at("position");
    SourceLines lines;
    return HoverAt(*document, FindingsOf(*document, lines), position.at("line").get<std::uint32_t>(),
                   position.at("character").get<std::uint32_t>(), encoding_);
  });
  // Requests are answered in order, so there is nothing left to cancel.
  dispatcher_.OnNotification("$/cancelRequest", [](const Json&) {});
  dispatcher_.OnNotification("workspace/didChangeConfiguration", [](const Json&) {});
}

Json Server::Initialize(const Json& params) {
  initialized_ = true;
  const Json capabilities = params.value("capabilities", Json::object());
  bool utf8 = false;
  if (const auto general = capabilities.find("general"); general != capabilities.end() && general->is_object()) {
    if (const auto encodings = general->find("positionEncodings");
        encodings != general->end() && encodings->is_array()) {
      for (const Json& encoding : *encodings) utf8 = utf8 || encoding == "utf-8";
    }
  }
  encoding_ = utf8 ? PositionEncoding::kUtf8 : PositionEncoding::kUtf16;
  // The workspace root: rootUri, else the first workspace folder, else
  // rootPath; the baseline named in the initialisation options, else the
  // one at the root.
  std::string root;
  if (const auto uri = params.find("rootUri"); uri != params.end() && uri->is_string()) {
    root = PathOfUri(uri->get<std::string>());
  }
  if (const auto folders = params.find("workspaceFolders");
      root.empty() && folders != params.end() && folders->is_array() && !folders->empty()) {
    root = PathOfUri(folders->front().value("uri", ""));
  }
  if (const auto path = params.find("rootPath"); root.empty() && path != params.end() && path->is_string()) {
    root = path->get<std::string>();
  }
  std::string baselineFile;
  if (const auto options = params.find("initializationOptions"); options != params.end() && options->is_object()) {
    baselineFile = options->value("baseline", "");
  }
  baseline_.Configure(root, baselineFile);
  annotatedEdits_ = Offers(capabilities, {"workspace", "workspaceEdit", "documentChanges"}) &&
                    Offers(capabilities, {"workspace", "workspaceEdit", "changeAnnotationSupport"});
  return {{"capabilities",
           {{"positionEncoding", utf8 ? "utf-8" : "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
            {"codeActionProvider", {{"codeActionKinds", Json::array({"quickfix"})}}},
            {"hoverProvider", true}}},
          {"serverInfo", {{"name", "skerry-lint-lsp"}, {"version", kVersion}}}};
}

void Server::RequestWithDependents(const Document& document) {
  worker_->Request(document.uri);
  for (const std::string& source : documents_.SourcesOfHeader(document.path)) worker_->Request(source);
}

FileFindings Server::FindingsOf(const Document& document, SourceLines& lines) {
  if (!IsCheckedFileName(document.fileName)) return {};
  lines = SourceLines::FromBytes(*document.text);
  SourceLines header;
  const std::string companion = CompanionPath(document.path);
  if (!companion.empty()) {
    if (const auto open = documents_.FindByPath(companion)) {
      header = SourceLines::FromBytes(*open->text);
    } else {
      header = SourceLines::FromBytes(ReadFileBytes(companion));
    }
  }
  BaselineEntryViews known;
  std::string key, error;
  const bool withBaseline = baseline_.EntriesFor(document.path, known, key, error);
  if (!error.empty()) connection_.Log(2, "skerry-lint-lsp: the baseline is not used: " + error);
  return CheckLines(lines, document.fileName, header, withBaseline ? &known : nullptr);
}

void Server::CheckAndPublish(const std::string& uri) {
  try {
    const auto document = documents_.Find(uri);
    if (!document) {
      connection_.Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}});
      return;
    }
    SourceLines lines;
    const FileFindings findings = FindingsOf(*document, lines);
    std::string body = R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)";
    AppendJsonString(body, uri);
    body.append(",\"version\":").append(std::to_string(document->version)).append(",\"diagnostics\":");
    body.append(DiagnosticsJson(findings, lines, encoding_)).append("}}");
    connection_.SendText(body);
  } catch (const std::exception& failure) {
    connection_.Log(1, "skerry-lint-lsp: checking " + uri + " failed: " + failure.what());
  }
}

}  // namespace skerry::lsp
