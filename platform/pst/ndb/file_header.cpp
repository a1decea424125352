// Decoding and checking of the file header.
#include "platform/pst/ndb/file_header.h"

#include <string>

#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

// Field offsets that differ between the 32-bit and 64-bit header layouts.
struct HeaderOffsets {
  std::size_t file_eof;
  std::size_t nbt_ref;
  std::size_t bbt_ref;
  std::size_t crypt_method;
};

constexpr HeaderOffsets kAnsiOffsets{168, 184, 192, 461};
constexpr HeaderOffsets kUnicodeOffsets{184, 216, 232, 513};
constexpr std::size_t kOffsetMagic = 0;
constexpr std::size_t kOffsetCrcPartial = 4;
constexpr std::size_t kOffsetClientMagic = 8;
constexpr std::size_t kOffsetVersion = 10;
constexpr std::size_t kOffsetClientVersion = 12;
constexpr std::size_t kOffsetCrcFull = 524;

Result<FormatVariant> VariantOf(std::uint16_t version) {
  if (version == 14 || version == 15) return FormatVariant::kAnsi;
  if (version == 23) return FormatVariant::kUnicode;
  if (version == 36) return FormatVariant::kUnicode4k;
  return Status::Unsupported("unsupported file format version " + std::to_string(version));
}

Status CheckCrc(std::span<const std::byte> data, std::size_t length, std::size_t stored_at,
                const char* which) {
  std::uint32_t stored = util::LoadLe32(data, stored_at);
  std::uint32_t computed = util::ComputeCrc(0, data.subspan(FileHeader::kCrcStart, length));
  if (stored == computed) return Status::Ok();
  return Status::Corrupt(std::string("file header damaged: ") + which +
                         " checksum mismatch (stored " + util::Hex(stored) + ", computed " +
                         util::Hex(computed) + ")");
}

}  // namespace

Result<FileHeader> FileHeader::Decode(std::span<const std::byte> data) {
  if (data.size() < kOffsetVersion + 2 || util::LoadLe32(data, kOffsetMagic) != kMagic) {
    return Status::NotPst("not a personal-folders file (no !BDN signature)");
  }
  FileHeader h;
  std::uint16_t client = util::LoadLe16(data, kOffsetClientMagic);
  if (client != kClientPst && client != kClientOst) {
    return Status::Unsupported("unsupported client signature " + util::Hex(client) +
                               " (neither a personal nor an offline store)");
  }
  h.offline_store = client == kClientOst;
  h.version = util::LoadLe16(data, kOffsetVersion);
  auto variant = VariantOf(h.version);
  PST_RETURN_IF_ERROR(variant);
  h.variant = *variant;
  const bool ansi = h.variant == FormatVariant::kAnsi;
  if (data.size() < (ansi ? kAnsiSize : kUnicodeSize)) {
    return Status::Corrupt("file header truncated: " + std::to_string(data.size()) + " bytes");
  }
  PST_RETURN_IF_ERROR(CheckCrc(data, kPartialCrcLength, kOffsetCrcPartial, "partial"));
  if (!ansi) PST_RETURN_IF_ERROR(CheckCrc(data, kFullCrcLength, kOffsetCrcFull, "full"));

  const HeaderOffsets& at = ansi ? kAnsiOffsets : kUnicodeOffsets;
  const FormatLayout& layout = h.layout();
  h.client_version = util::LoadLe16(data, kOffsetClientVersion);
  h.file_eof = util::LoadLeId(data, at.file_eof, layout.id_size);
  h.nbt_root = BlockRef::Load(data, at.nbt_ref, layout);
  h.bbt_root = BlockRef::Load(data, at.bbt_ref, layout);
  auto crypt = static_cast<std::uint8_t>(data[at.crypt_method]);
  if (!IsKnownCryptMethod(crypt)) {
    return Status::Unsupported("unsupported block encoding " + util::Hex(crypt));
  }
  h.crypt_method = static_cast<CryptMethod>(crypt);
  return h;
}

}  // namespace pst::ndb
