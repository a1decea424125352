// The pstgen command: usage errors exit 2 and write nothing; every file variant it writes opens
// with the reader; its password option protects the store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "tests/tools/writer_test_support.h"

namespace {

using writer_test::ScratchDir;

int RunPstgen(const std::string& arguments, const std::string& log) {
  std::string pstgen = std::string(PST2XMZ_BIN_DIR) + "/pstgen";
  int status = std::system(("'" + pstgen + "' " + arguments + " > '" + log + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PstgenCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::string(PST2XMZ_BIN_DIR) + "/pstgen")) {
      GTEST_SKIP() << "pstgen is not built";
    }
  }
  ScratchDir dir_;
};

TEST_F(PstgenCommand, UsageErrorsExitWithTwo) {
  std::string log = dir_.File("log");
  EXPECT_EQ(RunPstgen("--out " + dir_.File("x.pst"), log), 2);  // no seed
  EXPECT_EQ(RunPstgen("--seed 1", log), 2);                      // no output
  EXPECT_EQ(RunPstgen("--seed x --out " + dir_.File("x.pst"), log), 2);
  EXPECT_EQ(RunPstgen("--seed 1 --html-share 2 --out " + dir_.File("x.pst"), log), 2);
  EXPECT_EQ(RunPstgen("--seed 1 --bogus 1 --out " + dir_.File("x.pst"), log), 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("x.pst")));
}

TEST_F(PstgenCommand, EveryVariantOpensWithTheReader) {
  for (const char* variant : {"", "--ansi", "--4k", "--encoding none", "--encoding cyclic"}) {
    std::string out = dir_.File("v.pst");
    ASSERT_EQ(RunPstgen(std::string("--seed 3 --messages 20 ") + variant + " --out " + out,
                  dir_.File("log")),
              0)
        << variant;
    auto store = writer_test::OpenStore(out);
    EXPECT_TRUE(store) << variant;
  }
}

TEST_F(PstgenCommand, PasswordOptionProtectsTheStore) {
  std::string out = dir_.File("p.pst");
  ASSERT_EQ(RunPstgen("--seed 3 --messages 2 --password s3cret --out " + out, dir_.File("log")), 0);
  auto store = writer_test::OpenStore(out);
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->CheckPassword("s3cret"));
  EXPECT_FALSE(store->CheckPassword("other"));
}

}  // namespace
