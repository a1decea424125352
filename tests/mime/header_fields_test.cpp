// Field read joining rules and field write folding on raw header lines.
#include <gtest/gtest.h>

#include "mime/header_fields.h"
#include "mime/mime_header.h"

namespace mime {
namespace {

TEST(FieldRead, EmptyEnvelopeLineAddsNothingToTheFromField) {
  LineList lines = {"FROM: ", "RCPT: mailbox", "From: \"Ann\" <ann@example.com>"};
  EXPECT_EQ(ReadField(lines, "From"), "\"Ann\" <ann@example.com>");
  EXPECT_EQ(ReadField(lines, "Rcpt"), "mailbox");
}

TEST(FieldRead, ContinuationLinesJoinAsTheyStand) {
  EXPECT_EQ(ReadField(LineList{"Subject: a", " b"}, "Subject"), "a b");
  EXPECT_EQ(ReadField(LineList{"Subject: a", "b"}, "Subject"), "ab");
  EXPECT_EQ(ReadField(LineList{"Subject: a", "\tb", "X-Other: c"}, "Subject"), "a\tb");
  EXPECT_EQ(ReadField(LineList{"Subject: a", "X-Other: c", " d"}, "Subject"), "a");
}

TEST(FieldRead, RepeatedFieldsJoinWithOneSpace) {
  EXPECT_EQ(ReadField(LineList{"To: a@x", "Cc: c@x", "to: b@x"}, "To"), "a@x b@x");
}

TEST(FieldRead, NameMustBeFollowedDirectlyByColon) {
  EXPECT_EQ(ReadField(LineList{"Subject : a"}, "Subject"), "");
  EXPECT_EQ(ReadField(LineList{"Subjects: a"}, "Subject"), "");
  EXPECT_EQ(ReadField(LineList{"X: 1"}, "Subject"), "");
}

TEST(FieldRead, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(ReadField(LineList{"Subject:\t hello \x01"}, "Subject"), "hello");
}

// An unstructured value keeps the white space it ends with; only the blanks after the colon go.
TEST(FieldRead, UnstructuredValueKeepsItsTrailingWhiteSpace) {
  EXPECT_EQ(ReadField(LineList{"Subject:\t hello  "}, "Subject", true), "hello  ");
  TMimeHeader header;
  header.SetLines({"Subject: Log: ", ""});
  EXPECT_EQ(header.Subject(), "Log: ");
}

TEST(FieldRead, EmptyLineEndsTheWalk) {
  EXPECT_EQ(ReadField(LineList{"A: 1", "", "Subject: late"}, "Subject"), "");
}

TEST(FieldWrite, ReplacesTheFieldWhereItsLastLineStood) {
  LineList lines = {"To: a",    "Subject: old",   " continued",
                    "X-Mid: 1", "subject: again", "X-End: 2"};
  WriteField(lines, "Subject", "new");
  EXPECT_EQ(lines, (LineList{"To: a", "X-Mid: 1", "Subject: new", "X-End: 2"}));
}

TEST(FieldWrite, AppendsAnAbsentFieldAndRemovesOnEmptyValue) {
  LineList lines = {"To: a"};
  WriteField(lines, "Subject", "s");
  EXPECT_EQ(lines, (LineList{"To: a", "Subject: s"}));
  WriteField(lines, "to", "");
  EXPECT_EQ(lines, (LineList{"Subject: s"}));
}

std::string Unfolded(std::string text) {
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 2);
  return text;
}

// Every continuation line begins with a blank and holds more than blanks.
void ExpectSoundContinuations(const std::string& folded) {
  for (size_t at = folded.find("\r\n"); at != std::string::npos; at = folded.find("\r\n", at + 2)) {
    const std::string rest = folded.substr(at + 2, folded.find("\r\n", at + 2) - at - 2);
    EXPECT_TRUE(rest[0] == ' ' || rest[0] == '\t') << folded;
    EXPECT_NE(rest.find_first_not_of(" \t"), std::string::npos) << folded;
  }
}

TEST(FieldWrite, FoldsLongValuesAfterColumnSixtyWithoutChangingThem) {
  std::string value;
  for (int i = 0; i < 20; ++i) value += "word" + std::to_string(i) + " ";
  value += "end";
  LineList lines;
  WriteField(lines, "Subject", value);
  ASSERT_EQ(lines.size(), 1u);
  const std::string& entry = lines[0];
  EXPECT_NE(entry.find("\r\n "), std::string::npos);
  EXPECT_EQ(Unfolded(entry), "Subject: " + value);
  ExpectSoundContinuations(entry);
  size_t pos = 0;
  for (size_t brk; (brk = entry.find("\r\n", pos)) != std::string::npos; pos = brk + 2) {
    EXPECT_LE(brk - pos, 70u);
  }
}

TEST(FieldWrite, NeverBreaksInsideQuotes) {
  std::string quoted = "\"" + std::string(30, 'a') + " " + std::string(40, 'b') + "\" tail";
  std::string folded = FoldFieldValue(quoted);
  EXPECT_EQ(folded.find("\r\n"), quoted.find("\" ") + 1);
  EXPECT_EQ(Unfolded(folded), quoted);
}

TEST(FieldWrite, ValueWithoutBreakPointStaysLong) {
  std::string word(300, 'x');
  EXPECT_EQ(FoldFieldValue(word), word);
}

TEST(FieldWrite, BlanksAreKeptAndNoLineIsBlanksOnly) {
  for (const std::string& value :
       {std::string(58, 'a') + " b    " + std::string(10, 'c'), std::string(61, 'a') + "    ",
        std::string(30, 'a') + std::string(40, ' ') + "z"}) {
    const std::string folded = FoldFieldValue(value);
    EXPECT_EQ(Unfolded(folded), value);
    ExpectSoundContinuations(folded);
  }
  EXPECT_EQ(FoldFieldValue(std::string(61, 'a') + "    "), std::string(61, 'a') + "    ");
}

TEST(FieldWrite, ExistingBreaksCountAsLineEnds) {
  std::string value = std::string(50, 'a') + ",\r\n        " + std::string(50, 'b');
  EXPECT_EQ(FoldFieldValue(value), value);
}

}  // namespace
}  // namespace mime
