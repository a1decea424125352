// Property types and property tags. A tag is 32 bits: the property id in the high half and the
// property type in the low half; the type bit 0x1000 marks a multi-valued property.
#pragma once

#include "libs/mapi/mapi_types.h"

// Property types.
inline constexpr ULONG PT_UNSPECIFIED = 0x0000;
inline constexpr ULONG PT_NULL = 0x0001;
inline constexpr ULONG PT_I2 = 0x0002;
inline constexpr ULONG PT_SHORT = PT_I2;
inline constexpr ULONG PT_LONG = 0x0003;
inline constexpr ULONG PT_I4 = PT_LONG;
inline constexpr ULONG PT_R4 = 0x0004;
inline constexpr ULONG PT_FLOAT = PT_R4;
inline constexpr ULONG PT_DOUBLE = 0x0005;
inline constexpr ULONG PT_R8 = PT_DOUBLE;
inline constexpr ULONG PT_CURRENCY = 0x0006;
inline constexpr ULONG PT_APPTIME = 0x0007;
inline constexpr ULONG PT_ERROR = 0x000A;
inline constexpr ULONG PT_BOOLEAN = 0x000B;
inline constexpr ULONG PT_OBJECT = 0x000D;
inline constexpr ULONG PT_I8 = 0x0014;
inline constexpr ULONG PT_LONGLONG = PT_I8;
inline constexpr ULONG PT_STRING8 = 0x001E;
inline constexpr ULONG PT_UNICODE = 0x001F;
inline constexpr ULONG PT_SYSTIME = 0x0040;
inline constexpr ULONG PT_CLSID = 0x0048;
inline constexpr ULONG PT_BINARY = 0x0102;

inline constexpr ULONG MV_FLAG = 0x1000;
inline constexpr ULONG MV_INSTANCE = 0x2000;

inline constexpr ULONG PT_MV_I2 = MV_FLAG | PT_I2;
inline constexpr ULONG PT_MV_LONG = MV_FLAG | PT_LONG;
inline constexpr ULONG PT_MV_R4 = MV_FLAG | PT_R4;
inline constexpr ULONG PT_MV_DOUBLE = MV_FLAG | PT_DOUBLE;
inline constexpr ULONG PT_MV_CURRENCY = MV_FLAG | PT_CURRENCY;
inline constexpr ULONG PT_MV_APPTIME = MV_FLAG | PT_APPTIME;
inline constexpr ULONG PT_MV_I8 = MV_FLAG | PT_I8;
inline constexpr ULONG PT_MV_STRING8 = MV_FLAG | PT_STRING8;
inline constexpr ULONG PT_MV_UNICODE = MV_FLAG | PT_UNICODE;
inline constexpr ULONG PT_MV_SYSTIME = MV_FLAG | PT_SYSTIME;
inline constexpr ULONG PT_MV_CLSID = MV_FLAG | PT_CLSID;
inline constexpr ULONG PT_MV_BINARY = MV_FLAG | PT_BINARY;

constexpr ULONG PROP_TAG(ULONG type, ULONG id) { return (id << 16) | type; }
constexpr ULONG PROP_TYPE(ULONG tag) { return tag & 0xFFFF; }
constexpr ULONG PROP_ID(ULONG tag) { return tag >> 16; }
constexpr ULONG CHANGE_PROP_TYPE(ULONG tag, ULONG type) { return (tag & 0xFFFF0000) | type; }

inline constexpr ULONG PR_NULL = PROP_TAG(PT_NULL, 0);

// Objects in general.
inline constexpr ULONG PR_ENTRYID = 0x0FFF0102;
inline constexpr ULONG PR_OBJECT_TYPE = 0x0FFE0003;
inline constexpr ULONG PR_STORE_ENTRYID = 0x0FFB0102;
inline constexpr ULONG PR_STORE_RECORD_KEY = 0x0FFA0102;
inline constexpr ULONG PR_RECORD_KEY = 0x0FF90102;
inline constexpr ULONG PR_INSTANCE_KEY = 0x0FF60102;
inline constexpr ULONG PR_ROW_TYPE = 0x0FF50003;
inline constexpr ULONG PR_PARENT_ENTRYID = 0x0E090102;
inline constexpr ULONG PR_DISPLAY_NAME = 0x3001001E;
inline constexpr ULONG PR_DISPLAY_NAME_W = 0x3001001F;
inline constexpr ULONG PR_ADDRTYPE = 0x3002001E;
inline constexpr ULONG PR_EMAIL_ADDRESS = 0x3003001E;
inline constexpr ULONG PR_COMMENT = 0x3004001E;
inline constexpr ULONG PR_DEPTH = 0x30050003;
inline constexpr ULONG PR_PROVIDER_DISPLAY = 0x3006001E;
inline constexpr ULONG PR_CREATION_TIME = 0x30070040;
inline constexpr ULONG PR_LAST_MODIFICATION_TIME = 0x30080040;
inline constexpr ULONG PR_RESOURCE_FLAGS = 0x30090003;
inline constexpr ULONG PR_SEARCH_KEY = 0x300B0102;
inline constexpr ULONG PR_ROWID = 0x30000003;

