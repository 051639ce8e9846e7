// skerry-lint-lsp: the naming checker as a language server on standard
// input and output.
#include <cstring>
#include <iostream>

#include "lsp/Server.h"
#include "lsp/StandardStreams.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "skerry-lint-lsp 1.0\n";
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << "usage: skerry-lint-lsp [--stdio]\n"
                   "Speaks the Language Server Protocol on standard input and output.\n";
      return 0;
    }
  }
  skerry::lsp::StandardInput input;
  skerry::lsp::StandardOutputSink output;
  skerry::lsp::Server server(input, output);
  return server.Run();
}
