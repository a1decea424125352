// A small store written by the project's writer for the inspector's tests, with the lines its
// --tree and --messages listings must print, derived from what was put in: nested folders with
// and without a container class, names with tabs and non-ASCII letters, subjects with a prefix
// marker and line breaks, and attachments by value, by reference and embedded two deep.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/pstinfo/pstinfo_run.h"
#include "tools/pstinfo/sha256.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace pstinfo_test {

namespace pw = pstwriter;

struct TestStore {
  std::string path;
  pw::FolderId inbox = 0, sub = 0, calendar = 0, no_class = 0, drafts = 0;
  std::vector<pw::MessageId> inbox_messages, sub_messages, draft_messages;
  std::vector<std::string> tree_lines;
  std::vector<std::string> message_lines;
};

inline pw::Bytes PatternBytes(std::uint64_t seed, std::size_t size) {
  pw::Bytes bytes(size);
  pw::PatternSource(seed, size).Read(0, bytes);
  return bytes;
}

inline pw::Bytes TextBytes(const std::string& text) {
  pw::Bytes bytes(text.size());
  std::memcpy(bytes.data(), text.data(), text.size());
  return bytes;
}

inline std::string DigestOf(const pw::Bytes& bytes) {
  pstinfo::Sha256 sha;
  sha.Update(bytes);
  return pstinfo::ToHex(sha.Finish());
}

inline pw::Attachment FileAttachment(const std::string& name, const pw::Bytes& bytes) {
  return pw::MakeFileAttachment(name, std::make_shared<pw::MemorySource>(bytes));
}

// A message whose attachments are: a.bin, a reference, an embedded message (b.txt and a further
// embedded message with c.txt), a large d.bin spanning several blocks, and an empty file.
// Returns the message and appends the digests its line must show, in order.
inline pw::Message MessageWithAttachments(std::vector<std::string>& digests) {
  const pw::Bytes a = TextBytes("first attachment\n"), b = TextBytes("inside the embedded one");
  const pw::Bytes c = TextBytes("two levels down"), d = PatternBytes(7, 300000), empty;
  pw::Message inner = pw::MakeMail("inner", "I", "i@example.com", 1700000100);
  inner.attachments.push_back(FileAttachment("c.txt", c));
  pw::Message middle = pw::MakeMail("middle", "M", "m@example.com", 1700000050);
  middle.attachments.push_back(FileAttachment("b.txt", b));
  middle.attachments.push_back(pw::MakeEmbeddedAttachment("inner", std::move(inner)));
  pw::Message m = pw::MakeMail("\x01\x04RE: hello", "S", "s@example.com", 1700000000);
  m.attachments.push_back(FileAttachment("a.bin", a));
  m.attachments.push_back(pw::MakeReferenceAttachment("r.doc", "\\\\server\\share\\r.doc"));
  m.attachments.push_back(pw::MakeEmbeddedAttachment("middle", std::move(middle)));
  m.attachments.push_back(FileAttachment("d.bin", d));
  m.attachments.push_back(FileAttachment("empty.bin", empty));
  for (const pw::Bytes* bytes : {&a, &b, &c, &d, &empty}) digests.push_back(DigestOf(*bytes));
  return m;
}

// Test-name suffix for a file variant parameter.
inline std::string VariantName(const ::testing::TestParamInfo<pw::FileFormat>& info) {
  switch (info.param) {
    case pw::FileFormat::kAnsi:
      return "Ansi";
    case pw::FileFormat::kUnicode4k:
      return "Unicode4k";
    case pw::FileFormat::kUnicode:
      break;
  }
  return "Unicode";
}

inline std::string TreeLine(int depth, std::uint32_t id, std::size_t count,
                            const std::string& container, const std::string& name) {
  return std::to_string(depth) + '\t' + Hex(id) + '\t' + std::to_string(count) + '\t' + container +
         '\t' + name;
}

inline std::string MessageLine(std::uint32_t folder, std::uint32_t id, const std::string& subject,
                               std::size_t attachments,
                               const std::vector<std::string>& digests = {}) {
  std::string line =
      Hex(folder) + '\t' + Hex(id) + '\t' + subject + '\t' + std::to_string(attachments);
  for (const std::string& d : digests) line += '\t' + d;
  return line;
}

inline void AddMessages(pw::PstBuilder& b, TestStore& s) {
  std::vector<std::string> digests;
  s.inbox_messages.push_back(b.AddMessage(s.inbox, MessageWithAttachments(digests)));
  s.inbox_messages.push_back(
      b.AddMessage(s.inbox, pw::MakeMail("line\r\nbreak\tand tab", "S", "s@x", 1700000200)));
  pw::Message no_subject = pw::MakeMail("", "S", "s@x", 1700000300);
  no_subject.props.Remove(pw::tags::kSubject);
  s.inbox_messages.push_back(b.AddMessage(s.inbox, no_subject));
  s.sub_messages.push_back(b.AddMessage(s.sub, pw::MakeMail("\xC3\x9C"
                                                            "bersicht",
                                                            "S", "s@x", 1)));
  for (int i = 0; i < 2; ++i) {
    s.draft_messages.push_back(
        b.AddMessage(s.drafts, pw::MakeMail("draft " + std::to_string(i), "S", "s@x", 2)));
  }
  s.message_lines = {
      MessageLine(s.inbox, s.inbox_messages[0], "RE: hello", 5, digests),
      MessageLine(s.inbox, s.inbox_messages[1], "line  break and tab", 0),
      MessageLine(s.inbox, s.inbox_messages[2], "", 0),
      MessageLine(s.sub, s.sub_messages[0],
                  "\xC3\x9C"
                  "bersicht",
                  0),
      MessageLine(s.drafts, s.draft_messages[0], "draft 0", 0),
      MessageLine(s.drafts, s.draft_messages[1], "draft 1", 0),
  };
}

inline TestStore WriteTestStore(const std::string& path, pw::FileFormat format) {
  TestStore s;
  s.path = path;
  pw::PstBuilder b(path, {.format = format, .search_root = false});
  s.inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  s.sub = b.AddFolder(s.inbox, "Sub\tfolder");
  s.calendar = b.AddFolder(b.ipm_subtree(), "Kalender \xC3\xA4", "IPF.Appointment");
  s.no_class = b.AddFolder(b.ipm_subtree(), "No class", "");
  s.drafts = b.AddFolder(b.ipm_subtree(), "Drafts");
  b.SetSpecialFolder(pw::SpecialFolder::kInbox, s.inbox);
  AddMessages(b, s);
  b.Finish();
  s.tree_lines = {
      TreeLine(0, pw::PstBuilder::kRootFolder, 0, "-", ""),
      TreeLine(1, b.ipm_subtree(), 0, "-", "Top of Personal Folders"),
      TreeLine(2, s.inbox, 3, "IPF.Note", "Inbox"),
      TreeLine(3, s.sub, 1, "IPF.Note", "Sub folder"),
      TreeLine(2, s.calendar, 0, "IPF.Appointment", "Kalender \xC3\xA4"),
      TreeLine(2, s.no_class, 0, "-", "No class"),
      TreeLine(2, s.drafts, 2, "IPF.Note", "Drafts"),
  };
  return s;
}

}  // namespace pstinfo_test