// Profiles, services and the personal-folders service's configuration.
inline constexpr ULONG PR_SERVICE_NAME = 0x3D09001E;
inline constexpr ULONG PR_SERVICE_UID = 0x3D0C0102;
inline constexpr ULONG PR_PROFILE_NAME = 0x3D12001E;
inline constexpr ULONG PR_PST_PATH = 0x6700001E;
inline constexpr ULONG PR_PST_REMEMBER_PW = 0x6701000B;
inline constexpr ULONG PR_PST_ENCRYPTION = 0x67020003;
inline constexpr ULONG PR_PST_PW_SZ_OLD = 0x6703001E;
inline constexpr ULONG PR_PST_PW_SZ_NEW = 0x6704001E;

// Message stores.
inline constexpr ULONG PR_DEFAULT_STORE = 0x3400000B;
inline constexpr ULONG PR_STORE_SUPPORT_MASK = 0x340D0003;
inline constexpr ULONG PR_MDB_PROVIDER = 0x34140102;
inline constexpr ULONG PR_VALID_FOLDER_MASK = 0x35DF0003;
inline constexpr ULONG PR_IPM_SUBTREE_ENTRYID = 0x35E00102;
inline constexpr ULONG PR_IPM_OUTBOX_ENTRYID = 0x35E20102;
inline constexpr ULONG PR_IPM_WASTEBASKET_ENTRYID = 0x35E30102;
inline constexpr ULONG PR_IPM_SENTMAIL_ENTRYID = 0x35E40102;
inline constexpr ULONG PR_FINDER_ENTRYID = 0x35E70102;
// The value under which the IPM-subtree validation hands out the inbox's entry id (a binary value
// of property id 0; the interface gives it no name).
inline constexpr ULONG kValidatedInboxEntryIdTag = PROP_TAG(PT_BINARY, 0);

// Folders.
inline constexpr ULONG PR_FOLDER_TYPE = 0x36010003;
inline constexpr ULONG PR_CONTENT_COUNT = 0x36020003;
inline constexpr ULONG PR_CONTENT_UNREAD = 0x36030003;
inline constexpr ULONG PR_SUBFOLDERS = 0x360A000B;
inline constexpr ULONG PR_STATUS = 0x360B0003;
inline constexpr ULONG PR_CONTAINER_HIERARCHY = 0x360E000D;
inline constexpr ULONG PR_CONTAINER_CONTENTS = 0x360F000D;
inline constexpr ULONG PR_CONTAINER_CLASS = 0x3613001E;

