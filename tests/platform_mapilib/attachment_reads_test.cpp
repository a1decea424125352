// Opening the attachments of a message with many of them: every number answers with its own
// attachment, and the attachment table is read by the first OpenAttach only: that one costs at
// least one allocation per row more than any later one, which costs the same whatever its number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform_mapilib/failing_allocations.h"
#include "tests/platform_mapilib/library_fixture.h"
#include "tools/pstwriter/byte_source.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace platform_mapilib_test {
namespace {

constexpr ULONG kAttachments = 150;

std::string AttachmentName(ULONG number) { return "file" + std::to_string(number) + ".txt"; }

std::string WriteManyAttachments() {
  const std::string path = TempPath("many_attachments.pst");
  pstwriter::PstBuilder builder(path, {});
  const auto inbox = builder.AddFolder(builder.ipm_subtree(), "Inbox");
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  pstwriter::Message message = pstwriter::MakeMail("Many", "Ann", "ann@example.org", 1700000000);
  for (ULONG i = 0; i < kAttachments; ++i) {
    message.attachments.push_back(pstwriter::MakeFileAttachment(
        AttachmentName(i), std::make_shared<pstwriter::PatternSource>(i, 10 + i), "text/plain"));
  }
  builder.AddMessage(inbox, message);
  builder.Finish();
  return path;
}

TEST(AttachmentReads, EveryNumberOpensItsAttachmentAndOnlyTheFirstOpenReadsTheTable) {
  OpenedStore opened = OpenStore(WriteManyAttachments());
  ASSERT_TRUE(opened.store);
  auto message = OpenEntry<IMessage>(*opened.store, InboxEntryId(*opened.store, 0), &IID_IMessage);
  ASSERT_TRUE(message);

  std::vector<std::int64_t> allocations;
  for (ULONG i = 0; i < kAttachments; ++i) {
    mapi::InterfacePtr<IAttach> attach;
    {
      FailingAllocations counting(FailingAllocations::kNever);
      ASSERT_EQ(message->OpenAttach(i, nullptr, 0, attach.Out()), S_OK) << i;
      allocations.push_back(counting.counted());
    }
    EXPECT_EQ(GetOne(*attach, PR_ATTACH_LONG_FILENAME).text, AttachmentName(i));
    EXPECT_EQ(GetOne(*attach, PR_ATTACH_NUM).number, i);
  }
  mapi::InterfacePtr<IAttach> none;
  EXPECT_EQ(message->OpenAttach(kAttachments, nullptr, 0, none.Out()), MAPI_E_NOT_FOUND);

  EXPECT_GT(allocations.front() - allocations[1], std::int64_t{kAttachments});
  EXPECT_LE(allocations.back(), allocations[1] + 2);
}

}  // namespace
}  // namespace platform_mapilib_test
