// Starts skerry-lint-lsp for C files and hands its diagnostics, quick fixes
// and hovers to VS Code.
const vscode = require("vscode");
const { LanguageClient } = require("vscode-languageclient/node");

let client;

function activate(context) {
  const settings = vscode.workspace.getConfiguration("skerryLint");
  const command = settings.get("serverPath") || "skerry-lint-lsp";
  const baseline = settings.get("baseline");
  client = new LanguageClient(
    "skerryLint",
    "Skerry_Lint",
    { command, args: ["--stdio"] },
    {
      documentSelector: [{ scheme: "file", language: "c" }, { scheme: "untitled", language: "c" }],
      initializationOptions: baseline ? { baseline } : {},
    }
  );
  client.start();
  context.subscriptions.push({ dispose: () => client && client.stop() });
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