// Messages.
inline constexpr ULONG PR_MESSAGE_CLASS = 0x001A001E;
inline constexpr ULONG PR_SUBJECT = 0x0037001E;
inline constexpr ULONG PR_SUBJECT_W = 0x0037001F;
inline constexpr ULONG PR_CLIENT_SUBMIT_TIME = 0x00390040;
inline constexpr ULONG PR_SENT_REPRESENTING_NAME = 0x0042001E;
inline constexpr ULONG PR_SENT_REPRESENTING_ADDRTYPE = 0x0064001E;
inline constexpr ULONG PR_SENT_REPRESENTING_EMAIL_ADDRESS = 0x0065001E;
inline constexpr ULONG PR_SENT_REPRESENTING_SMTP_ADDRESS = 0x5D02001E;
inline constexpr ULONG PR_TRANSPORT_MESSAGE_HEADERS = 0x007D001E;
inline constexpr ULONG PR_SENDER_NAME = 0x0C1A001E;
inline constexpr ULONG PR_SENDER_ADDRTYPE = 0x0C1E001E;
inline constexpr ULONG PR_SENDER_EMAIL_ADDRESS = 0x0C1F001E;
inline constexpr ULONG PR_SENDER_SMTP_ADDRESS = 0x5D01001E;
inline constexpr ULONG PR_DISPLAY_CC = 0x0E03001E;
inline constexpr ULONG PR_DISPLAY_TO = 0x0E04001E;
inline constexpr ULONG PR_MESSAGE_DELIVERY_TIME = 0x0E060040;
inline constexpr ULONG PR_MESSAGE_FLAGS = 0x0E070003;
inline constexpr ULONG PR_MESSAGE_SIZE = 0x0E080003;
inline constexpr ULONG PR_MESSAGE_RECIPIENTS = 0x0E12000D;
inline constexpr ULONG PR_MESSAGE_ATTACHMENTS = 0x0E13000D;
inline constexpr ULONG PR_HASATTACH = 0x0E1B000B;
inline constexpr ULONG PR_RTF_IN_SYNC = 0x0E1F000B;
inline constexpr ULONG PR_BODY = 0x1000001E;
inline constexpr ULONG PR_BODY_W = 0x1000001F;
inline constexpr ULONG PR_RTF_COMPRESSED = 0x10090102;
inline constexpr ULONG PR_HTML = 0x10130102;
inline constexpr ULONG PR_INTERNET_MESSAGE_ID = 0x1035001E;
inline constexpr ULONG PR_INTERNET_CPID = 0x3FDE0003;
inline constexpr ULONG PR_MESSAGE_CODEPAGE = 0x3FFD0003;

// Recipients.
inline constexpr ULONG PR_RECIPIENT_TYPE = 0x0C150003;
inline constexpr ULONG PR_SMTP_ADDRESS = 0x39FE001E;

// Attachments.
inline constexpr ULONG PR_ATTACH_SIZE = 0x0E200003;
inline constexpr ULONG PR_ATTACH_NUM = 0x0E210003;
inline constexpr ULONG PR_ATTACH_DATA_BIN = 0x37010102;
inline constexpr ULONG PR_ATTACH_DATA_OBJ = 0x3701000D;
inline constexpr ULONG PR_ATTACH_EXTENSION = 0x3703001E;
inline constexpr ULONG PR_ATTACH_FILENAME = 0x3704001E;
inline constexpr ULONG PR_ATTACH_METHOD = 0x37050003;
inline constexpr ULONG PR_ATTACH_LONG_FILENAME = 0x3707001E;
inline constexpr ULONG PR_ATTACH_PATHNAME = 0x3708001E;
inline constexpr ULONG PR_ATTACH_LONG_PATHNAME = 0x370D001E;
inline constexpr ULONG PR_ATTACH_RENDERING = 0x37090102;
inline constexpr ULONG PR_RENDERING_POSITION = 0x370B0003;
inline constexpr ULONG PR_ATTACH_MIME_TAG = 0x370E001E;
inline constexpr ULONG PR_ATTACH_CONTENT_ID = 0x3712001E;
inline constexpr ULONG PR_ATTACH_CONTENT_ID_W = 0x3712001F;
inline constexpr ULONG PR_ATTACH_CONTENT_LOCATION = 0x3713001E;
inline constexpr ULONG PR_ATTACH_FLAGS = 0x37140003;

// This library's own property (provider-defined range 0x6600-0x67FF), the way the mail library
// tells its caller about damage met while reading an object. Asked for alone with GetProps, a
// message answers the findings met since it was opened (its attachments, recipients, embedded
// messages and streams included), and the store answers the findings no message took (B-tree pages,
// folders, the file as a whole): one line of text, or PT_ERROR with MAPI_E_NOT_FOUND when there
// were none. Asking takes the findings: they are answered once.
inline constexpr ULONG PR_INTEGRITY_FINDINGS = 0x67F0001E;
// Its companion: asked for alone with GetProps, a message sets aside the findings met so far on the
// calling thread and answers PT_BOOLEAN true; its next PR_INTEGRITY_FINDINGS answers them with
// those met later, as if they had not been set aside. A thread that reads a message, then another,
// then the first again, so keeps what the second met out of the first one's findings.
inline constexpr ULONG PR_INTEGRITY_FINDINGS_SET_ASIDE = 0x67F1000B;
