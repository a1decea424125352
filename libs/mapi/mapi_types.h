// Base types and records of the mail-library interface, laid out as the public mail SDK publishes
// them. Shared by the program and by the mail library that implements the interface, so the layout
// is the contract: ULONG and LONG are 32 bits on every platform, strings of PT_UNICODE values are
// UTF-16 (char16_t), and variable-length records end in a one-element array that is allocated
// larger (see the CbNew... helpers).
#pragma once

#include <cstddef>
#include <cstdint>

// Calling convention of interface methods and library functions: __stdcall on 32-bit Windows,
// the platform's default elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define STDMETHODCALLTYPE __stdcall
#define STDAPICALLTYPE __stdcall
#else
#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#endif

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using USHORT = std::uint16_t;
using SHORT = std::int16_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using BOOL = std::int32_t;
using FLOAT = float;
using SCODE = std::int32_t;
using HRESULT = std::int32_t;
using ULONG_PTR = std::uintptr_t;
using WCHAR = char16_t;

using LPVOID = void*;
using LPBYTE = BYTE*;
using LPULONG = ULONG*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
// Text arguments of interface methods: 8-bit strings unless the caller passes MAPI_UNICODE.
using LPTSTR = LPSTR;
using LPOLESTR = LPWSTR;

static_assert(sizeof(ULONG) == 4 && sizeof(LONG) == 4 && sizeof(HRESULT) == 4);

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using LPGUID = GUID*;
using LPIID = IID*;
using LPCIID = const IID*;
using REFIID = const IID&;

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}

// 100-nanosecond intervals since 1 January 1601 UTC, split into two 32-bit halves.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using LPFILETIME = FILETIME*;

// A currency amount: a 64-bit count of ten-thousandths.
union CURRENCY {
  struct {
    ULONG Lo;
    LONG Hi;
  } s;
  LONGLONG int64;
};

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};

// The 16-byte unique identifier of a provider, service or store.
struct MAPIUID {
  BYTE ab[16];
};
using LPMAPIUID = MAPIUID*;

// Declared size of the trailing arrays of variable-length records.
inline constexpr std::size_t MAPI_DIM = 1;

struct SBinary {
  ULONG cb;
  LPBYTE lpb;
};
using LPSBinary = SBinary*;
using ENTRYID = BYTE;  // an entry id is an opaque byte string
using LPENTRYID = ENTRYID*;

// Multi-valued property arrays: a count and a pointer to the values.
struct SShortArray {
  ULONG cValues;
  SHORT* lpi;
};
struct SLongArray {
  ULONG cValues;
  LONG* lpl;
};
struct SRealArray {
  ULONG cValues;
  FLOAT* lpflt;
};
struct SDoubleArray {
  ULONG cValues;
  double* lpdbl;
};
struct SCurrencyArray {
  ULONG cValues;
  CURRENCY* lpcur;
};
struct SAppTimeArray {
  ULONG cValues;
  double* lpat;
};
struct SDateTimeArray {
  ULONG cValues;
  FILETIME* lpft;
};
struct SBinaryArray {
  ULONG cValues;
  SBinary* lpbin;
};
struct SLPSTRArray {
  ULONG cValues;
  LPSTR* lppszA;
};
struct SWStringArray {
  ULONG cValues;
  LPWSTR* lppszW;
};
struct SGuidArray {
  ULONG cValues;
  GUID* lpguid;
};
struct SLargeIntegerArray {
  ULONG cValues;
  LARGE_INTEGER* lpli;
};

using ENTRYLIST = SBinaryArray;
using LPENTRYLIST = ENTRYLIST*;

// The value of one property; which member is valid follows from the type in the tag.
union PV {
  SHORT i;                  // PT_I2
  LONG l;                   // PT_LONG
  ULONG ul;                 // PT_LONG, unsigned
  FLOAT flt;                // PT_R4
  double dbl;               // PT_DOUBLE
  unsigned short b;         // PT_BOOLEAN
  CURRENCY cur;             // PT_CURRENCY
  double at;                // PT_APPTIME
  FILETIME ft;              // PT_SYSTIME
  LPSTR lpszA;              // PT_STRING8
  SBinary bin;              // PT_BINARY
  LPWSTR lpszW;             // PT_UNICODE
  LPGUID lpguid;            // PT_CLSID
  LARGE_INTEGER li;         // PT_I8
  SShortArray MVi;          // PT_MV_I2
  SLongArray MVl;           // PT_MV_LONG
  SRealArray MVflt;         // PT_MV_R4
  SDoubleArray MVdbl;       // PT_MV_DOUBLE
  SCurrencyArray MVcur;     // PT_MV_CURRENCY
  SAppTimeArray MVat;       // PT_MV_APPTIME
  SDateTimeArray MVft;      // PT_MV_SYSTIME
  SBinaryArray MVbin;       // PT_MV_BINARY
  SLPSTRArray MVszA;        // PT_MV_STRING8
  SWStringArray MVszW;      // PT_MV_UNICODE
  SGuidArray MVguid;        // PT_MV_CLSID
  SLargeIntegerArray MVli;  // PT_MV_I8
  SCODE err;                // PT_ERROR
  LONG x;                   // PT_NULL, PT_OBJECT
};

