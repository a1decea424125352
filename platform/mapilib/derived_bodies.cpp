// Which body forms a message derives, and the derivations: HTML to encapsulating RTF (behind the
// stored form of the compressed-RTF header; made whole for HTML of ordinary size, streamed for
// larger), HTML to text, RTF to text.
#include "platform/mapilib/derived_bodies.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "platform/mapilib/html_to_rtf.h"
#include "platform/mapilib/html_to_text.h"
#include "platform/mapilib/pull_stream.h"
#include "platform/mapilib/value_conversion.h"
#include "platform/mapilib/value_istream.h"
#include "platform/os/ansi_code_page.h"
#include "platform/pst/ltp/codepage_text.h"
#include "platform/pst/messaging/property_tags.h"
#include "platform/pst/rtf/compressed_rtf_header.h"
#include "platform/pst/rtf/rtf_decompressor.h"
#include "support/rtf/rtf_extract.h"

namespace mapilib {
namespace {

using pst::ltp::ValueStream;

constexpr std::uint16_t kBodyId = PROP_ID(PR_BODY);
constexpr std::uint16_t kHtmlId = 0x1013;  // PR_HTML, binary or string
constexpr std::uint16_t kRtfId = PROP_ID(PR_RTF_COMPRESSED);
constexpr std::size_t kChunk = 64 * 1024;
// HTML up to this size is read once into memory and its RTF made whole; larger HTML is read twice
// (once to size the RTF, once to stream it) rather than held.
constexpr std::uint64_t kReadOnceSize = 1 << 20;
// GetProps derives a body form only from a source up to this size.
constexpr std::uint64_t kGetPropsSourceLimit = 32 * 1024;

bool IsMessage(const ObjectView& object) {
  return object.kind == ObjectKind::kMessage || object.kind == ObjectKind::kEmbeddedMessage;
}

bool Stores(const ObjectView& object, std::uint16_t id) {
  return object.properties->FindTag(id).has_value();
}

bool DerivesRtf(const ObjectView& object, ULONG tag) {
  return tag == PR_RTF_COMPRESSED && IsMessage(object) && !Stores(object, kRtfId) &&
         Stores(object, kHtmlId);
}

bool DerivesBody(const ObjectView& object, ULONG tag) {
  return PROP_ID(tag) == kBodyId &&
         (PROP_TYPE(tag) == PT_STRING8 || PROP_TYPE(tag) == PT_UNICODE) && IsMessage(object) &&
         !Stores(object, kBodyId) && (Stores(object, kHtmlId) || Stores(object, kRtfId));
}

// The stored HTML: its bytes as a stream and their code page. A string value is handed out as
// UTF-8 like every string; binary HTML is in the message's Internet code page.
struct StoredHtml {
  std::shared_ptr<ValueStream> bytes;
  std::uint32_t code_page = pst::ltp::kDefaultCodePage;
};

std::uint32_t HtmlCodePage(const ObjectView& object) {
  auto cpid = object.properties->Get(pst::messaging::tags::kInternetCodePage);
  if (cpid) {
    auto value = cpid->AsInt32();
    if (value && *value > 0) return static_cast<std::uint32_t>(*value);
  }
  return object.properties->code_page() ? object.properties->code_page()
                                        : pst::ltp::kDefaultCodePage;
}

pst::Result<StoredHtml> OpenStoredHtml(const ObjectView& object) {
  auto tag = object.properties->FindTag(kHtmlId);
  if (tag && tag->type == pst::ltp::prop_type::kBinary) {
    PST_ASSIGN_OR_RETURN(auto stream, object.properties->OpenStream(kHtmlId));
    return StoredHtml{std::make_shared<ValueStream>(std::move(stream)), HtmlCodePage(object)};
  }
  PST_ASSIGN_OR_RETURN(auto value, object.properties->Get(kHtmlId));
  PST_ASSIGN_OR_RETURN(auto text, value.AsUtf8());
  std::vector<std::byte> bytes(text.size());
  std::memcpy(bytes.data(), text.data(), text.size());
  return StoredHtml{std::make_shared<ValueStream>(ValueStream::FromBytes(std::move(bytes))),
                    pst::ltp::kUtf8CodePage};
}

// A read buffer for the stream: a chunk, or less when the whole value is smaller. Never
// zero-filled: only the bytes a read returns are looked at.
std::size_t ChunkFor(const ValueStream& stream) {
  return static_cast<std::size_t>(std::clamp<std::uint64_t>(stream.size(), 1, kChunk));
}

// Reads the stream in chunks, handing each to `take`; false when a read meets damaged data.
template <typename Take>
bool ForEachChunk(const ValueStream& stream, Take take) {
  const std::size_t size = ChunkFor(stream);
  const auto chunk = std::make_unique_for_overwrite<char[]>(size);
  for (std::uint64_t position = 0;;) {
    auto got = stream.ReadAt(position, std::as_writable_bytes(std::span<char>(chunk.get(), size)));
    if (!got) return false;
    if (*got == 0) return true;
    take(std::string_view(chunk.get(), *got));
    position += *got;
  }
}

bool ReadWhole(const ValueStream& stream, std::string& out) {
  return ForEachChunk(stream, [&](std::string_view piece) { out += piece; });
}

std::uint64_t FindingsPosition(const ObjectView& object) {
  return object.store->database().log().position();
}

// Keeps `copy` in the message's cache when reading it, from findings_before on, noted nothing.
template <typename Copy>
void KeepIfClean(const ObjectView& object, std::uint64_t findings_before,
                 const std::shared_ptr<const Copy>& copy,
                 std::shared_ptr<const Copy> DerivedBodyCache::*slot) {
  if (object.derived && FindingsPosition(object) == findings_before) object.derived->*slot = copy;
}

// The opened HTML read whole; kept for the message's other derivations when of ordinary size.
SCODE CopyHtml(const ObjectView& object, const StoredHtml& html, std::uint64_t findings_before,
               std::shared_ptr<const HtmlCopy>& out) {
  auto copy = std::make_shared<HtmlCopy>();
  copy->code_page = html.code_page;
  if (!ReadWhole(*html.bytes, copy->bytes)) return MAPI_E_CORRUPT_DATA;
  out = std::move(copy);
  if (out->bytes.size() <= kReadOnceSize)
    KeepIfClean(object, findings_before, out, &DerivedBodyCache::html);
  return S_OK;
}

// The stored HTML whole, from the message's copy when it keeps one.
SCODE ReadStoredHtml(const ObjectView& object, std::shared_ptr<const HtmlCopy>& out) {
  if (object.derived && object.derived->html) {
    out = object.derived->html;
    return S_OK;
  }
  const std::uint64_t findings_before = FindingsPosition(object);
  auto html = OpenStoredHtml(object);
  if (!html) return StatusToScode(html.status());
  return CopyHtml(object, *html, findings_before, out);
}

void AppendLittleEndian(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
}

// The stored ("MELA") form's header for raw_size bytes of RTF.
std::string StoredRtfHeader(std::uint32_t raw_size) {
  std::string header;
  AppendLittleEndian(header, raw_size + pst::rtf::CompressedRtfHeader::kSizeFieldsAfterCompSize);
  AppendLittleEndian(header, raw_size);
  AppendLittleEndian(header, pst::rtf::CompressedRtfHeader::kUncompressed);
  AppendLittleEndian(header, 0);  // no CRC for the stored form
  return header;
}

// PR_RTF_COMPRESSED made from the HTML while it is read.
class DerivedRtfStream final : public PullStream {
 public:
  DerivedRtfStream(StoredHtml html, std::uint32_t escaped_size,
                   std::shared_ptr<const pst::messaging::MessageStore> store)
      : html_(std::move(html)),
        head_(EncapsulatingRtfHead(html_.code_page)),
        raw_size_(
            static_cast<std::uint32_t>(head_.size() + escaped_size + kEncapsulatingRtfTail.size())),
        store_(std::move(store)) {}

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
    return Guarded("DerivedRtfStream::Stat", [&]() -> HRESULT {
      if (!stat) return STG_E_INVALIDPOINTER;
      *stat = STATSTG{};
      stat->type = 2;  // STGTY_STREAM
      stat->cbSize.QuadPart = pst::rtf::CompressedRtfHeader::kSize + raw_size_;
      return S_OK;
    });
  }

