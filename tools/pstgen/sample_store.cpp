// The curated content of examples/sample.pst.
#include "tools/pstgen/sample_store.h"

#include <memory>
#include <optional>

#include "tools/pstgen/body_forms.h"
#include "tools/pstgen/corpus_generator.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/rtf_body.h"

namespace pstgen {
namespace {

using namespace pstwriter;

constexpr std::int64_t kTime = 1704103200;  // 2024-01-01 10:00 UTC

Message Mail(const std::string& subject, int n) {
  Message m = MakeMail(subject, "Anna Müller", "anna@example.com", kTime + n * 3600);
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "Bob Example", "bob@example.com"));
  SetDisplayRecipients(m);
  m.props.SetString(tags::kTransportMessageHeaders,
                    "From: Anna Müller <anna@example.com>\r\nTo: Bob Example <bob@example.com>\r\n"
                    "Subject: " +
                        subject + "\r\nMessage-ID: <sample-" + std::to_string(n) +
                        "@example.com>\r\nMIME-Version: 1.0\r\n\r\n");
  return m;
}

std::shared_ptr<PatternSource> Data(std::uint64_t seed, std::uint64_t size) {
  return std::make_shared<PatternSource>(seed, size);
}

const char kText[] = "Hello,\r\nthis is the sample body.\r\nRegards, Anna\r\n";
const char kHtml[] =
    "<html><body><p>Hello,</p><p>this is the <b>sample</b> body.</p></body></html>";

int WriteBodies(PstBuilder& b, FolderId folder, int n) {
  auto add = [&](Message m) {
    b.AddMessage(folder, m);
    ++n;
  };
  {
    Message m = Mail("Plain text body", n);
    m.props.SetString(tags::kBody, kText);
    add(std::move(m));
  }
  {
    Message m = Mail("HTML body", n);
    m.props.SetString(tags::kBody, kText);
    SetHtmlBody(m, kHtml);
    add(std::move(m));
  }
  {
    Message m = Mail("HTML in compressed RTF", n);
    SetRtfBody(m, EncapsulateHtml(kHtml), true);
    add(std::move(m));
  }
  {
    Message m = Mail("HTML in uncompressed RTF", n);
    SetRtfBody(m, EncapsulateHtml(kHtml), false);
    add(std::move(m));
  }
  {
    Message m = Mail("Text in compressed RTF", n);
    SetRtfBody(m, EncapsulateText(kText), true);
    add(std::move(m));
  }
  {
    Message m = Mail("Text in uncompressed RTF", n);
    SetRtfBody(m, EncapsulateText(kText), false);
    add(std::move(m));
  }
  {
    Message m = Mail("Native RTF", n);
    SetRtfBody(m, NativeRtf(kText), true);
    add(std::move(m));
  }
  {
    Message m = Mail("RTF and plain text together", n);
    m.props.SetString(tags::kBody, kText);
    SetRtfBody(m, EncapsulateText(kText), true);
    add(std::move(m));
  }
  {
    Message m = Mail("No body at all", n);
    add(std::move(m));
  }
  {
    Message m = Mail("Subject with prefix marker", n);
    m.props.SetString(tags::kSubject, "\x01\x04RE: Subject with prefix marker");
    m.props.SetString(tags::kBody, kText);
    add(std::move(m));
  }
  {
    Message m = Mail("", n);
    m.props.SetString(tags::kBody, "The subject is empty.\r\n");
    add(std::move(m));
  }
  {
    Message m = Mail("x", n);
    m.props.Remove(tags::kSubject);
    m.props.SetString(tags::kBody, "There is no subject property.\r\n");
    add(std::move(m));
  }
  {
    Message m = Mail("Unread message", n);
    m.props.SetInt32(tags::kMessageFlags, 0);
    m.props.SetString(tags::kBody, kText);
    add(std::move(m));
  }
  {
    Message m = Mail("Long body spanning several blocks", n);
    Random r(7);
    m.props.SetString(tags::kBody, BodyText(r, Script::kLatin, 40000));
    add(std::move(m));
  }
  return n;
}

