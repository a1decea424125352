// Flags and enumerated values passed to and returned by the interface's functions and methods.
#pragma once

#include "libs/mapi/mapi_types.h"

// Text arguments are UTF-16 instead of 8-bit.
inline constexpr ULONG MAPI_UNICODE = 0x80000000;

// MAPIInitialize.
inline constexpr ULONG MAPI_INIT_VERSION = 0;
inline constexpr ULONG MAPI_MULTITHREAD_NOTIFICATIONS = 0x00000001;
inline constexpr ULONG MAPI_NO_COINIT = 0x00000008;
inline constexpr ULONG MAPI_NT_SERVICE = 0x00010000;

// MAPILogonEx.
inline constexpr ULONG MAPI_LOGON_UI = 0x00000001;
inline constexpr ULONG MAPI_NEW_SESSION = 0x00000002;
inline constexpr ULONG MAPI_ALLOW_OTHERS = 0x00000008;
inline constexpr ULONG MAPI_EXPLICIT_PROFILE = 0x00000010;
inline constexpr ULONG MAPI_EXTENDED = 0x00000020;
inline constexpr ULONG MAPI_FORCE_DOWNLOAD = 0x00001000;
inline constexpr ULONG MAPI_SERVICE_UI_ALWAYS = 0x00002000;
inline constexpr ULONG MAPI_NO_MAIL = 0x00008000;
inline constexpr ULONG MAPI_PASSWORD_UI = 0x00020000;
inline constexpr ULONG MAPI_TIMEOUT_SHORT = 0x00100000;

// Opening objects (OpenEntry, OpenMsgStore, OpenProperty, OpenAttach).
inline constexpr ULONG MAPI_MODIFY = 0x00000001;
inline constexpr ULONG MAPI_CREATE = 0x00000002;
inline constexpr ULONG MAPI_DEFERRED_ERRORS = 0x00000008;
inline constexpr ULONG MAPI_BEST_ACCESS = 0x00000010;
inline constexpr ULONG MAPI_NO_CACHE = 0x00000200;
inline constexpr ULONG MDB_NO_DIALOG = 0x00000001;
inline constexpr ULONG MDB_WRITE = 0x00000004;
inline constexpr ULONG MDB_TEMPORARY = 0x00000020;
inline constexpr ULONG MDB_NO_MAIL = 0x00000080;

// IMsgStore::StoreLogoff.
inline constexpr ULONG LOGOFF_NO_WAIT = 0x00000001;
inline constexpr ULONG LOGOFF_ORDERLY = 0x00000002;
inline constexpr ULONG LOGOFF_PURGE = 0x00000004;
inline constexpr ULONG LOGOFF_ABORT = 0x00000008;
inline constexpr ULONG LOGOFF_QUIET = 0x00000010;

// IMAPIProp::SaveChanges.
inline constexpr ULONG KEEP_OPEN_READONLY = 0x00000001;
inline constexpr ULONG KEEP_OPEN_READWRITE = 0x00000002;
inline constexpr ULONG FORCE_SAVE = 0x00000004;

// IMsgServiceAdmin::ConfigureMsgService.
inline constexpr ULONG SERVICE_UI_ALWAYS = 0x00000002;
inline constexpr ULONG MSG_SERVICE_UI_READ_ONLY = 0x00000008;
inline constexpr ULONG SERVICE_UI_ALLOWED = 0x00000010;

// HrValidateIPMSubtree.
inline constexpr ULONG MAPI_FORCE_CREATE = 0x00000001;
inline constexpr ULONG MAPI_FULL_IPM_TREE = 0x00000002;