 private:
  HRESULT Produce(std::string& out, bool& ended) override {
    if (!started_) {
      started_ = true;
      out += StoredRtfHeader(raw_size_);
      out += head_;
      return S_OK;
    }
    if (!chunk_) {
      chunk_size_ = ChunkFor(*html_.bytes);
      chunk_ = std::make_unique_for_overwrite<char[]>(chunk_size_);
    }
    auto got = html_.bytes->ReadAt(
        position_, std::as_writable_bytes(std::span<char>(chunk_.get(), chunk_size_)));
    if (!got) return MAPI_E_CORRUPT_DATA;
    position_ += *got;
    if (*got == 0) {
      out += kEncapsulatingRtfTail;
      ended = true;
      return S_OK;
    }
    AppendEscapedHtml(std::string_view(chunk_.get(), *got), out);
    return S_OK;
  }

  StoredHtml html_;
  std::string head_;
  std::uint32_t raw_size_;
  std::shared_ptr<const pst::messaging::MessageStore> store_;
  bool started_ = false;
  std::uint64_t position_ = 0;
  std::unique_ptr<char[]> chunk_;  // reused for every read of the stream
  std::size_t chunk_size_ = 0;
};

std::string DecodeCodePage(std::string_view bytes, std::string_view code_page) {
  std::uint32_t number = pst::ltp::kDefaultCodePage;
  std::from_chars(code_page.data(), code_page.data() + code_page.size(), number);
  return pst::ltp::CodePageToUtf8(std::as_bytes(std::span<const char>(bytes)), number);
}

SCODE TextFromHtml(const ObjectView& object, std::string& text) {
  std::shared_ptr<const HtmlCopy> html;
  if (const SCODE sc = ReadStoredHtml(object, html); sc != S_OK) return sc;
  std::string bytes = html->bytes;
  std::erase(bytes, '\0');
  text = HtmlToText(DecodeCodePage(bytes, std::to_string(html->code_page)));
  return S_OK;
}

// Decompresses the stored RTF whole. The copy is kept for WrapCompressedRTFStream only when reading
// it noted no integrity finding, so that serving it instead of reading the value again changes
// nothing the caller can see.
SCODE DecompressStoredRtf(const ObjectView& object,
                          std::shared_ptr<const DecompressedRtfCopy>& out) {
  auto stream = object.properties->OpenStream(kRtfId);
  if (!stream) return StatusToScode(stream.status());
  const std::uint64_t findings_before = FindingsPosition(object);
  std::string compressed;
  if (!ReadWhole(*stream, compressed)) return MAPI_E_CORRUPT_DATA;
  auto copy = std::make_shared<DecompressedRtfCopy>();
  pst::rtf::RtfDecompressor decompressor;
  auto status = decompressor.Feed(std::as_bytes(std::span<const char>(compressed)), copy->rtf);
  if (status.ok()) status = decompressor.Finish();
  if (!status.ok()) return StatusToScode(status);
  copy->raw_size = decompressor.header().raw_size;
  copy->crc_mismatch = decompressor.crc_mismatch();
  out = std::move(copy);
  KeepIfClean(object, findings_before, out, &DerivedBodyCache::rtf);
  return S_OK;
}

SCODE TextFromRtf(const ObjectView& object, std::string& text) {
  std::shared_ptr<const DecompressedRtfCopy> rtf;
  if (const SCODE sc = DecompressStoredRtf(object, rtf); sc != S_OK) return sc;
  text = rtf::TakeFromRtf(rtf->rtf, rtf::Take::kText, DecodeCodePage);
  return S_OK;
}

SCODE DerivedText(const ObjectView& object, std::string& text) {
  if (object.derived && object.derived->text) {
    text = *object.derived->text;
    return S_OK;
  }
  const SCODE sc = Stores(object, kHtmlId) ? TextFromHtml(object, text) : TextFromRtf(object, text);
  if (sc == S_OK && object.derived) object.derived->text = text;
  return sc;
}

// The RTF GetProps made, as the stored form with its header; the wrapper is served the RTF itself.
HRESULT OpenMadeRtf(std::shared_ptr<const DecompressedRtfCopy> rtf, LPUNKNOWN* out) {
  auto* stream = ValueIStream::FromText(StoredRtfHeader(rtf->raw_size) + rtf->rtf);
  if (!stream) return MAPI_E_NOT_ENOUGH_MEMORY;
  stream->KeepDecompressed(std::move(rtf));
  *out = stream;
  return S_OK;
}

// The RTF made whole from HTML held in memory, kept for the message's later asks.
std::shared_ptr<const DecompressedRtfCopy> MakeRtf(const ObjectView& object, const HtmlCopy& html,
                                                   std::uint64_t findings_before) {
  auto rtf = std::make_shared<DecompressedRtfCopy>();
  rtf->rtf = EncapsulateHtml(html.bytes, html.code_page);
  rtf->raw_size = static_cast<std::uint32_t>(rtf->rtf.size());
  std::shared_ptr<const DecompressedRtfCopy> made = std::move(rtf);
  KeepIfClean(object, findings_before, made, &DerivedBodyCache::rtf);
  return made;
}

// Large HTML: the RTF is sized in one pass over the value and made while it is read.
HRESULT StreamDerivedRtf(StoredHtml html,
                         const std::shared_ptr<const pst::messaging::MessageStore>& store,
                         LPUNKNOWN* out) {
  std::uint64_t escaped = 0;
  const bool whole =
      ForEachChunk(*html.bytes, [&](std::string_view piece) { escaped += EscapedHtmlSize(piece); });
  if (!whole) return MAPI_E_CORRUPT_DATA;
  if (escaped > 0xFFFF0000u) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* stream = new (std::nothrow)
      DerivedRtfStream(std::move(html), static_cast<std::uint32_t>(escaped), store);
  if (!stream) return MAPI_E_NOT_ENOUGH_MEMORY;
  *out = stream;
  return S_OK;
}

HRESULT OpenDerivedRtf(const ObjectView& object,
                       const std::shared_ptr<const pst::messaging::MessageStore>& store,
                       LPUNKNOWN* out) {
  if (object.derived && object.derived->rtf) return OpenMadeRtf(object.derived->rtf, out);
  const std::uint64_t findings_before = FindingsPosition(object);
  std::shared_ptr<const HtmlCopy> html = object.derived ? object.derived->html : nullptr;
  if (!html) {
    auto opened = OpenStoredHtml(object);
    if (!opened) return StatusToScode(opened.status());
    if (opened->bytes->size() > kReadOnceSize)
      return StreamDerivedRtf(std::move(*opened), store, out);
    // A body of ordinary size is read from the file once and its RTF made in memory.
    if (const SCODE sc = CopyHtml(object, *opened, findings_before, html); sc != S_OK) return sc;
  }
  return OpenMadeRtf(MakeRtf(object, *html, findings_before), out);
}

// The RTF for GetProps, made whole from the HTML and kept for OpenProperty and the wrapper.
SCODE MakeRtfValue(const ObjectView& object, ULONG tag, void* parent, SPropValue& out) {
  const std::uint64_t findings_before = FindingsPosition(object);
  std::shared_ptr<const HtmlCopy> html;
  if (const SCODE sc = ReadStoredHtml(object, html); sc != S_OK) return sc;
  const auto rtf = MakeRtf(object, *html, findings_before);
  const std::string value = StoredRtfHeader(rtf->raw_size) + rtf->rtf;
  return SetBinaryValue(tag, std::as_bytes(std::span<const char>(value)), parent, out);
}

}  // namespace

