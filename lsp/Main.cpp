// skerry-lint-lsp: the naming checker as a language server on standard
// input and output.
#include <cstring>
#include <iostream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "lsp/Server.h"
#include "lsp/StandardStreams.h"

namespace {

// Every check makes buffers of the size of the document and of its
// diagnostics (a megabyte for a large legacy file) and frees them. glibc
// would map each one afresh and unmap it when freed, paying for the page
// faults on every keystroke; kept in the heap they are reused, and memory
// stays at the largest check's.
void TuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  TuneAllocator();
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
