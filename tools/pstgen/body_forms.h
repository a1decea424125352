// Messages that between them hold every form a body takes in a file: HTML only (binary and string
// PR_HTML), HTML beside PR_BODY without RTF, native RTF only, RTF encapsulating HTML (with RTF-only
// stretches) or text (with nested groups and escapes), plain text only (with and without a stored
// terminator) and none. Text outside ASCII is in the scripts of the store's code page, so that the
// same messages also fit an ANSI file with a code page other than 1252.
#pragma once

#include <cstdint>

#include "tools/pstwriter/pst_builder.h"

namespace pstgen {

// Adds the messages to folder, numbering them from n; returns the next number.
int WriteBodyForms(pstwriter::PstBuilder& builder, pstwriter::FolderId folder, int n,
                   std::uint32_t code_page);

// A file of the body forms alone, in an Inbox; returns the number of messages written.
int WriteBodyFormStore(pstwriter::PstBuilder& builder, std::uint32_t code_page);

}  // namespace pstgen
