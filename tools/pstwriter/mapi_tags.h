// Property ids the writer and its users refer to by name.
#pragma once

#include <cstdint>

namespace pstwriter::tags {

// Messages
constexpr std::uint16_t kImportance = 0x0017;
constexpr std::uint16_t kMessageClass = 0x001A;
constexpr std::uint16_t kPriority = 0x0026;
constexpr std::uint16_t kSensitivity = 0x0036;
constexpr std::uint16_t kSubject = 0x0037;
constexpr std::uint16_t kClientSubmitTime = 0x0039;
constexpr std::uint16_t kSentRepresentingName = 0x0042;
constexpr std::uint16_t kSentRepresentingAddrType = 0x0064;
constexpr std::uint16_t kSentRepresentingEmailAddress = 0x0065;
constexpr std::uint16_t kSentRepresentingSmtpAddress = 0x5D02;
constexpr std::uint16_t kSenderSmtpAddress = 0x5D01;
constexpr std::uint16_t kMessageToMe = 0x0057;
constexpr std::uint16_t kMessageCcMe = 0x0058;
constexpr std::uint16_t kConversationTopic = 0x0070;
constexpr std::uint16_t kConversationIndex = 0x0071;
constexpr std::uint16_t kTransportMessageHeaders = 0x007D;
constexpr std::uint16_t kSenderName = 0x0C1A;
constexpr std::uint16_t kSenderEmailAddress = 0x0C1F;
constexpr std::uint16_t kSenderAddrType = 0x0C1E;
constexpr std::uint16_t kRecipientType = 0x0C15;
constexpr std::uint16_t kDisplayBcc = 0x0E02;
constexpr std::uint16_t kDisplayCc = 0x0E03;
constexpr std::uint16_t kDisplayTo = 0x0E04;
constexpr std::uint16_t kMessageDeliveryTime = 0x0E06;
constexpr std::uint16_t kMessageFlags = 0x0E07;
constexpr std::uint16_t kMessageSize = 0x0E08;
constexpr std::uint16_t kMsgStatus = 0x0E17;
constexpr std::uint16_t kResponsibility = 0x0E0F;
constexpr std::uint16_t kRtfInSync = 0x0E1F;
constexpr std::uint16_t kAttachSize = 0x0E20;
constexpr std::uint16_t kBody = 0x1000;
constexpr std::uint16_t kRtfCompressed = 0x1009;
constexpr std::uint16_t kHtml = 0x1013;
constexpr std::uint16_t kInternetMessageId = 0x1035;
constexpr std::uint16_t kRecordKey = 0x0FF9;
constexpr std::uint16_t kObjectType = 0x0FFE;
constexpr std::uint16_t kEntryId = 0x0FFF;
constexpr std::uint16_t kDisplayName = 0x3001;
constexpr std::uint16_t kAddrType = 0x3002;
constexpr std::uint16_t kEmailAddress = 0x3003;
constexpr std::uint16_t kCreationTime = 0x3007;
constexpr std::uint16_t kLastModificationTime = 0x3008;
constexpr std::uint16_t kSearchKey = 0x300B;
constexpr std::uint16_t kDisplayType = 0x3900;
constexpr std::uint16_t kSmtpAddress = 0x39FE;
constexpr std::uint16_t kInternetCodepage = 0x3FDE;
constexpr std::uint16_t kMessageCodepage = 0x3FFD;

// Attachments
constexpr std::uint16_t kAttachDataBin = 0x3701;  // PT_BINARY, or PT_OBJECT for embedded messages
constexpr std::uint16_t kAttachFilename = 0x3704;
constexpr std::uint16_t kAttachMethod = 0x3705;
constexpr std::uint16_t kAttachLongFilename = 0x3707;
constexpr std::uint16_t kAttachPathname = 0x3708;
constexpr std::uint16_t kRenderingPosition = 0x370B;
constexpr std::uint16_t kAttachLongPathname = 0x370D;
constexpr std::uint16_t kAttachMimeTag = 0x370E;
constexpr std::uint16_t kAttachContentId = 0x3712;

// Folders
constexpr std::uint16_t kContentCount = 0x3602;
constexpr std::uint16_t kContentUnread = 0x3603;
constexpr std::uint16_t kSubfolders = 0x360A;
constexpr std::uint16_t kContainerClass = 0x3613;

// Message store
constexpr std::uint16_t kValidFolderMask = 0x35DF;
constexpr std::uint16_t kIpmSubtreeEntryId = 0x35E0;
constexpr std::uint16_t kIpmOutboxEntryId = 0x35E2;
constexpr std::uint16_t kIpmWastebasketEntryId = 0x35E3;
constexpr std::uint16_t kIpmSentmailEntryId = 0x35E4;
constexpr std::uint16_t kFinderEntryId = 0x35E7;
constexpr std::uint16_t kPstPassword = 0x67FF;

// Values
constexpr std::int32_t kAttachByValue = 1;
constexpr std::int32_t kAttachByReference = 2;
constexpr std::int32_t kAttachEmbeddedMessage = 5;
constexpr std::int32_t kRecipientTo = 1;
constexpr std::int32_t kRecipientCc = 2;
constexpr std::int32_t kRecipientBcc = 3;
constexpr std::int32_t kMsgFlagRead = 0x01;
constexpr std::int32_t kMsgFlagUnsent = 0x08;
constexpr std::int32_t kMsgFlagHasAttach = 0x10;

}  // namespace pstwriter::tags
