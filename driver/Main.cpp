#include "driver/RunSequence.h"

int main(int argc, char** argv) { return skerry::RunChecker(argc, argv); }