int WriteRecipients(PstBuilder& b, FolderId folder, int n) {
  Message m = Mail("To, Cc and Bcc recipients", n);
  m.recipients.push_back(MakeRecipient(tags::kRecipientCc, "Carol Example", "carol@example.com"));
  m.recipients.push_back(MakeRecipient(tags::kRecipientBcc, "Dave Example", "dave@example.com"));
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, std::nullopt, "noname@example.com"));
  m.recipients.push_back(MakeRecipient(tags::kRecipientCc, "No Address", std::nullopt));
  SetDisplayRecipients(m);
  m.props.SetString(tags::kBody, kText);
  b.AddMessage(folder, m);
  Message none = Mail("No recipients", n + 1);
  none.recipients.clear();
  none.props.Remove(tags::kDisplayTo);
  none.props.SetString(tags::kBody, kText);
  b.AddMessage(folder, none);
  return n + 2;
}

int WriteAttachments(PstBuilder& b, FolderId folder, int n) {
  auto add = [&](Message m) {
    m.props.SetString(tags::kBody, kText);
    b.AddMessage(folder, m);
    ++n;
  };
  {
    Message m = Mail("Empty attachment", n);
    m.attachments.push_back(MakeFileAttachment("empty.txt", Data(1, 0), "text/plain"));
    add(std::move(m));
  }
  {
    Message m = Mail("Small attachment", n);
    std::string s = "small text attachment\r\n";
    m.attachments.push_back(MakeFileAttachment(
        "small.txt", std::make_shared<MemorySource>(Bytes(AsBytes(s).begin(), AsBytes(s).end())),
        "text/plain"));
    add(std::move(m));
  }
  {
    Message m = Mail("Attachment over several blocks", n);
    m.attachments.push_back(MakeFileAttachment("data.bin", Data(2, 50000)));
    add(std::move(m));
  }
  {
    Message m = Mail("Three attachments", n);
    for (int i = 0; i < 3; ++i)
      m.attachments.push_back(
          MakeFileAttachment("part" + std::to_string(i) + ".bin", Data(10 + i, 1000 * (i + 1))));
    add(std::move(m));
  }
  {
    Message m = Mail("Inline image", n);
    SetHtmlBody(m, "<html><body><img src=\"cid:image1@example.com\"></body></html>");
    Attachment a = MakeFileAttachment("image.png", Data(3, 3000), "image/png");
    a.props.SetString(tags::kAttachContentId, "image1@example.com");
    m.attachments.push_back(std::move(a));
    add(std::move(m));
  }
  {
    Message m = Mail("Attachment by reference", n);
    m.attachments.push_back(MakeReferenceAttachment("report.pdf", "\\\\server\\share\\report.pdf"));
    add(std::move(m));
  }
  {
    Message inner3 = Mail("Third level", n);
    inner3.props.SetString(tags::kBody, "innermost\r\n");
    inner3.attachments.push_back(MakeFileAttachment("deep.txt", Data(4, 100), "text/plain"));
    Message inner2 = Mail("Second level", n);
    inner2.props.SetString(tags::kBody, "middle\r\n");
    inner2.attachments.push_back(MakeEmbeddedAttachment("Third level", std::move(inner3)));
    Message inner1 = Mail("First level", n);
    SetRtfBody(inner1, EncapsulateHtml(kHtml), true);
    inner1.attachments.push_back(MakeEmbeddedAttachment("Second level", std::move(inner2)));
    Message m = Mail("Embedded messages three deep", n);
    m.attachments.push_back(MakeEmbeddedAttachment("First level", std::move(inner1)));
    add(std::move(m));
  }
  return n;
}

