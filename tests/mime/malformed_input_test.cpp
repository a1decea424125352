// Malformed messages never raise or crash: a corpus of damaged texts and a few thousand random
// mutations go through parse, write and every accessor.
#include <gtest/gtest.h>

#include <random>

#include "mime/index_summary.h"
#include "mime/mime_message.h"

namespace mime {
namespace {

const char* const kSeeds[] = {
    "FROM: \r\nRCPT: mailbox\r\nFrom: \"Ann, Smith\" <ann@x.org>\r\nTo: =?utf-8?Q?B=C3=B6b?= "
    "<b@x>, c@x (Cee)\r\n"
    "Cc: 'Quo, ted' <q@x>; undisclosed:;\r\nSubject: =?iso-8859-1?B?Y2Fm6Q==?= and "
    "=?utf-8?Q?more?=\r\n"
    "Date: Tue, 05 Mar 2024 07:08:09 -0530\r\nMessage-ID: <id@host>\r\nX-Priority: 1 (High)\r\n"
    "Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\npreamble\r\n--outer\r\n"
    "Content-Type: multipart/alternative; boundary=inner\r\n\r\n--inner\r\n"
    "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: "
    "quoted-printable\r\n\r\n"
    "caf=E9 =\r\nsoft\r\n--inner\r\nContent-Type: "
    "text/html\r\n\r\n<p>x</p>\r\n--inner--\r\n\r\n--outer\r\n"
    "Content-Type: application/octet-stream; name=\"a.bin\"\r\nContent-Transfer-Encoding: "
    "base64\r\n"
    "Content-Disposition: attachment; filename=\"a.bin\"\r\n\r\nAAECAwQFBgcICQ==\r\n--outer\r\n"
    "Content-Type: message/rfc822\r\n\r\nFrom: inner@x\r\nSubject: inner\r\n\r\ninner "
    "body\r\n--outer--\r\nepilogue\r\n",
    "Subject: no body",
    "Content-Type: multipart/mixed; boundary=\r\n\r\n--\r\n\r\n----\r\n",
    ("Content-Type: message/rfc822\r\n\r\nContent-Type: message/rfc822\r\n\r\nContent-Type: "
     "multipart/mixed; boundary=x\r\n\r\n"),
};

// Damaged texts worth naming one by one.
std::vector<std::string> DamagedTexts() {
  std::vector<std::string> texts = {
      "",
      "\r\n",
      "\n\r\n\r",
      std::string("Subject: a\0b\r\n\r\nx", 18),
      "From: \"unterminated <a@x>\r\nTo: <open, (paren, \\\r\n\r\n",
      "Content-Type: multipart/mixed; "
      "boundary=\"b\"\r\n\r\n--b\r\n--b\r\n--b\r\n--b--\r\n--b--\r\n",
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b",
      "Content-Transfer-Encoding: base64\r\nContent-Type: text/plain; "
      "charset=utf-8\r\n\r\n!!!!====@@@@\r\n=\r\n",
      "Content-Transfer-Encoding: quoted-printable\r\nContent-Type: text/plain; "
      "charset=koi8-r\r\n\r\n=\r\n==\r\n=G=\r\n=",
      "Date: Mon, 99 Foo 99999999999999999999 99:99:99 +99999999999999\r\nSubject: =?x?Q?=?= "
      "=?\r\n\r\n",
      "Subject: =?utf-8?B?AAAA?= =?utf-8?Q?=00?= =?utf-8??\r\n\r\n",
      "Subject: " + std::string(1 << 20, 'x') + "\r\n\r\n",
      "To: " + std::string(1 << 20, ',') + "\r\n\r\n",
      "From: " + std::string(100000, '"') + "\r\n\r\n",
  };
  std::string many_parts = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
  for (int i = 0; i < 100000; ++i) many_parts += "--b\r\n";
  texts.push_back(many_parts);
  return texts;
}

// Every accessor of one part; returns a number so that nothing is optimised away.
size_t Exercise(TMimeMessage& part) {
  TMimeHeader& h = part.Header();
  size_t n = 0;
  n += h.FromAddress().DisplayTextUtf().size() + h.FromAddress().DisplayTextHtml().size();
  n += h.FromAddress().Mailbox().size() + h.FromAddress().Domain().size() +
       h.FromAddress().DisplayNameUnicode().size();
  n += h.ToList().DisplayList().size() + h.ToList().DisplayListUtf().size() +
       h.ToList().EmailList().size();
  n += h.CcList().GetText().size() + h.SenderAddress().GetText().size();
  n += h.DerivedReplyToAddress().GetText().size() + h.DerivedSenderAddress().GetText().size();
  n += h.Subject().size() + h.GetField("Subject").size() + h.MessageId().size() +
       h.MessageIdHash().size();
  n += static_cast<size_t>(h.Date() != 0) + static_cast<size_t>(h.DateUtc() != 0) +
       static_cast<size_t>(h.Timezone());
  n += static_cast<size_t>(h.Priority() + h.ContentLength()) + h.ContentId().size() +
       h.Filename().size();
  n += h.MimeType().size() + h.BodyCharset().size() + h.ContentType().MimeTypeMajor().size();
  n += h.ContentType().ParamNameByIndex(1).size() + h.ContentDisposition().Disposition().size();
  n += h.ContentTransferEncoding().EncodingType().size() + static_cast<size_t>(part.IsAttachment());
  n += part.RenderForPlaintext("utf-8").size() + part.RenderForHtml().size();
  n += part.FindPart("text/plain") != nullptr;
  if (h.ToList().Count() > 0) {
    h.ToList().Get(0).SetDisplayName("x");  // rebuilds the folded list text and writes it back
    n += h.ReadField("To").size();
  }
  return n;
}

void CheckMessage(const std::string& text) {
  TMimeMessage message;
  message.SetText(text);
  size_t n = message.GetText().size() + static_cast<size_t>(message.Size() + message.Lines()) +
             message.Crc32();
  TMimeIndexSummary summary = ReadIndexSummary(text);
  EXPECT_EQ(summary.From, message.Header().FromAddress().DisplayText());
  EXPECT_EQ(summary.To, message.Header().ToList().DisplayList());
  EXPECT_EQ(summary.Subject, message.Header().Subject());
  TMimeMessage reparsed;
  reparsed.SetText(message.GetText());
  EXPECT_EQ(reparsed.Header().GetText(), message.Header().GetText());
  // The first parts of the tree, breadth first (bounded so that huge trees stay quick).
  std::vector<TMimeMessage*> parts{&message};
  for (size_t i = 0; i < parts.size() && parts.size() < 64; ++i)
    for (int k = 0; k < parts[i]->SubParts().Count() && parts.size() < 64; ++k)
      parts.push_back(&parts[i]->SubParts().Item(k));
  for (TMimeMessage* part : parts) n += Exercise(*part);
  message.Plaintext();
  message.Html();
  n += message.GetText().size();
  EXPECT_GT(n, 0u);
}

TEST(MalformedInput, DamagedTextsParseWriteAndRead) {
  for (const std::string& text : DamagedTexts()) {
    SCOPED_TRACE(text.substr(0, 80));
    EXPECT_NO_THROW(CheckMessage(text));
  }
}

std::string Mutate(std::string text, std::mt19937& random) {
  static const char kSpecial[] = "\r\n\0\"'<>()=?-_:;,\\@ \t\x80\xC3\xFF";
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int e = 0; e < edits && !text.empty(); ++e) {
    size_t at = random() % text.size();
    size_t length = 1 + random() % 16;
    switch (random() % 5) {
      case 0:
        text[at] = kSpecial[random() % (sizeof kSpecial - 1)];
        break;
      case 1:
        text.insert(at, 1, kSpecial[random() % (sizeof kSpecial - 1)]);
        break;
      case 2:
        text.erase(at, length);
        break;
      case 3:
        text.insert(at, text.substr(random() % text.size(), length * 4));
        break;
      default:
        text[at] = static_cast<char>(random());
        break;
    }
  }
  return text;
}

TEST(MalformedInput, ThousandsOfRandomMutations) {
  std::mt19937 random(20240305);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = Mutate(kSeeds[round % std::size(kSeeds)], random);
    SCOPED_TRACE(round);
    EXPECT_NO_THROW(CheckMessage(text));
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace mime
