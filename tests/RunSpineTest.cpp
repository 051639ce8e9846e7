#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace skerry::test {
namespace {

TEST(RunSpine, ReportsFileNameRuleForSingleFile) {
  TempTree tree;
  tree.Write("CAN_Bus.c", "");
  RunResult run = RunLint({tree.Path("CAN_Bus.c")});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(MaskBuildDate(run.out), RunHeader("\"" + tree.Path("CAN_Bus.c") + "\"") +
                                        "Reading File : \"CAN_Bus.c\" size: 0 lines\n\n" + tree.Path("CAN_Bus.c") +
                                        "(0): error style: two upper case letters in filename are not allowed\n"
                                        "Operation Finsh\n");
}

}  // namespace
}  // namespace skerry::test