int WriteScripts(PstBuilder& b, FolderId folder, int n) {
  Random random(42);
  for (int s = 0; s < kScriptCount; ++s) {
    Script script = Script(s);
    // One draw per statement, so that the sample is the same whatever the compiler.
    std::string sender = PersonName(random, script);
    Message m = MakeMail(Phrase(random, script, 4), sender, "sender@example.com", kTime + n * 3600);
    m.recipients.push_back(
        MakeRecipient(tags::kRecipientTo, PersonName(random, script), "to@example.com"));
    SetDisplayRecipients(m);
    std::string text = BodyText(random, script, 600);
    m.props.SetString(tags::kBody, text);
    if (s % 2) SetRtfBody(m, EncapsulateText(text), true);
    b.AddMessage(folder, m);
    ++n;
  }
  return n;
}

// A message whose header is synthesised: no transport headers.
Message Composed(const std::string& subject, int n) {
  Message m = Mail(subject, n);
  m.props.Remove(tags::kTransportMessageHeaders);
  m.props.SetString(tags::kBody, kText);
  return m;
}

PropertyBag ExchangeRecipient(std::int32_t type, std::string name, std::string x500,
                              std::optional<std::string> smtp) {
  PropertyBag r = MakeRecipient(type, std::move(name), std::nullopt);
  r.SetString(tags::kAddrType, "EX").SetString(tags::kEmailAddress, std::move(x500));
  if (smtp) r.SetString(tags::kSmtpAddress, *smtp);
  return r;
}

std::shared_ptr<MemorySource> Text(const std::string& s) {
  return std::make_shared<MemorySource>(Bytes(AsBytes(s).begin(), AsBytes(s).end()));
}

}  // namespace

// Headers the composition writes itself: originators, Exchange addresses, names that need
// escaping, long subjects, encoded words, message-typed and reference attachments, no flags.
int WriteHeaderCases(PstBuilder& b, FolderId folder, int n) {
  auto add = [&](Message m) {
    b.AddMessage(folder, m);
    ++n;
  };
  {
    Message m = Composed("Sent on behalf of another", n);
    m.props.SetString(tags::kSentRepresentingName, "Chef \"The Boss\" O'Neil")
        .SetString(tags::kSentRepresentingAddrType, "EX")
        .SetString(tags::kSentRepresentingEmailAddress, "/O=EXAMPLE/OU=SITE/CN=RECIPIENTS/CN=CHEF")
        .SetString(tags::kSentRepresentingSmtpAddress, "chef@example.com");
    add(std::move(m));
  }
  {
    Message m = Composed("Exchange sender with an SMTP address", n);
    m.props.Remove(tags::kSentRepresentingName);
    m.props.SetString(tags::kSenderName, "Back\\slash Sender")
        .SetString(tags::kSenderAddrType, "EX")
        .SetString(tags::kSenderEmailAddress, "/O=EXAMPLE/OU=SITE/CN=RECIPIENTS/CN=BSS")
        .SetString(tags::kSenderSmtpAddress, "bss@example.com");
    add(std::move(m));
  }
  {
    Message m = Composed("Exchange recipients with and without SMTP addresses", n);
    m.recipients.push_back(ExchangeRecipient(tags::kRecipientTo, "Émile Zola",
                                             "/O=EXAMPLE/OU=SITE/CN=RECIPIENTS/CN=EZ",
                                             "ez@example.com"));
    m.recipients.push_back(ExchangeRecipient(tags::kRecipientCc, "Smith, \"Jo\"",
                                             "/O=EXAMPLE/OU=SITE/CN=RECIPIENTS/CN=JS",
                                             std::nullopt));
    SetDisplayRecipients(m);
    add(std::move(m));
  }
  {
    std::string subject = "A long subject that has to be folded:";
    for (int i = 0; i < 30; ++i) subject += " word" + std::to_string(i);
    add(Composed(subject, n));
  }
  add(Composed("Unbroken " + std::string(1200, 'z') + " end", n));
  {
    Message m = Mail("Adjacent encoded words", n);
    m.props.SetString(tags::kTransportMessageHeaders,
                      "From: Anna <anna@example.com>\r\nTo: Bob <bob@example.com>\r\n"
                      "Subject: =?utf-8?Q?est=C3=A1gio_n?=\r\n =?utf-8?Q?a_DITEC?=\r\n"
                      "MIME-Version: 1.0\r\n\r\n");
    m.props.SetString(tags::kBody, kText);
    add(std::move(m));
  }
  {
    Message m = Composed("Message-typed attachments", n);
    m.attachments.push_back(MakeFileAttachment(
        "status.txt",
        Text("Reporting-MTA: dns; mx.example.com\r\n\r\nFinal-Recipient: rfc822; x@example.com\r\n"
             "Action: failed\r\nStatus: 5.1.1\r\n"),
        "message/delivery-status"));
    m.attachments.push_back(MakeFileAttachment("binary.eml", Data(5, 700), "message/rfc822"));
    m.attachments.push_back(
        MakeFileAttachment("say \"hi\" \\ now.txt", Text("quoted name\r\n"), "text/plain"));
    m.attachments.push_back(
        MakeFileAttachment("Übersicht.txt", Text("non-ASCII name\r\n"), "text/plain"));
    add(std::move(m));
  }
  {
    Message m = Composed("Attachments held by reference", n);
    m.attachments.push_back(MakeReferenceAttachment("site.htm", "https://example.com/site.htm"));
    m.attachments.push_back(MakeReferenceAttachment("plan.doc", "C:\\Documents\\plan.doc"));
    add(std::move(m));
  }
  {
    Message m = Composed("No message flags", n);
    m.props.Remove(tags::kMessageFlags);
    m.attachments.push_back(
        MakeFileAttachment("kept.txt", Text("still exported\r\n"), "text/plain"));
    add(std::move(m));
  }
  return n;
}

