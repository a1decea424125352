// The bundled sample: a few dozen messages that between them show every body form (plain, HTML,
// HTML or text in compressed or uncompressed RTF, native RTF, none) and every attachment form
// (empty, small, larger than a block, by reference, embedded several deep), in folders nested a
// few levels, in several scripts.
#pragma once

#include "tools/pstwriter/pst_builder.h"

namespace pstgen {

// Fills builder with the sample; returns the number of messages written.
int WriteSampleStore(pstwriter::PstBuilder& builder);

// Adds to folder the messages whose headers the composition writes itself (originators, Exchange
// addresses, names to escape, long subjects, encoded words, message-typed and reference
// attachments, a message without flags), numbered from n; returns the next number.
int WriteHeaderCases(pstwriter::PstBuilder& builder, pstwriter::FolderId folder, int n);

}  // namespace pstgen
