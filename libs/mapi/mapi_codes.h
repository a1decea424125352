// Status codes of the mail-library interface. An HRESULT is negative for failure; zero and positive
// values (the MAPI_W_ warnings included) are success.
#pragma once

#include "libs/mapi/mapi_types.h"

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// An interface status code of severity error (MAPI_E_) or warning (MAPI_W_).
constexpr SCODE MakeMapiError(ULONG code) { return static_cast<SCODE>(0x80040000u | code); }
constexpr SCODE MakeMapiWarning(ULONG code) { return static_cast<SCODE>(0x00040000u | code); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT SUCCESS_SUCCESS = 0;

// General system codes.
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

// Stream codes.
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001);
inline constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005);
inline constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009);
inline constexpr HRESULT STG_E_WRITEFAULT = static_cast<HRESULT>(0x8003001D);
inline constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001E);
inline constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070);

// General errors, shared with the system codes.
inline constexpr HRESULT MAPI_E_CALL_FAILED = E_FAIL;
inline constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = E_OUTOFMEMORY;
inline constexpr HRESULT MAPI_E_INVALID_PARAMETER = E_INVALIDARG;
inline constexpr HRESULT MAPI_E_INTERFACE_NOT_SUPPORTED = E_NOINTERFACE;
inline constexpr HRESULT MAPI_E_NO_ACCESS = E_ACCESSDENIED;

// General errors of the interface.
inline constexpr HRESULT MAPI_E_NO_SUPPORT = MakeMapiError(0x102);
inline constexpr HRESULT MAPI_E_BAD_CHARWIDTH = MakeMapiError(0x103);
inline constexpr HRESULT MAPI_E_STRING_TOO_LONG = MakeMapiError(0x105);
inline constexpr HRESULT MAPI_E_UNKNOWN_FLAGS = MakeMapiError(0x106);
inline constexpr HRESULT MAPI_E_INVALID_ENTRYID = MakeMapiError(0x107);
inline constexpr HRESULT MAPI_E_INVALID_OBJECT = MakeMapiError(0x108);
inline constexpr HRESULT MAPI_E_OBJECT_CHANGED = MakeMapiError(0x109);
inline constexpr HRESULT MAPI_E_OBJECT_DELETED = MakeMapiError(0x10A);
inline constexpr HRESULT MAPI_E_BUSY = MakeMapiError(0x10B);
inline constexpr HRESULT MAPI_E_NOT_ENOUGH_DISK = MakeMapiError(0x10D);
inline constexpr HRESULT MAPI_E_NOT_ENOUGH_RESOURCES = MakeMapiError(0x10E);
inline constexpr HRESULT MAPI_E_NOT_FOUND = MakeMapiError(0x10F);
inline constexpr HRESULT MAPI_E_VERSION = MakeMapiError(0x110);
inline constexpr HRESULT MAPI_E_LOGON_FAILED = MakeMapiError(0x111);
inline constexpr HRESULT MAPI_E_SESSION_LIMIT = MakeMapiError(0x112);
inline constexpr HRESULT MAPI_E_USER_CANCEL = MakeMapiError(0x113);
inline constexpr HRESULT MAPI_E_UNABLE_TO_ABORT = MakeMapiError(0x114);
inline constexpr HRESULT MAPI_E_NETWORK_ERROR = MakeMapiError(0x115);
inline constexpr HRESULT MAPI_E_DISK_ERROR = MakeMapiError(0x116);
inline constexpr HRESULT MAPI_E_TOO_COMPLEX = MakeMapiError(0x117);
inline constexpr HRESULT MAPI_E_BAD_COLUMN = MakeMapiError(0x118);
inline constexpr HRESULT MAPI_E_EXTENDED_ERROR = MakeMapiError(0x119);
inline constexpr HRESULT MAPI_E_COMPUTED = MakeMapiError(0x11A);
inline constexpr HRESULT MAPI_E_CORRUPT_DATA = MakeMapiError(0x11B);
inline constexpr HRESULT MAPI_E_UNCONFIGURED = MakeMapiError(0x11C);
inline constexpr HRESULT MAPI_E_FAILONEPROVIDER = MakeMapiError(0x11D);
inline constexpr HRESULT MAPI_E_UNKNOWN_CPID = MakeMapiError(0x11E);
inline constexpr HRESULT MAPI_E_UNKNOWN_LCID = MakeMapiError(0x11F);

