// Template table columns.
#include "tools/pstwriter/table_schemas.h"

#include "tools/pstwriter/property_bag.h"

namespace pstwriter {

const std::vector<std::uint32_t>& SchemaColumns(TableKind kind) {
  static const std::vector<std::uint32_t> kHierarchy = {
      0x0E300003, 0x0E330014, 0x0E340102, 0x0E380003, 0x3001001F, 0x36020003,
      0x36030003, 0x360A000B, 0x3613001F, 0x66350003, 0x66360003};
  static const std::vector<std::uint32_t> kContents = {
      0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x00390040, 0x0042001F, 0x0057000B,
      0x0058000B, 0x0070001F, 0x00710102, 0x0E03001F, 0x0E04001F, 0x0E060040, 0x0E070003,
      0x0E080003, 0x0E170003, 0x0E300003, 0x0E330014, 0x0E340102, 0x0E380003, 0x0E3C0102,
      0x0E3D0102, 0x10970003, 0x30080040, 0x30130102, 0x65C60003};
  static const std::vector<std::uint32_t> kAssoc = {
      0x001A001F, 0x0E070003, 0x0E170003, 0x3001001F, 0x6800001F, 0x6803000B, 0x68051003,
      0x682F001F, 0x70030003, 0x70040102, 0x70050102, 0x7006001F, 0x70070003};
  static const std::vector<std::uint32_t> kSearch = {
      0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x0042001F, 0x0057000B,
      0x0058000B, 0x0E03001F, 0x0E04001F, 0x0E05001F, 0x0E060040, 0x0E070003,
      0x0E080003, 0x0E170003, 0x0E2A000B, 0x30080040, 0x67F10003};
  static const std::vector<std::uint32_t> kRecipients = {
      0x0C150003, 0x0E0F000B, 0x0FF90102, 0x0FFE0003, 0x0FFF0102, 0x3001001F,
      0x3002001F, 0x3003001F, 0x300B0102, 0x39000003, 0x39FF001F, 0x3A40000B};
  static const std::vector<std::uint32_t> kAttachments = {0x0E200003, 0x3704001F, 0x37050003,
                                                          0x370B0003};
  static const std::vector<std::uint32_t> kReceive = {0x001A001F, 0x66050003};
  static const std::vector<std::uint32_t> kOutgoing = {0x00390040, 0x0E100003, 0x0E140003};
  switch (kind) {
    case TableKind::kHierarchy:
      return kHierarchy;
    case TableKind::kContents:
      return kContents;
    case TableKind::kAssocContents:
      return kAssoc;
    case TableKind::kSearchContents:
      return kSearch;
    case TableKind::kRecipients:
      return kRecipients;
    case TableKind::kAttachments:
      return kAttachments;
    case TableKind::kReceiveFolders:
      return kReceive;
    case TableKind::kOutgoingQueue:
      return kOutgoing;
  }
  return kHierarchy;
}

std::uint32_t TagForFile(std::uint32_t tag, bool unicode) {
  if (unicode) return tag;
  std::uint16_t type = std::uint16_t(tag);
  if (type == kPtUnicode) return (tag & 0xFFFF0000u) | kPtString8;
  if (type == kPtMvUnicode) return (tag & 0xFFFF0000u) | 0x101E;
  return tag;
}

std::vector<std::uint32_t> ForFile(const std::vector<std::uint32_t>& tags, bool unicode) {
  std::vector<std::uint32_t> out;
  out.reserve(tags.size());
  for (std::uint32_t tag : tags) out.push_back(TagForFile(tag, unicode));
  return out;
}

}  // namespace pstwriter