struct SPropValue {
  ULONG ulPropTag;
  ULONG dwAlignPad;
  PV Value;
};
using LPSPropValue = SPropValue*;

struct SPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[MAPI_DIM];
};
using LPSPropTagArray = SPropTagArray*;

// Bytes for a tag array of n tags: 4 + 4 * n.
constexpr std::size_t CbNewSPropTagArray(std::size_t n) {
  return offsetof(SPropTagArray, aulPropTag) + n * sizeof(ULONG);
}

// One row of a table: its column values.
struct SRow {
  ULONG ulAdrEntryPad;
  ULONG cValues;
  LPSPropValue lpProps;
};
using LPSRow = SRow*;

struct SRowSet {
  ULONG cRows;
  SRow aRow[MAPI_DIM];
};
using LPSRowSet = SRowSet*;

constexpr std::size_t CbNewSRowSet(std::size_t n) {
  return offsetof(SRowSet, aRow) + n * sizeof(SRow);
}

// Extended error information returned by GetLastError.
struct MAPIERROR {
  ULONG ulVersion;
  LPTSTR lpszError;
  LPTSTR lpszComponent;
  ULONG ulLowLevelError;
  ULONG ulContext;
};
using LPMAPIERROR = MAPIERROR*;

// One property that SetProps, DeleteProps or CopyTo could not handle.
struct SPropProblem {
  ULONG ulIndex;
  ULONG ulPropTag;
  SCODE scode;
};
struct SPropProblemArray {
  ULONG cProblem;
  SPropProblem aProblem[MAPI_DIM];
};
using LPSPropProblemArray = SPropProblemArray*;

struct SSortOrder {
  ULONG ulPropTag;
  ULONG ulOrder;
};
struct SSortOrderSet {
  ULONG cSorts;
  ULONG cCategories;
  ULONG cExpanded;
  SSortOrder aSort[MAPI_DIM];
};
using LPSSortOrderSet = SSortOrderSet*;

// The initialisation record that MAPIInitialize may take.
struct MAPIINIT_0 {
  ULONG ulVersion;
  ULONG ulFlags;
};

// Position and status of a stream, as IStream::Stat reports them.
struct STATSTG {
  LPOLESTR pwcsName;
  DWORD type;
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
};

// The layouts the interface fixes, as the platform's 32-bit library and a 64-bit one lay them out:
// a record built by one side is read by the other.
namespace mapi_layout {
inline constexpr bool k32Bit = sizeof(void*) == 4;
static_assert(sizeof(GUID) == 16 && sizeof(MAPIUID) == 16 && sizeof(FILETIME) == 8);
static_assert(sizeof(SBinary) == (k32Bit ? 8 : 16) && offsetof(SBinary, lpb) == (k32Bit ? 4 : 8));
static_assert(sizeof(PV) == (k32Bit ? 8 : 16));
static_assert(sizeof(SPropValue) == (k32Bit ? 16 : 24) && offsetof(SPropValue, Value) == 8);
static_assert(offsetof(SPropTagArray, aulPropTag) == 4 && sizeof(SPropTagArray) == 8);
static_assert(sizeof(SRow) == (k32Bit ? 12 : 16) && offsetof(SRow, lpProps) == 8);
static_assert(offsetof(SRowSet, aRow) == (k32Bit ? 4 : 8));
static_assert(sizeof(MAPIERROR) == (k32Bit ? 20 : 32) &&
              offsetof(MAPIERROR, ulLowLevelError) == (k32Bit ? 12 : 24));
static_assert(sizeof(SSortOrderSet) == 20 && offsetof(SSortOrderSet, aSort) == 12);
static_assert(sizeof(STATSTG) == (k32Bit ? 72 : 80) &&
              offsetof(STATSTG, cbSize) == (k32Bit ? 8 : 16) &&
              offsetof(STATSTG, clsid) == (k32Bit ? 48 : 56));
}  // namespace mapi_layout

using BOOKMARK = ULONG_PTR;

// Records the interfaces mention but the program never builds; kept opaque.
struct SRestriction;
using LPSRestriction = SRestriction*;
struct MAPINAMEID;
using LPMAPINAMEID = MAPINAMEID*;
struct ADRLIST;
using LPADRLIST = ADRLIST*;
struct NOTIFKEY;
using LPNOTIFKEY = NOTIFKEY*;