// Kinds of refused access, used at logon.
inline constexpr HRESULT MAPI_E_PASSWORD_CHANGE_REQUIRED = MakeMapiError(0x120);
inline constexpr HRESULT MAPI_E_PASSWORD_EXPIRED = MakeMapiError(0x121);
inline constexpr HRESULT MAPI_E_INVALID_WORKSTATION_ACCOUNT = MakeMapiError(0x122);
inline constexpr HRESULT MAPI_E_INVALID_ACCESS_TIME = MakeMapiError(0x123);
inline constexpr HRESULT MAPI_E_ACCOUNT_DISABLED = MakeMapiError(0x124);

// Library functions and status objects.
inline constexpr HRESULT MAPI_E_END_OF_SESSION = MakeMapiError(0x200);
inline constexpr HRESULT MAPI_E_UNKNOWN_ENTRYID = MakeMapiError(0x201);
inline constexpr HRESULT MAPI_E_MISSING_REQUIRED_COLUMN = MakeMapiError(0x202);
inline constexpr HRESULT MAPI_W_NO_SERVICE = MakeMapiWarning(0x203);

// Properties.
inline constexpr HRESULT MAPI_E_BAD_VALUE = MakeMapiError(0x301);
inline constexpr HRESULT MAPI_E_INVALID_TYPE = MakeMapiError(0x302);
inline constexpr HRESULT MAPI_E_TYPE_NO_SUPPORT = MakeMapiError(0x303);
inline constexpr HRESULT MAPI_E_UNEXPECTED_TYPE = MakeMapiError(0x304);
inline constexpr HRESULT MAPI_E_TOO_BIG = MakeMapiError(0x305);
inline constexpr HRESULT MAPI_E_DECLINE_COPY = MakeMapiError(0x306);
inline constexpr HRESULT MAPI_E_UNEXPECTED_ID = MakeMapiError(0x307);
inline constexpr HRESULT MAPI_W_ERRORS_RETURNED = MakeMapiWarning(0x380);

// Tables.
inline constexpr HRESULT MAPI_E_UNABLE_TO_COMPLETE = MakeMapiError(0x400);
inline constexpr HRESULT MAPI_E_TIMEOUT = MakeMapiError(0x401);
inline constexpr HRESULT MAPI_E_TABLE_EMPTY = MakeMapiError(0x402);
inline constexpr HRESULT MAPI_E_TABLE_TOO_BIG = MakeMapiError(0x403);
inline constexpr HRESULT MAPI_E_INVALID_BOOKMARK = MakeMapiError(0x405);
inline constexpr HRESULT MAPI_W_POSITION_CHANGED = MakeMapiWarning(0x481);
inline constexpr HRESULT MAPI_W_APPROX_COUNT = MakeMapiWarning(0x482);

// Transports.
inline constexpr HRESULT MAPI_E_WAIT = MakeMapiError(0x500);
inline constexpr HRESULT MAPI_E_CANCEL = MakeMapiError(0x501);
inline constexpr HRESULT MAPI_E_NOT_ME = MakeMapiError(0x502);
inline constexpr HRESULT MAPI_W_CANCEL_MESSAGE = MakeMapiWarning(0x580);

// Stores, folders and messages.
inline constexpr HRESULT MAPI_E_CORRUPT_STORE = MakeMapiError(0x600);
inline constexpr HRESULT MAPI_E_NOT_IN_QUEUE = MakeMapiError(0x601);
inline constexpr HRESULT MAPI_E_NO_SUPPRESS = MakeMapiError(0x602);
inline constexpr HRESULT MAPI_E_COLLISION = MakeMapiError(0x604);
inline constexpr HRESULT MAPI_E_NOT_INITIALIZED = MakeMapiError(0x605);
inline constexpr HRESULT MAPI_E_NON_STANDARD = MakeMapiError(0x606);
inline constexpr HRESULT MAPI_E_NO_RECIPIENTS = MakeMapiError(0x607);
inline constexpr HRESULT MAPI_E_SUBMITTED = MakeMapiError(0x608);
inline constexpr HRESULT MAPI_E_HAS_FOLDERS = MakeMapiError(0x609);
inline constexpr HRESULT MAPI_E_HAS_MESSAGES = MakeMapiError(0x60A);
inline constexpr HRESULT MAPI_E_FOLDER_CYCLE = MakeMapiError(0x60B);
inline constexpr HRESULT MAPI_W_PARTIAL_COMPLETION = MakeMapiWarning(0x680);

// Address book.
inline constexpr HRESULT MAPI_E_AMBIGUOUS_RECIP = MakeMapiError(0x700);