// Bits of PR_VALID_FOLDER_MASK.
inline constexpr ULONG FOLDER_IPM_SUBTREE_VALID = 0x00000001;
inline constexpr ULONG FOLDER_IPM_INBOX_VALID = 0x00000002;
inline constexpr ULONG FOLDER_IPM_OUTBOX_VALID = 0x00000004;
inline constexpr ULONG FOLDER_IPM_WASTEBASKET_VALID = 0x00000008;
inline constexpr ULONG FOLDER_IPM_SENTMAIL_VALID = 0x00000010;
inline constexpr ULONG FOLDER_VIEWS_VALID = 0x00000020;
inline constexpr ULONG FOLDER_COMMON_VIEWS_VALID = 0x00000040;
inline constexpr ULONG FOLDER_FINDER_VALID = 0x00000080;

// Tables.
inline constexpr BOOKMARK BOOKMARK_BEGINNING = 0;
inline constexpr BOOKMARK BOOKMARK_CURRENT = 1;
inline constexpr BOOKMARK BOOKMARK_END = 2;
inline constexpr ULONG TBL_ASYNC = 0x00000001;
inline constexpr ULONG TBL_BATCH = 0x00000002;
inline constexpr ULONG TBL_NOADVANCE = 0x00000001;

// Values of PR_OBJECT_TYPE and of the object type OpenEntry reports.
inline constexpr ULONG MAPI_STORE = 1;
inline constexpr ULONG MAPI_ADDRBOOK = 2;
inline constexpr ULONG MAPI_FOLDER = 3;
inline constexpr ULONG MAPI_ABCONT = 4;
inline constexpr ULONG MAPI_MESSAGE = 5;
inline constexpr ULONG MAPI_MAILUSER = 6;
inline constexpr ULONG MAPI_ATTACH = 7;
inline constexpr ULONG MAPI_DISTLIST = 8;
inline constexpr ULONG MAPI_PROFSECT = 9;
inline constexpr ULONG MAPI_STATUS = 10;
inline constexpr ULONG MAPI_SESSION = 11;

// Values of PR_FOLDER_TYPE.
inline constexpr ULONG FOLDER_ROOT = 0;
inline constexpr ULONG FOLDER_GENERIC = 1;
inline constexpr ULONG FOLDER_SEARCH = 2;

// Values of PR_RECIPIENT_TYPE.
inline constexpr ULONG MAPI_ORIG = 0;
inline constexpr ULONG MAPI_TO = 1;
inline constexpr ULONG MAPI_CC = 2;
inline constexpr ULONG MAPI_BCC = 3;

// Values of PR_ATTACH_METHOD.
inline constexpr ULONG NO_ATTACHMENT = 0;
inline constexpr ULONG ATTACH_BY_VALUE = 1;
inline constexpr ULONG ATTACH_BY_REFERENCE = 2;
inline constexpr ULONG ATTACH_BY_REF_RESOLVE = 3;
inline constexpr ULONG ATTACH_BY_REF_ONLY = 4;
inline constexpr ULONG ATTACH_EMBEDDED_MSG = 5;
inline constexpr ULONG ATTACH_OLE = 6;

// Bits of PR_MESSAGE_FLAGS.
inline constexpr ULONG MSGFLAG_READ = 0x00000001;
inline constexpr ULONG MSGFLAG_UNMODIFIED = 0x00000002;
inline constexpr ULONG MSGFLAG_SUBMIT = 0x00000004;
inline constexpr ULONG MSGFLAG_UNSENT = 0x00000008;
inline constexpr ULONG MSGFLAG_HASATTACH = 0x00000010;
inline constexpr ULONG MSGFLAG_FROMME = 0x00000020;
inline constexpr ULONG MSGFLAG_ASSOCIATED = 0x00000040;

// WrapCompressedRTFStream.
inline constexpr ULONG STORE_UNCOMPRESSED_RTF = 0x00008000;

// Streams.
inline constexpr DWORD STGM_READ = 0x00000000;
inline constexpr DWORD STGM_WRITE = 0x00000001;
inline constexpr DWORD STGM_READWRITE = 0x00000002;
inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;
inline constexpr DWORD STATFLAG_DEFAULT = 0;
inline constexpr DWORD STATFLAG_NONAME = 1;

// The version of MAPIERROR records.
inline constexpr ULONG MAPI_ERROR_VERSION = 0;
