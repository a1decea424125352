// Option lookup: "-" and "/" forms in either case, values from the next argument, path completion.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/os/path_syntax.h"

namespace driver {
namespace {

CommandLine Args(std::vector<std::string> arguments) {
  return CommandLine(std::move(arguments), "/work/here");
}

TEST(CommandLine, AcceptsDashAndSlashInEitherCase) {
  for (const char* option : {"-s", "-S", "/s", "/S"}) {
    CommandLine line = Args({option, "file.pst"});
    EXPECT_TRUE(line.OptionPresent('s')) << option;
    EXPECT_EQ(line.OptionValue('s', false), "file.pst") << option;
  }
}

TEST(CommandLine, MatchesOnlyTheWholeArgument) {
  EXPECT_FALSE(Args({"-s-x", "a"}).OptionPresent('s'));
  EXPECT_FALSE(Args({"-s=x"}).OptionPresent('s'));
  EXPECT_FALSE(Args({"--s", "a"}).OptionPresent('s'));
  EXPECT_FALSE(Args({"s", "a"}).OptionPresent('s'));
  EXPECT_FALSE(Args({"\\s", "a"}).OptionPresent('s'));
}

TEST(CommandLine, FirstMatchWins) {
  CommandLine line = Args({"-s", "first.pst", "/S", "second.pst", "-d", "out"});
  EXPECT_EQ(line.OptionValue('s', false), "first.pst");
}

TEST(CommandLine, ValueIsTheNextArgumentWhateverItHolds) {
  CommandLine line = Args({"-s", "-d", "x"});
  EXPECT_EQ(line.OptionValue('s', false), "-d");
  EXPECT_TRUE(line.OptionPresent('d'));
}

TEST(CommandLine, OptionAsLastArgumentIsPresentWithAnEmptyUncompletedValue) {
  CommandLine line = Args({"-s", "a.pst", "-d"});
  EXPECT_TRUE(line.OptionPresent('d'));
  EXPECT_EQ(line.OptionValue('d', true), "");
}

TEST(CommandLine, MissingOptionHasAnEmptyValue) {
  CommandLine line = Args({"-s", "a.pst"});
  EXPECT_FALSE(line.OptionPresent('f'));
  EXPECT_EQ(line.OptionValue('f', true), "");
}

TEST(CommandLine, CompletesValuesWithoutSeparatorWhenAsked) {
  CommandLine line = Args({"-d", "out", "-s", "sub/a.pst", "-f", ""});
  EXPECT_EQ(line.OptionValue('d', true), std::string("/work/here") + os::kPathSeparator + "out");
  EXPECT_EQ(line.OptionValue('d', false), "out");
  EXPECT_EQ(line.OptionValue('s', true), "sub/a.pst");
  EXPECT_EQ(line.OptionValue('f', true), std::string("/work/here") + os::kPathSeparator);
}

TEST(CommandLine, IgnoresOtherArguments) {
  CommandLine line = Args({"extra", "-x", "-s", "a.pst", "more"});
  EXPECT_TRUE(line.OptionPresent('s'));
  EXPECT_FALSE(line.OptionPresent('x' + 1));
  EXPECT_EQ(line.OptionValue('s', false), "a.pst");
}

#ifdef _WIN32
TEST(CompletePath, DriveOrEitherSeparatorLocatesTheValue) {
  EXPECT_EQ(CompletePath("c:archive", "C:\\cwd"), "c:archive");
  EXPECT_EQ(CompletePath("sub\\a.pst", "C:\\cwd"), "sub\\a.pst");
  EXPECT_EQ(CompletePath("./a.pst", "C:\\cwd"), "./a.pst");
  EXPECT_EQ(CompletePath("1:archive", "C:\\cwd"), "C:\\cwd\\1:archive");  // no drive letter
}
#else
TEST(CompletePath, TreatsBackslashAndColonAsOrdinaryCharacters) {
  EXPECT_EQ(CompletePath("c:archive", "/cwd"), "/cwd/c:archive");
  EXPECT_EQ(CompletePath("sub\\a.pst", "/cwd"), "/cwd/sub\\a.pst");
  EXPECT_EQ(CompletePath("./a.pst", "/cwd"), "./a.pst");
  EXPECT_EQ(CompletePath("/abs/a.pst", "/cwd"), "/abs/a.pst");
}
#endif

TEST(CompletePath, KeepsNonAsciiBlanksAndEqualsSigns) {
  EXPECT_EQ(CompletePath("\xC4rchiv 2024=final", "/home/J\xF6rg"),
            std::string("/home/J\xF6rg") + os::kPathSeparator + "\xC4rchiv 2024=final");
}

}  // namespace
}  // namespace driver
