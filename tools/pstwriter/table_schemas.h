// The columns of the tables every folder and message has (the template tables of the store), and
// the conversion of their text columns to 8-bit text for ANSI files.
#pragma once

#include <cstdint>
#include <vector>

namespace pstwriter {

enum class TableKind {
  kHierarchy,
  kContents,
  kAssocContents,
  kSearchContents,
  kRecipients,
  kAttachments,
  kReceiveFolders,
  kOutgoingQueue,
};

// Column tags (besides row id and row version) with Unicode text types.
const std::vector<std::uint32_t>& SchemaColumns(TableKind kind);
// Tags as a file of the given variant stores them (PT_UNICODE -> PT_STRING8 in ANSI files).
std::vector<std::uint32_t> ForFile(const std::vector<std::uint32_t>& tags, bool unicode);
std::uint32_t TagForFile(std::uint32_t tag, bool unicode);

}  // namespace pstwriter
