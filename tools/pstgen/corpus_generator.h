// A deterministic synthetic mailbox: folders in several scripts nested a few levels deep, and
// messages with plain, HTML and RTF bodies (HTML or text encapsulated in RTF, native RTF),
// recipients, attachments of many sizes and embedded messages, all drawn from one seed.
#pragma once

#include <cstdint>

#include "tools/pstgen/text_samples.h"
#include "tools/pstwriter/message.h"
#include "tools/pstwriter/pst_builder.h"

namespace pstgen {

struct CorpusOptions {
  std::uint64_t seed = 1;
  std::uint64_t messages = 0;      // stop after this many messages (0: no limit)
  std::uint64_t size_mb = 0;       // stop when the content written reaches this (0: no goal)
  int folders = 12;                // mail folders besides the special ones
  bool one_folder = false;         // every message in the Inbox
  double html_share = 0.30;        // PR_HTML (with PR_BODY)
  double html_rtf_share = 0.20;    // HTML encapsulated in compressed RTF
  double text_rtf_share = 0.15;    // text encapsulated in compressed RTF
  double native_rtf_share = 0.05;  // RTF that is neither
  double attachment_share = 0.30;  // messages with attachments
  double embedded_share = 0.05;    // messages with an embedded message
  std::uint64_t max_attachment_bytes = 4 << 20;
  std::size_t max_body_bytes = 32 << 10;
  bool latin_only = false;  // for ANSI files: text their code page can hold
};

struct CorpusStats {
  std::uint64_t folders = 0;
  std::uint64_t messages = 0;
  std::uint64_t attachments = 0;
  std::uint64_t embedded = 0;
  std::uint64_t content_bytes = 0;  // bodies and attachment data
};

CorpusStats GenerateCorpus(pstwriter::PstBuilder& builder, const CorpusOptions& options);

// One random message of the corpus (depth > 0 for embedded messages); adds its content bytes to
// stats.
pstwriter::Message RandomMessage(Random& random, const CorpusOptions& options, int depth,
                                 CorpusStats& stats);

}  // namespace pstgen
