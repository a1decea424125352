// Base64 (RFC 2045 alphabet) in lines of 72 characters, each line ending with CR LF: the body of
// attachment parts, encoded a block at a time straight into the text being written.
#pragma once

#include <cstdint>
#include <limits>

#include "compose/byte_source.h"
#include "compose/text_sink.h"

namespace compose {

inline constexpr std::uint64_t kWholeSource = std::numeric_limits<std::uint64_t>::max();

// Writes to out the base64 lines of up to count bytes of source (kWholeSource: to its end). Every
// line holds 72 characters (54 bytes) except the last, which is padded with "="; every line ends
// with CR LF; no data at all gives one CR LF. Returns the number of bytes encoded.
std::uint64_t EncodeBase64Lines(ByteSource& source, TextSink& out,
                                std::uint64_t count = kWholeSource);

}  // namespace compose
