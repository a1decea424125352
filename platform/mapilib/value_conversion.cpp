// Conversion of stored property values to the interface's value records.
#include "platform/mapilib/value_conversion.h"

#include <cstring>

#include "platform/mapilib/mapi_allocator.h"
#include "platform/os/ansi_code_page.h"
#include "platform/pst/ltp/codepage_text.h"

namespace mapilib {
namespace {

bool IsStringType(ULONG type) { return type == PT_STRING8 || type == PT_UNICODE; }

// Copies a fixed-size stored value into the union member at `target`.
SCODE CopyFixed(const pst::ltp::PropertyValue& value, std::size_t size, void* target) {
  if (value.bytes().size() < size) return MAPI_E_CORRUPT_DATA;
  std::memcpy(target, value.bytes().data(), size);
  return S_OK;
}

SCODE ConvertSingle(const pst::ltp::PropertyValue& value, ULONG tag, void* parent,
                    SPropValue& out) {
  out.ulPropTag = tag;
  switch (PROP_TYPE(tag)) {
    case PT_I2:
      return CopyFixed(value, 2, &out.Value.i);
    case PT_LONG:
    case PT_ERROR:
      return CopyFixed(value, 4, &out.Value.l);
    case PT_R4:
      return CopyFixed(value, 4, &out.Value.flt);
    case PT_DOUBLE:
    case PT_APPTIME:
      return CopyFixed(value, 8, &out.Value.dbl);
    case PT_CURRENCY:
    case PT_I8:
      return CopyFixed(value, 8, &out.Value.li);
    case PT_SYSTIME:
      return CopyFixed(value, 8, &out.Value.ft);
    case PT_BOOLEAN: {
      auto b = value.AsBool();
      if (!b) return StatusToScode(b.status());
      out.Value.b = *b ? 1 : 0;
      return S_OK;
    }
    case PT_CLSID: {
      void* guid = AllocateMore(sizeof(GUID), parent);
      if (!guid) return MAPI_E_NOT_ENOUGH_MEMORY;
      out.Value.lpguid = static_cast<LPGUID>(guid);
      return CopyFixed(value, sizeof(GUID), guid);
    }
    case PT_BINARY:
      return SetBinaryValue(tag, value.bytes(), parent, out);
    case PT_UNICODE:
      if (value.type() == pst::ltp::prop_type::kUnicode) {
        // As stored: the UTF-16 units themselves, lone surrogates included.
        const std::size_t units = value.bytes().size() / 2;
        void* text = AllocateMore((units + 1) * 2, parent);
        if (!text) return MAPI_E_NOT_ENOUGH_MEMORY;
        std::memcpy(text, value.bytes().data(), units * 2);
        out.Value.lpszW = static_cast<LPWSTR>(text);
        return S_OK;
      }
      [[fallthrough]];
    case PT_STRING8: {
      auto text = value.AsUtf8();
      if (!text) return StatusToScode(text.status());
      return SetTextValue(tag, *text, parent, out);
    }
    default:
      return MAPI_E_NO_SUPPORT;
  }
}

// Element size in the interface's arrays for a multi-valued base type.
std::size_t ElementSize(ULONG base) {
  switch (base) {
    case PT_I2:
      return sizeof(SHORT);
    case PT_LONG:
      return sizeof(LONG);
    case PT_R4:
      return sizeof(FLOAT);
    case PT_DOUBLE:
    case PT_APPTIME:
      return sizeof(double);
    case PT_CURRENCY:
      return sizeof(CURRENCY);
    case PT_SYSTIME:
      return sizeof(FILETIME);
    case PT_I8:
      return sizeof(LARGE_INTEGER);
    case PT_CLSID:
      return sizeof(GUID);
    case PT_BINARY:
      return sizeof(SBinary);
    case PT_STRING8:
      return sizeof(LPSTR);
    case PT_UNICODE:
      return sizeof(LPWSTR);
    default:
      return 0;
  }
}

SCODE ConvertMulti(const pst::ltp::PropertyValue& value, ULONG tag, void* parent, SPropValue& out) {
  const ULONG base = PROP_TYPE(tag) & ~MV_FLAG;
  const std::size_t element = ElementSize(base);
  if (element == 0) return MAPI_E_NO_SUPPORT;
  auto count = value.MultiValueCount();
  if (!count) return StatusToScode(count.status());
  auto* array = static_cast<std::byte*>(AllocateMore(element * (*count ? *count : 1), parent));
  if (!array) return MAPI_E_NOT_ENOUGH_MEMORY;
  for (std::size_t i = 0; i < *count; ++i) {
    auto item = value.MultiValueAt(i);
    if (!item) return StatusToScode(item.status());
    SPropValue one{};
    const SCODE sc = ConvertSingle(*item, PROP_TAG(base, PROP_ID(tag)), parent, one);
    if (sc != S_OK) return sc;
    void* slot = array + i * element;
    if (base == PT_CLSID) {
      std::memcpy(slot, one.Value.lpguid, sizeof(GUID));
    } else {
      std::memcpy(slot, &one.Value, element);
    }
  }
  out.ulPropTag = tag;
  out.Value.MVbin.cValues = static_cast<ULONG>(*count);  // every array record starts with a count
  out.Value.MVbin.lpbin = reinterpret_cast<SBinary*>(array);
  return S_OK;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

}  // namespace

SCODE StatusToScode(const pst::Status& status) {
  switch (status.code()) {
    case pst::ErrorCode::kOk:
      return S_OK;
    case pst::ErrorCode::kNotFound:
      return MAPI_E_NOT_FOUND;
    case pst::ErrorCode::kCorrupt:
      return MAPI_E_CORRUPT_DATA;
    case pst::ErrorCode::kNotPst:
      return MAPI_E_INVALID_OBJECT;
    case pst::ErrorCode::kUnsupported:
      return MAPI_E_NO_SUPPORT;
    case pst::ErrorCode::kIo:
      return MAPI_E_DISK_ERROR;
    case pst::ErrorCode::kLimit:
      return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  return MAPI_E_CALL_FAILED;
}

void SetErrorValue(ULONG tag, SCODE code, SPropValue& out) {
  out.ulPropTag = CHANGE_PROP_TYPE(tag, PT_ERROR);
  out.Value.err = code;
}

SCODE SetBinaryValue(ULONG tag, std::span<const std::byte> bytes, void* parent, SPropValue& out) {
  LPBYTE copy = CopyBytes(bytes, parent);
  if (!copy) return MAPI_E_NOT_ENOUGH_MEMORY;
  out.ulPropTag = CHANGE_PROP_TYPE(tag, PT_BINARY);
  out.Value.bin.cb = static_cast<ULONG>(bytes.size());
  out.Value.bin.lpb = copy;
  return S_OK;
}

SCODE SetTextValue(ULONG tag, std::string_view utf8, void* parent, SPropValue& out) {
  out.ulPropTag = tag;
  if (PROP_TYPE(tag) == PT_UNICODE) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    void* text = AllocateMore((wide.size() + 1) * 2, parent);
    if (!text) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::memcpy(text, wide.data(), wide.size() * 2);
    out.Value.lpszW = static_cast<LPWSTR>(text);
    return S_OK;
  }
  out.ulPropTag = CHANGE_PROP_TYPE(tag, PT_STRING8);
  if (os::AnsiCodePage() == os::kUtf8CodePage) {
    out.Value.lpszA = CopyText(utf8, parent);
  } else {
    out.Value.lpszA = CopyText(os::Utf8ToAnsi(utf8), parent);
  }
  return out.Value.lpszA ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

SCODE ConvertStoredValue(const pst::ltp::PropertyValue& value, ULONG requested_tag, void* parent,
                         SPropValue& out) {
  const ULONG stored = value.type();
  ULONG wanted = PROP_TYPE(requested_tag);
  if (wanted == PT_UNSPECIFIED) wanted = stored;
  const ULONG stored_base = stored & ~MV_FLAG;
  const ULONG wanted_base = wanted & ~MV_FLAG;
  const bool same_shape = (stored & MV_FLAG) == (wanted & MV_FLAG);
  const bool compatible = same_shape && (stored_base == wanted_base ||
                                         (IsStringType(stored_base) && IsStringType(wanted_base)));
  if (!compatible) return MAPI_E_NOT_FOUND;
  const ULONG tag = PROP_TAG(wanted, PROP_ID(requested_tag));
  if (wanted & MV_FLAG) return ConvertMulti(value, tag, parent, out);
  return ConvertSingle(value, tag, parent, out);
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (t & 0x3F);
    }
    if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string WithoutSubjectPrefix(std::string text) {
  if (text.empty() || text[0] != '\x01') return text;
  std::size_t end = 1;
  if (end < text.size()) {
    ++end;  // the length character, with its continuation bytes when it is not ASCII
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(end);
}

}  // namespace mapilib
