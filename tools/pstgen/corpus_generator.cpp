// Random folders and messages for the synthetic corpus.
#include "tools/pstgen/corpus_generator.h"

#include <memory>
#include <vector>

#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/rtf_body.h"

namespace pstgen {
namespace {

using namespace pstwriter;

constexpr std::int64_t kEpoch = 1577836800;  // 2020-01-01
constexpr int kMaxEmbedding = 3;

Script PickScript(Random& random, const CorpusOptions& options) {
  if (options.latin_only || random.Chance(0.5)) return Script::kLatin;
  return Script(1 + random.Below(kScriptCount - 1));
}

std::string HtmlOf(const std::string& text) {
  std::string html = "<html><head><meta charset=\"utf-8\"></head><body><p>";
  for (char c : text) {
    if (c == '<')
      html += "&lt;";
    else if (c == '>')
      html += "&gt;";
    else if (c == '&')
      html += "&amp;";
    else if (c == '\n')
      html += "<br>\n";
    else if (c != '\r')
      html += c;
  }
  return html + "</p></body></html>";
}

std::string TransportHeaders(const std::string& from, const std::string& to, std::int64_t t) {
  return "Received: from mx.example.net by mail.example.com; " + std::to_string(t) + "\r\nFrom: <" +
         from + ">\r\nTo: <" + to + ">\r\nMessage-ID: <" + std::to_string(t) + "." + from +
         ">\r\nMIME-Version: 1.0\r\n\r\n";
}

void SetBody(Random& random, const CorpusOptions& options, Message& m, const std::string& text) {
  double roll = double(random.Below(1000)) / 1000.0;
  bool compressed = random.Chance(0.9);
  m.props.SetString(tags::kBody, text);
  if ((roll -= options.html_share) < 0) {
    SetHtmlBody(m, HtmlOf(text));
  } else if ((roll -= options.html_rtf_share) < 0) {
    SetRtfBody(m, EncapsulateHtml(HtmlOf(text)), compressed);
  } else if ((roll -= options.text_rtf_share) < 0) {
    SetRtfBody(m, EncapsulateText(text), compressed);
  } else if ((roll -= options.native_rtf_share) < 0) {
    SetRtfBody(m, NativeRtf(text), compressed);
  }
}

void AddAttachments(Random& random, const CorpusOptions& options, Message& m, int depth,
                    CorpusStats& stats) {
  static const char* kExtensions[] = {".pdf", ".jpg", ".bin", ".docx", ".zip"};
  if (random.Chance(options.attachment_share)) {
    int count = 1 + int(random.Below(3));
    for (int i = 0; i < count; ++i) {
      std::uint64_t size =
          random.Chance(0.05) ? 0 : random.LogBetween(512, options.max_attachment_bytes);
      // One draw per statement, so that a seed makes the same file whatever the compiler.
      const char* extension = kExtensions[random.Below(5)];
      std::string name = "attachment-" + std::to_string(random.Below(100000)) + extension;
      m.attachments.push_back(
          MakeFileAttachment(name, std::make_shared<PatternSource>(random.Next(), size)));
      stats.content_bytes += size;
      ++stats.attachments;
    }
  }
  if (depth < kMaxEmbedding && random.Chance(options.embedded_share)) {
    Message inner = RandomMessage(random, options, depth + 1, stats);
    const PropValue* subject = inner.props.Find(tags::kSubject);
    m.attachments.push_back(
        MakeEmbeddedAttachment(subject ? subject->text.front() : "message", std::move(inner)));
    ++stats.embedded;
  }
}

}  // namespace

Message RandomMessage(Random& random, const CorpusOptions& options, int depth, CorpusStats& stats) {
  Script script = PickScript(random, options);
  std::int64_t t = kEpoch + std::int64_t(random.Below(5 * 365 * 86400));
  std::string from = MailAddress(random);
  std::string subject = Phrase(random, script, 3 + int(random.Below(6)));
  Message m = MakeMail(subject, PersonName(random, script), from, t);
  if (random.Chance(0.2)) m.props.SetString(tags::kSubject, "\x01\x04RE: " + subject);
  if (random.Chance(0.2)) m.props.SetInt32(tags::kMessageFlags, 0);  // unread

  int recipients = 1 + int(random.Below(4));
  for (int i = 0; i < recipients; ++i) {
    std::int32_t type = i == 0 ? tags::kRecipientTo : std::int32_t(1 + random.Below(3));
    std::string address = MailAddress(random);
    m.recipients.push_back(MakeRecipient(type, PersonName(random, script), address));
  }
  SetDisplayRecipients(m);
  std::string to = MailAddress(random);
  m.props.SetString(tags::kTransportMessageHeaders, TransportHeaders(from, to, t));

  std::string text = BodyText(random, script, random.LogBetween(64, options.max_body_bytes));
  stats.content_bytes += text.size();
  SetBody(random, options, m, text);
  AddAttachments(random, options, m, depth, stats);
  SetMessageSize(m);
  return m;
}

CorpusStats GenerateCorpus(PstBuilder& builder, const CorpusOptions& options) {
  Random random(options.seed);
  CorpusStats stats;
  std::vector<FolderId> folders;
  auto add = [&](FolderId parent, const std::string& name, const std::string& cls) {
    FolderId id = builder.AddFolder(parent, name, cls);
    ++stats.folders;
    return id;
  };
  FolderId inbox = add(builder.ipm_subtree(), "Inbox", "IPF.Note");
  builder.SetSpecialFolder(SpecialFolder::kInbox, inbox);
  FolderId sent = add(builder.ipm_subtree(), "Sent Items", "IPF.Note");
  builder.SetSpecialFolder(SpecialFolder::kSentItems, sent);
  FolderId deleted = add(builder.ipm_subtree(), "Deleted Items", "IPF.Note");
  builder.SetSpecialFolder(SpecialFolder::kDeletedItems, deleted);
  builder.SetSpecialFolder(SpecialFolder::kOutbox,
                           add(builder.ipm_subtree(), "Outbox", "IPF.Note"));
  add(builder.ipm_subtree(), "Calendar", "IPF.Appointment");
  add(builder.ipm_subtree(), "Contacts", "IPF.Contact");
  folders = {inbox, inbox, inbox, sent, deleted};
  for (int i = 0; i < options.folders; ++i) {
    FolderId parent =
        random.Chance(0.4) ? builder.ipm_subtree() : folders[random.Below(folders.size())];
    Script script = PickScript(random, options);
    folders.push_back(add(parent, Phrase(random, script, 1 + int(random.Below(2))), "IPF.Note"));
  }
  if (options.one_folder) folders = {inbox};
  const std::uint64_t goal = options.size_mb << 20;
  const std::uint64_t limit = options.messages ? options.messages : (goal ? ~0ull : 1000);
  while (stats.messages < limit && (goal == 0 || stats.content_bytes < goal)) {
    Message m = RandomMessage(random, options, 0, stats);
    builder.AddMessage(folders[random.Below(folders.size())], m);
    ++stats.messages;
  }
  return stats;
}

}  // namespace pstgen