HRESULT OpenDerivedBody(const ObjectView& message,
                        const std::shared_ptr<const pst::messaging::MessageStore>& store, ULONG tag,
                        LPCIID iid, LPUNKNOWN* out) {
  const bool rtf = DerivesRtf(message, tag);
  if (!rtf && !DerivesBody(message, tag)) return MAPI_E_NO_SUPPORT;
  if (iid && !(*iid == IID_IStream) && !(*iid == IID_ISequentialStream)) {
    return MAPI_E_INTERFACE_NOT_SUPPORTED;
  }
  if (rtf) return OpenDerivedRtf(message, store, out);
  std::string text;
  if (const SCODE sc = DerivedText(message, text); sc != S_OK) return sc;
  if (PROP_TYPE(tag) == PT_UNICODE) {
    const std::u16string wide = Utf8ToUtf16(text);
    text.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  } else {
    os::Utf8ToAnsiInPlace(text);
  }
  auto* stream = ValueIStream::FromText(std::move(text));
  if (!stream) return MAPI_E_NOT_ENOUGH_MEMORY;
  *out = stream;
  return S_OK;
}

bool KeepsConvertedText(const ObjectView& object, ULONG tag, const pst::ltp::PropertyValue& value) {
  const bool asked_both_ways =
      PROP_ID(tag) == kBodyId || PROP_ID(tag) == PROP_ID(PR_TRANSPORT_MESSAGE_HEADERS);
  return object.derived && asked_both_ways && PROP_TYPE(tag) == PT_STRING8 &&
         (value.type() == pst::ltp::prop_type::kUnicode ||
          value.type() == pst::ltp::prop_type::kString8);
}

