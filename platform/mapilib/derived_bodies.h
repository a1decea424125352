// Body forms a message does not store, derived from the one it stores as the platform's store
// derives them: PR_RTF_COMPRESSED encapsulating the HTML of a message that holds HTML only, and
// PR_BODY as plain text from the HTML, else from the RTF. The RTF derived from large HTML streams:
// it is made piece by piece while it is read, never held whole.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/object_properties.h"

namespace mapilib {

// The RTF of a message, decompressed whole to derive its text or made from its HTML for GetProps:
// WrapCompressedRTFStream serves these bytes instead of decompressing the value a second time.
struct DecompressedRtfCopy {
  std::string rtf;
  std::uint32_t raw_size = 0;  // the header's RAWSIZE, which the wrapping stream's Stat reports
  bool crc_mismatch = false;
};

// The stored HTML of a message, read whole, and its code page.
struct HtmlCopy {
  std::string bytes;
  std::uint32_t code_page = 0;
};

// What a message derived, kept while it is open so that GetProps and OpenProperty derive it once:
// the text; the RTF, decompressed from the stored value or made from the HTML; the HTML read on the
// way, when it is of ordinary size. Copies are kept only when reading them noted no integrity
// finding, so that serving them instead of reading again changes nothing the caller sees.
struct DerivedBodyCache {
  std::optional<std::string> text;
  std::shared_ptr<const DecompressedRtfCopy> rtf;
  std::shared_ptr<const HtmlCopy> html;
  // Stored text GetProps converted to 8-bit (UTF-8), by property id, for OpenProperty to serve.
  std::vector<std::pair<std::uint16_t, std::string>> converted;
};

// OpenProperty for a derived body form: the stream, a failure code, or MAPI_E_NO_SUPPORT when
// `tag` is not a body form this message derives (it stores it, or has nothing to derive it from).
HRESULT OpenDerivedBody(const ObjectView& message,
                        const std::shared_ptr<const pst::messaging::MessageStore>& store, ULONG tag,
                        LPCIID iid, LPUNKNOWN* out);

// Stored text that both GetProps and OpenProperty are asked for (the body, the transport headers)
// is converted once: GetProps keeps its 8-bit text, cut at the terminator, when reading the value
// noted no integrity finding, and OpenProperty serves it.
bool KeepsConvertedText(const ObjectView& object, ULONG tag, const pst::ltp::PropertyValue& value);
void KeepConvertedText(const ObjectView& object, ULONG tag, std::string_view utf8,
                       std::uint64_t findings_before);
const std::string* ConvertedText(const ObjectView& object, ULONG tag);

// GetProps for a derived body form; nullopt when `tag` is not one for this object.
std::optional<SCODE> ReadDerivedBody(const ObjectView& object, ULONG tag, void* parent,
                                     SPropValue& out);

}  // namespace mapilib
