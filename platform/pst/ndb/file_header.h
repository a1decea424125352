// HEADER: the first bytes of the file. Identifies the variant, the encoding of data blocks and the
// roots of the node and block B-trees; guarded by two CRCs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/ndb/block_encoding.h"
#include "platform/pst/ndb/block_ref.h"
#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/result.h"

namespace pst::ndb {

struct FileHeader {
  static constexpr std::uint32_t kMagic = 0x4E444221;  // dwMagic "!BDN"
  static constexpr std::uint16_t kClientPst = 0x4D53;  // wMagicClient "SM"
  static constexpr std::uint16_t kClientOst = 0x4F53;  // wMagicClient "SO"
  static constexpr std::size_t kAnsiSize = 512;
  static constexpr std::size_t kUnicodeSize = 564;
  static constexpr std::size_t kCrcStart = 8;            // CRCs start at wMagicClient
  static constexpr std::size_t kPartialCrcLength = 471;  // dwCRCPartial
  static constexpr std::size_t kFullCrcLength = 516;     // dwCRCFull (Unicode variants)
  // Bytes to read so that Decode sees any variant's whole header.
  static constexpr std::size_t kReadSize = kUnicodeSize;

  FormatVariant variant = FormatVariant::kUnicode;
  std::uint16_t version = 0;         // wVer
  std::uint16_t client_version = 0;  // wVerClient
  bool offline_store = false;        // client magic "SO"
  CryptMethod crypt_method = CryptMethod::kNone;
  std::uint64_t file_eof = 0;  // ROOT.ibFileEof
  BlockRef nbt_root;           // ROOT.BREFNBT
  BlockRef bbt_root;           // ROOT.BREFBBT

  const FormatLayout& layout() const { return FormatLayout::For(variant); }

  // Decodes and checks the header from the start of the file (data may be shorter than kReadSize
  // for a short file). kNotPst when the magic is absent, kCorrupt for a damaged header (CRCs,
  // truncation), kUnsupported for versions and encodings this reader does not know.
  static Result<FileHeader> Decode(std::span<const std::byte> data);
};

}  // namespace pst::ndb
