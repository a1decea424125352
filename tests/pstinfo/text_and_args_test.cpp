// The inspector's command line and its text helpers: node ids in both notations, usage errors,
// subjects without their prefix marker, fields without tabs or line breaks.
#include <gtest/gtest.h>

#include <variant>

#include "tools/pstinfo/args.h"
#include "tools/pstinfo/text_format.h"

namespace {

using pstinfo::Mode;
using pstinfo::Options;
using pstinfo::ParseArgs;
using pstinfo::ParseNodeId;

TEST(NodeIdArgument, HexadecimalAndDecimalNameTheSameNode) {
  EXPECT_EQ(ParseNodeId("0x200024"), 0x200024u);
  EXPECT_EQ(ParseNodeId("0X20A4"), 0x20A4u);
  EXPECT_EQ(ParseNodeId("2097188"), 0x200024u);
  EXPECT_EQ(ParseNodeId("0xFFFFFFFF"), 0xFFFFFFFFu);
}

TEST(NodeIdArgument, GarbageAndOverflowAreRefused) {
  for (const char* text : {"", "0x", "x12", "12a", "0x12g", "-5", "4294967296", "0x100000000"}) {
    EXPECT_FALSE(ParseNodeId(text)) << text;
  }
}

TEST(CommandLine, ModesAndNode) {
  auto report = ParseArgs({"a.pst", "0x21"});
  ASSERT_TRUE(std::holds_alternative<Options>(report));
  EXPECT_EQ(std::get<Options>(report).mode, Mode::kReport);
  EXPECT_EQ(std::get<Options>(report).node, 0x21u);
  auto tree = ParseArgs({"--tree", "a.pst"});
  ASSERT_TRUE(std::holds_alternative<Options>(tree));
  EXPECT_EQ(std::get<Options>(tree).mode, Mode::kTree);
  EXPECT_EQ(std::get<Options>(tree).file, "a.pst");
  auto messages = ParseArgs({"a.pst", "--messages"});
  ASSERT_TRUE(std::holds_alternative<Options>(messages));
  EXPECT_EQ(std::get<Options>(messages).mode, Mode::kMessages);
}

TEST(CommandLine, ErrorsSayWhatIsWrong) {
  auto error = [](std::vector<std::string> args) {
    auto parsed = ParseArgs(args);
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
  };
  EXPECT_EQ(error({}), "no file given");
  EXPECT_EQ(error({"--tree"}), "no file given");
  EXPECT_EQ(error({"--tree", "--messages", "a.pst"}), "only one of --tree and --messages");
  EXPECT_EQ(error({"--bogus", "a.pst"}), "unknown option --bogus");
  EXPECT_EQ(error({"--tree", "a.pst", "0x21"}), "unexpected argument 0x21");
  EXPECT_EQ(error({"a.pst", "0x21", "b"}), "unexpected argument b");
  EXPECT_EQ(error({"a.pst", "folder"}), "not a node id: folder");
}

TEST(SubjectMarker, TheMarkerAndItsLengthCharacterAreDropped) {
  EXPECT_EQ(pstinfo::StripSubjectMarker("\x01\x04RE: hello"), "RE: hello");
  EXPECT_EQ(pstinfo::StripSubjectMarker("plain"), "plain");
  EXPECT_EQ(pstinfo::StripSubjectMarker("\x01"), "");
  EXPECT_EQ(pstinfo::StripSubjectMarker("\x01\x05"), "");
  // The length character may be any character; a multi-byte one goes whole.
  EXPECT_EQ(pstinfo::StripSubjectMarker("\x01\xC3\xA9rest"), "rest");
}

TEST(FieldText, TabsAndLineBreaksBecomeBlanks) {
  EXPECT_EQ(pstinfo::FieldText("a\tb\r\nc"), "a b  c");
  EXPECT_EQ(pstinfo::FieldText("Posta in arrivo \xC3\xBC"), "Posta in arrivo \xC3\xBC");
}

TEST(HexId, LowercaseWithPrefix) {
  EXPECT_EQ(pstinfo::HexId(0x200024), "0x200024");
  EXPECT_EQ(pstinfo::HexId(0x20A4), "0x20a4");
}

}  // namespace
