// Writing the tree back as text, its size, line count and checksum.
#include <gtest/gtest.h>

#include "mime/mime_message.h"

namespace mime {
namespace {

TEST(MessageWrite, SimpleMessageRoundTrips) {
  const std::string text = "Subject: x\r\nTo: a@x\r\n\r\nline 1\r\nline 2\r\n";
  TMimeMessage message;
  message.SetText(text);
  EXPECT_EQ(message.GetText(), text);
  EXPECT_EQ(message.Size(),
            static_cast<long long>(text.size() - 2));  // the header's empty line is not counted
  EXPECT_EQ(message.Lines(), 2 + 2 + 1);
}

TEST(MessageWrite, MultipartGainsAnEmptyLineAfterEachPart) {
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b\r\n\r\npre\r\n--b\r\nX: 1\r\n\r\none\r\n--b\r\nX: "
      "2\r\n\r\ntwo\r\n--b--\r\n";
  TMimeMessage message;
  message.SetText(text);
  EXPECT_EQ(message.GetText(),
            "Content-Type: multipart/mixed; boundary=b\r\n\r\npre\r\n--b\r\nX: "
            "1\r\n\r\none\r\n\r\n--b\r\nX: 2\r\n\r\ntwo\r\n\r\n--b--\r\n");
  // Header and body sizes plus the delimiters (length(B) + 4 per part, length(B) + 6 once).
  long long expected = 43 + 5 + 2 * (1 + 4 + 6 + 5) + (1 + 6);
  EXPECT_EQ(message.Size(), expected);
}

TEST(MessageWrite, ReparsingTheWrittenTextGivesTheSameTree) {
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: "
      "message/rfc822\r\n\r\nSubject: in\r\n\r\n"
      "inner\r\n--b--\r\n";
  TMimeMessage message;
  message.SetText(text);
  TMimeMessage again;
  again.SetText(message.GetText());
  ASSERT_EQ(again.SubParts().Count(), 1);
  EXPECT_EQ(again.SubParts().Item(0).SubParts().Item(0).Header().Subject(), "in");
}

TEST(MessageWrite, FoldedFieldIsWrittenAsSeveralLines) {
  TMimeMessage message;
  std::string value;
  for (int i = 0; i < 10; ++i) value += "0123456789 ";
  message.Header().WriteField("Subject", value);
  EXPECT_EQ(message.Header().Count(), 1);
  TMimeMessage again;
  again.SetText(message.GetText());
  EXPECT_GE(again.Header().Count(), 2);
}

TEST(MessageCrc, EmptyMessageIsAllOnes) {
  TMimeMessage message;
  EXPECT_EQ(message.Crc32(), 0xFFFFFFFFu);
}

TEST(MessageCrc, IsTheComplementOfTheStandardCrcOfTheFedBytes) {
  TMimeMessage message;
  message.Envelope().SetSender("a");
  message.Header().SetText("b\r\n");
  message.Body().SetText("c\r\n");
  EXPECT_EQ(message.Crc32(), 0xCADBBE3Du);  // standard CRC-32 of "abc" is 0x352441C2
}

TEST(MessageCrc, CoversSubPartsInOrder) {
  TMimeMessage a, b;
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nX: 1\r\n\r\none\r\n--b\r\nX: "
      "2\r\n\r\ntwo\r\n--b--\r\n";
  a.SetText(text);
  b.SetText(text);
  EXPECT_EQ(a.Crc32(), b.Crc32());
  b.SubParts().Item(1).Body().SetText("changed");
  EXPECT_NE(a.Crc32(), b.Crc32());
}

}  // namespace
}  // namespace mime
