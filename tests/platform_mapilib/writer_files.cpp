// The writer-made mail file of the library's tests.
#include "tests/platform_mapilib/writer_files.h"

#include "tests/platform_mapilib/library_fixture.h"
#include "tools/pstwriter/mapi_tags.h"

namespace platform_mapilib_test {

std::string WriteMailFile(const std::string& name, pstwriter::StoreOptions options) {
  namespace tags = pstwriter::tags;
  const std::string path = TempPath(name);
  pstwriter::PstBuilder builder(path, options);
  const auto inbox = builder.AddFolder(builder.ipm_subtree(), "Inbox");
  const auto sent = builder.AddFolder(builder.ipm_subtree(), "Sent Items");
  const auto deleted = builder.AddFolder(builder.ipm_subtree(), "Deleted Items");
  const auto outbox = builder.AddFolder(builder.ipm_subtree(), "Outbox");
  builder.AddFolder(builder.ipm_subtree(), "Calendar", "IPF.Appointment");
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kSentItems, sent);
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kDeletedItems, deleted);
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kOutbox, outbox);

  pstwriter::Message first =
      pstwriter::MakeMail(kFirstSubject, "Ann", "ann@example.org", 1700000000);
  first.props.SetString(tags::kBody, kFirstBody);
  first.recipients.push_back(
      pstwriter::MakeRecipient(tags::kRecipientTo, "Bob", "bob@example.org"));
  builder.AddMessage(inbox, first);

  // The second subject is stored with its prefix marker: 0x01 and one length character.
  pstwriter::Message second = pstwriter::MakeMail(std::string("\x01\x05") + kSecondSubject, "Cy",
                                                  "cy@example.org", 1700000100);
  second.props.SetInt32(tags::kMessageFlags, tags::kMsgFlagRead | 0x10);  // MSGFLAG_HASATTACH
  pstwriter::SetRtfBody(second, kRtfText, true);
  second.attachments.push_back(pstwriter::MakeFileAttachment(
      kAttachmentName, std::make_shared<pstwriter::PatternSource>(7, kAttachmentSize),
      "image/png"));
  second.attachments.push_back(pstwriter::MakeEmbeddedAttachment(
      "inner", pstwriter::MakeMail(kEmbeddedSubject, "Dee", "dee@example.org", 1600000000)));
  builder.AddMessage(inbox, second);
  builder.AddMessage(sent, pstwriter::MakeMail("Sent one", "Me", "me@example.org", 1700000200));
  builder.Finish();
  return path;
}

}  // namespace platform_mapilib_test
