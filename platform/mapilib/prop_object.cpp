// GetProps, GetPropList and property streams shared by every object of the file.
#include "platform/mapilib/prop_object.h"

#include <cstring>

#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/utf8_text_stream.h"
#include "platform/mapilib/value_conversion.h"
#include "platform/mapilib/value_istream.h"
#include "platform/os/ansi_code_page.h"

namespace mapilib {

HRESULT GetPropsOf(const ObjectView& object, LPSPropTagArray tags, ULONG flags, ULONG* count,
                   LPSPropValue* values) {
  if (!count || !values) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  std::vector<ULONG> wanted;
  if (tags) {
    wanted.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
  } else {
    wanted = ObjectPropertyTags(object);
  }
  const bool unicode = (flags & MAPI_UNICODE) != 0;
  OwnedBuffer<SPropValue> owned(static_cast<LPSPropValue>(
      AllocateBuffer(sizeof(SPropValue) * (wanted.empty() ? 1 : wanted.size()))));
  if (!owned) return MAPI_E_NOT_ENOUGH_MEMORY;
  SPropValue* out = owned.get();
  bool errors = false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    ULONG tag = wanted[i];
    if (unicode && PROP_TYPE(tag) == PT_UNSPECIFIED) tag = CHANGE_PROP_TYPE(tag, PT_UNICODE);
    const SCODE sc = ReadObjectProperty(object, tag, out, out[i]);
    if (sc != S_OK) {
      SetErrorValue(wanted[i], sc, out[i]);
      errors = true;
    }
  }
  *count = static_cast<ULONG>(wanted.size());
  *values = owned.release();
  return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

HRESULT GetPropListOf(const ObjectView& object, LPSPropTagArray* tags) {
  if (!tags) return MAPI_E_INVALID_PARAMETER;
  const std::vector<ULONG> list = ObjectPropertyTags(object);
  auto* out = static_cast<LPSPropTagArray>(AllocateBuffer(CbNewSPropTagArray(list.size())));
  if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
  out->cValues = static_cast<ULONG>(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) out->aulPropTag[i] = list[i];
  *tags = out;
  return S_OK;
}

HRESULT OpenValueStream(const ObjectView& object,
                        const std::shared_ptr<const pst::messaging::MessageStore>& store, ULONG tag,
                        LPUNKNOWN* out) {
  const ULONG type = PROP_TYPE(tag);
  const auto id = static_cast<std::uint16_t>(PROP_ID(tag));
  if (type == PT_BINARY || type == PT_OBJECT) {
    auto stored = object.properties->FindTag(id);
    if (!stored) return MAPI_E_NOT_FOUND;
    if (stored->type != pst::ltp::prop_type::kBinary &&
        stored->type != pst::ltp::prop_type::kObject) {
      return MAPI_E_NOT_FOUND;
    }
    auto stream = object.properties->OpenStream(id);
    if (!stream) {
      NoteLoss(*store, "a value of the object", stream.status());
      return StatusToScode(stream.status());
    }
    auto shared = std::make_shared<pst::ltp::ValueStream>(std::move(*stream));
    auto* istream = new (std::nothrow) ValueIStream(std::move(shared), store);
    if (!istream) return MAPI_E_NOT_ENOUGH_MEMORY;
    if (id == PROP_ID(PR_RTF_COMPRESSED) && object.derived)
      istream->KeepDecompressed(object.derived->rtf);
    *out = istream;
    return S_OK;
  }
  if (type != PT_STRING8 && type != PT_UNICODE) return MAPI_E_NO_SUPPORT;
  if (const std::string* converted = ConvertedText(object, tag)) {
    const bool ansi = type == PT_STRING8 && os::AnsiCodePage() != os::kUtf8CodePage;
    auto* istream = ValueIStream::FromText(ansi ? os::Utf8ToAnsi(*converted) : *converted);
    if (!istream) return MAPI_E_NOT_ENOUGH_MEMORY;
    *out = istream;
    return S_OK;
  }
  auto stored = object.properties->FindTag(id);
  if (stored && stored->type == pst::ltp::prop_type::kUnicode && !IsSubjectTag(tag) &&
      (type == PT_UNICODE || os::AnsiCodePage() == os::kUtf8CodePage)) {
    // Unicode text streams from the file: as stored, or converted to UTF-8 while it is read. In
    // another ANSI code page the text is converted whole, below.
    auto stream = object.properties->OpenStream(id);
    if (!stream) {
      NoteLoss(*store, "a value of the object", stream.status());
      return StatusToScode(stream.status());
    }
    auto shared = std::make_shared<pst::ltp::ValueStream>(std::move(*stream));
    IStream* istream = type == PT_UNICODE ? new (std::nothrow)
                                                ValueIStream(std::move(shared), store)
                                          : NewUtf8TextStream(std::move(shared), store);
    if (!istream) return MAPI_E_NOT_ENOUGH_MEMORY;
    *out = istream;
    return S_OK;
  }
  void* holder = AllocateBuffer(sizeof(SPropValue));
  if (!holder) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* value = static_cast<LPSPropValue>(holder);
  const SCODE sc = ReadObjectProperty(object, tag, holder, *value);
  std::string bytes;
  if (sc == S_OK && type == PT_STRING8) {
    bytes = value->Value.lpszA;
  } else if (sc == S_OK) {
    std::size_t units = 0;
    while (value->Value.lpszW[units] != 0) ++units;
    bytes.assign(reinterpret_cast<const char*>(value->Value.lpszW), units * 2);
  }
  FreeBuffer(holder);
  if (sc != S_OK) return sc;
  auto* istream = ValueIStream::FromText(std::move(bytes));
  if (!istream) return MAPI_E_NOT_ENOUGH_MEMORY;
  *out = istream;
  return S_OK;
}

}  // namespace mapilib
