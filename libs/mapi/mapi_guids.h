// Interface identifiers of the interface's objects. The mail-library ids share the form
// {000203xx-0000-0000-C000-000000000046}.
#pragma once

#include "libs/mapi/mapi_types.h"

namespace mapi_guid_detail {
constexpr GUID OleGuid(std::uint32_t data1) {
  return GUID{data1, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}
}  // namespace mapi_guid_detail

inline constexpr IID IID_IUnknown = mapi_guid_detail::OleGuid(0x00000000);
inline constexpr IID IID_IStream = mapi_guid_detail::OleGuid(0x0000000C);
inline constexpr IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3A}};

inline constexpr IID IID_IMAPISession = mapi_guid_detail::OleGuid(0x00020300);
inline constexpr IID IID_IMAPITable = mapi_guid_detail::OleGuid(0x00020301);
inline constexpr IID IID_IMAPIAdviseSink = mapi_guid_detail::OleGuid(0x00020302);
inline constexpr IID IID_IMAPIProp = mapi_guid_detail::OleGuid(0x00020303);
inline constexpr IID IID_IProfSect = mapi_guid_detail::OleGuid(0x00020304);
inline constexpr IID IID_IMAPIStatus = mapi_guid_detail::OleGuid(0x00020305);
inline constexpr IID IID_IMsgStore = mapi_guid_detail::OleGuid(0x00020306);
inline constexpr IID IID_IMessage = mapi_guid_detail::OleGuid(0x00020307);
inline constexpr IID IID_IAttachment = mapi_guid_detail::OleGuid(0x00020308);
inline constexpr IID IID_IAddrBook = mapi_guid_detail::OleGuid(0x00020309);
inline constexpr IID IID_IMailUser = mapi_guid_detail::OleGuid(0x0002030A);
inline constexpr IID IID_IMAPIContainer = mapi_guid_detail::OleGuid(0x0002030B);
inline constexpr IID IID_IMAPIFolder = mapi_guid_detail::OleGuid(0x0002030C);
inline constexpr IID IID_IProfAdmin = mapi_guid_detail::OleGuid(0x0002031C);
inline constexpr IID IID_IMsgServiceAdmin = mapi_guid_detail::OleGuid(0x0002031D);
inline constexpr IID IID_IMAPIProgress = mapi_guid_detail::OleGuid(0x0002031F);
inline constexpr IID IID_IProviderAdmin = mapi_guid_detail::OleGuid(0x00020325);
