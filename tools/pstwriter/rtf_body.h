// Bodies in RTF for PR_RTF_COMPRESSED: HTML or plain text wrapped in RTF the way mail clients
// encapsulate them (\fromhtml1 with \*\htmltag groups, \fromtext), native RTF, and the two stored
// forms of the compressed-RTF stream (LZ77 "LZFu" and uncompressed "MELA").
#pragma once

#include <string>
#include <string_view>

#include "tools/pstwriter/byte_writer.h"

namespace pstwriter {

// RTF (ASCII) that carries html (UTF-8) for a reader that de-encapsulates it.
std::string EncapsulateHtml(std::string_view html);
// RTF that carries plain text (UTF-8) marked \fromtext.
std::string EncapsulateText(std::string_view text);
// Ordinary RTF with text (UTF-8) as one paragraph per line, neither HTML nor text encapsulated.
std::string NativeRtf(std::string_view text);

// The PR_RTF_COMPRESSED value for rtf: the compressed form when compress is true, else the
// uncompressed form (made by the reader's compressed-RTF library).
Bytes CompressedRtfStream(std::string_view rtf, bool compress);

}  // namespace pstwriter
