// The property tags the messaging layer reads, under their public names.
#pragma once

#include "platform/pst/ltp/property_tag.h"

namespace pst::messaging::tags {

using ltp::PropTag;

// Store.
inline constexpr PropTag kRecordKey = PropTag::From(0x0FF90102);          // PR_RECORD_KEY
inline constexpr std::uint16_t kDisplayNameId = 0x3001;                   // PR_DISPLAY_NAME (A/W)
inline constexpr PropTag kValidFolderMask = PropTag::From(0x35DF0003);    // PR_VALID_FOLDER_MASK
inline constexpr PropTag kIpmSubtreeEntryId = PropTag::From(0x35E00102);  // PR_IPM_SUBTREE_ENTRYID
inline constexpr PropTag kIpmOutboxEntryId = PropTag::From(0x35E20102);   // PR_IPM_OUTBOX_ENTRYID
inline constexpr PropTag kIpmWastebasketEntryId =
    PropTag::From(0x35E30102);  // PR_IPM_WASTEBASKET_ENTRYID
inline constexpr PropTag kIpmSentMailEntryId =
    PropTag::From(0x35E40102);                                       // PR_IPM_SENTMAIL_ENTRYID
inline constexpr PropTag kViewsEntryId = PropTag::From(0x35E50102);  // PR_VIEWS_ENTRYID
inline constexpr PropTag kCommonViewsEntryId =
    PropTag::From(0x35E60102);                                        // PR_COMMON_VIEWS_ENTRYID
inline constexpr PropTag kFinderEntryId = PropTag::From(0x35E70102);  // PR_FINDER_ENTRYID
inline constexpr PropTag kPstPassword = PropTag::From(0x67FF0003);    // PR_PST_PASSWORD

// Folders.
inline constexpr PropTag kContentCount = PropTag::From(0x36020003);        // PR_CONTENT_COUNT
inline constexpr PropTag kContentUnreadCount = PropTag::From(0x36030003);  // PR_CONTENT_UNREAD
inline constexpr PropTag kSubfolders = PropTag::From(0x360A000B);          // PR_SUBFOLDERS
inline constexpr std::uint16_t kContainerClassId = 0x3613;  // PR_CONTAINER_CLASS (A/W)

// Messages, recipients and attachments.
inline constexpr std::uint16_t kMessageClassId = 0x001A;                 // PR_MESSAGE_CLASS (A/W)
inline constexpr std::uint16_t kSubjectId = 0x0037;                      // PR_SUBJECT (A/W)
inline constexpr PropTag kMessageFlags = PropTag::From(0x0E070003);      // PR_MESSAGE_FLAGS
inline constexpr std::uint32_t kMsgFlagHasAttach = 0x10;                 // MSGFLAG_HASATTACH
inline constexpr std::uint16_t kDisplayBccId = 0x0E02;                   // PR_DISPLAY_BCC (A/W)
inline constexpr std::uint16_t kDisplayCcId = 0x0E03;                    // PR_DISPLAY_CC (A/W)
inline constexpr std::uint16_t kDisplayToId = 0x0E04;                    // PR_DISPLAY_TO (A/W)
inline constexpr PropTag kMessageCodePage = PropTag::From(0x3FFD0003);   // PR_MESSAGE_CODEPAGE
inline constexpr PropTag kInternetCodePage = PropTag::From(0x3FDE0003);  // PR_INTERNET_CPID
inline constexpr PropTag kCodePageId = PropTag::From(0x66C30003);        // PR_CODE_PAGE_ID
inline constexpr PropTag kRtfCompressed = PropTag::From(0x10090102);     // PR_RTF_COMPRESSED
inline constexpr PropTag kAttachMethod = PropTag::From(0x37050003);      // PR_ATTACH_METHOD
inline constexpr PropTag kAttachDataBin = PropTag::From(0x37010102);     // PR_ATTACH_DATA_BIN
inline constexpr PropTag kAttachDataObject = PropTag::From(0x3701000D);  // PR_ATTACH_DATA_OBJ
inline constexpr PropTag kAttachSize = PropTag::From(0x0E200003);        // PR_ATTACH_SIZE
inline constexpr std::uint16_t kAttachLongFilenameId = 0x3707;           // PR_ATTACH_LONG_FILENAME

// PR_ATTACH_METHOD values.
inline constexpr std::int32_t kAttachByValue = 1;
inline constexpr std::int32_t kAttachByReference = 2;
inline constexpr std::int32_t kAttachByRefResolve = 3;
inline constexpr std::int32_t kAttachByRefOnly = 4;
inline constexpr std::int32_t kAttachEmbeddedMessage = 5;
inline constexpr std::int32_t kAttachOle = 6;
inline constexpr std::int32_t kAttachByWebReference = 7;

// Name-to-id map.
inline constexpr PropTag kNameIdBucketCount = PropTag::From(0x00010003);  // PR_NAMEID_BUCKET_COUNT
inline constexpr PropTag kNameIdStreamGuid = PropTag::From(0x00020102);   // PR_NAMEID_STREAM_GUID
inline constexpr PropTag kNameIdStreamEntry = PropTag::From(0x00030102);  // PR_NAMEID_STREAM_ENTRY
inline constexpr PropTag kNameIdStreamString =
    PropTag::From(0x00040102);  // PR_NAMEID_STREAM_STRING

// Receive-folder table columns.
inline constexpr std::uint16_t kReceiveFolderNodeId = 0x6605;  // folder NID of a class

}  // namespace pst::messaging::tags
