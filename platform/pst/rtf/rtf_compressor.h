// Compressed RTF writer for the test-file writer: the LZ77 form ("LZFu", with the preloaded
// dictionary) or the stored form ("MELA"), header and CRC included.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace pst::rtf {

// The PR_RTF_COMPRESSED value for raw RTF; compressed selects LZFu over MELA.
std::vector<std::byte> CompressRtf(std::string_view raw, bool compressed);

}  // namespace pst::rtf