int WriteSampleStore(PstBuilder& b) {
  FolderId top = b.ipm_subtree();
  FolderId inbox = b.AddFolder(top, "Inbox");
  b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
  FolderId sent = b.AddFolder(top, "Sent Items");
  b.SetSpecialFolder(SpecialFolder::kSentItems, sent);
  FolderId deleted = b.AddFolder(top, "Deleted Items");
  b.SetSpecialFolder(SpecialFolder::kDeletedItems, deleted);
  FolderId outbox = b.AddFolder(top, "Outbox");
  b.SetSpecialFolder(SpecialFolder::kOutbox, outbox);
  FolderId bodies = b.AddFolder(inbox, "Bodies");
  FolderId attachments = b.AddFolder(inbox, "Attachments");
  FolderId scripts = b.AddFolder(inbox, "Scripts – Письма – Γράμματα – 信件");
  FolderId deep = b.AddFolder(b.AddFolder(b.AddFolder(top, "Level 1"), "Level 2"), "Level 3");
  FolderId calendar = b.AddFolder(top, "Calendar", "IPF.Appointment");
  FolderId imap = b.AddFolder(top, "IMAP folder", "IPF.Imap");
  FolderId no_class = b.AddFolder(top, "Folder without class", "");

  int n = 0;
  n = WriteBodies(b, bodies, n);
  n = WriteBodyForms(b, b.AddFolder(bodies, "Body forms"), n, 1252);
  n = WriteRecipients(b, inbox, n);
  n = WriteHeaderCases(b, b.AddFolder(inbox, "Headers"), n);
  n = WriteAttachments(b, attachments, n);
  n = WriteScripts(b, scripts, n);
  auto simple = [&](FolderId f, const std::string& subject) {
    Message m = Mail(subject, n++);
    m.props.SetString(tags::kBody, kText);
    b.AddMessage(f, m);
  };
  simple(sent, "A sent message");
  simple(deleted, "A deleted message");
  simple(outbox, "A message waiting in the outbox");
  simple(deep, "Three folders deep");
  simple(imap, "In an IMAP folder");
  simple(no_class, "In a folder without class");
  simple(top, "Directly in the IPM subtree");
  Message appointment = Mail("Team meeting", n++);
  appointment.props.SetString(tags::kMessageClass, "IPM.Appointment");
  b.AddMessage(calendar, appointment);
  return n;
}

}  // namespace pstgen