void KeepConvertedText(const ObjectView& object, ULONG tag, std::string_view utf8,
                       std::uint64_t findings_before) {
  if (!object.derived || FindingsPosition(object) != findings_before) return;
  if (ConvertedText(object, tag)) return;
  object.derived->converted.emplace_back(PROP_ID(tag), utf8.substr(0, utf8.find('\0')));
}

const std::string* ConvertedText(const ObjectView& object, ULONG tag) {
  if (!object.derived || PROP_TYPE(tag) != PT_STRING8) return nullptr;
  for (const auto& [id, text] : object.derived->converted) {
    if (id == PROP_ID(tag)) return &text;
  }
  return nullptr;
}

std::optional<SCODE> ReadDerivedBody(const ObjectView& object, ULONG tag, void* parent,
                                     SPropValue& out) {
  const bool rtf = DerivesRtf(object, tag);
  if (!rtf && !DerivesBody(object, tag)) return std::nullopt;
  // Like a large stored value, a large derived one is for OpenProperty to stream.
  auto source = object.properties->OpenStream(Stores(object, kHtmlId) ? kHtmlId : kRtfId);
  if (source && source->size() > kGetPropsSourceLimit) return MAPI_E_NOT_ENOUGH_MEMORY;
  if (rtf) return MakeRtfValue(object, tag, parent, out);
  std::string text;
  if (const SCODE sc = DerivedText(object, text); sc != S_OK) return sc;
  return SetTextValue(tag, text, parent, out);
}

}  // namespace mapilib
