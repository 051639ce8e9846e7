#include <exception>
#include <string>

#include "driver/LineOutput.h"
#include "driver/RunSequence.h"

int main(int argc, char** argv) {
  try {
    return skerry::RunChecker(argc, argv);
  } catch (const std::exception& failure) {
    // Out of memory, most likely: say so rather than end without a word, and
    // never report the run as completed.
    skerry::WriteLine(std::string("run aborted : ") + failure.what());
    return 2;
  }
}
