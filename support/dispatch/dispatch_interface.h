// The automation dispatch interface of our own, shaped after the platform's IUnknown and IDispatch:
// status codes, invoke flags, the argument-list and error-information records, and the two
// abstract classes that model objects implement. There is no COM on Linux; the names stay close to
// the platform's so that a Windows build could map them one to one.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/dispatch/variant.h"

namespace dispatch {

using HRESULT = std::int32_t;
using DISPID = std::int32_t;
using LCID = std::uint32_t;
using WORD = std::uint16_t;
// Interface id, in the platform's binary GUID layout (first three fields little-endian).
using IID = std::array<std::uint8_t, 16>;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
inline constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);

inline constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
inline constexpr bool Failed(HRESULT hr) { return hr < 0; }

// Invoke flags.
inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch = {0x00, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
inline constexpr IID IID_NULL = {};

// Arguments of one invoke. As with IDispatch, rgvarg holds the arguments last-first: the caller's
// first argument is the last element.
struct DISPPARAMS {
  std::vector<TVariant> rgvarg;
  std::vector<DISPID> rgdispidNamedArgs;
};

// Error information filled when a member raises an error.
struct EXCEPINFO {
  WORD wCode = 0;
  std::u16string bstrSource;
  std::u16string bstrDescription;
  HRESULT scode = 0;
};

class IUnknownLike {
 public:
  // Gives this object as the interface asked for (adding a reference), or E_NOINTERFACE.
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  // The new reference count; -1 for objects whose lifetime references do not govern.
  virtual std::int32_t AddRef() = 0;
  virtual std::int32_t Release() = 0;

 protected:
  ~IUnknownLike() = default;
};

class IDispatchLike : public IUnknownLike {
 public:
  virtual HRESULT GetTypeInfoCount(std::uint32_t* count) = 0;
  virtual HRESULT GetTypeInfo(std::uint32_t index, LCID locale, void** type_info) = 0;
  // One id per name, in order; ids has at least as many slots as names.
  virtual HRESULT GetIDsOfNames(const IID& iid, std::span<const std::u16string> names, LCID locale,
                                std::span<DISPID> ids) = 0;
  // result, excep_info and arg_err may be null.
  virtual HRESULT Invoke(DISPID id, const IID& iid, LCID locale, WORD flags, DISPPARAMS& params,
                         TVariant* result, EXCEPINFO* excep_info, std::uint32_t* arg_err) = 0;

 protected:
  ~IDispatchLike() = default;
};

}  // namespace dispatch
