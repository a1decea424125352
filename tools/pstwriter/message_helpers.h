// Shortcuts for the usual shapes of mail: a message with sender, subject and times; recipients;
// attachments by value, by reference and embedded; bodies as text, HTML or RTF. Each sets plain
// properties on the builder's types, so a test can still remove or change any of them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tools/pstwriter/byte_source.h"
#include "tools/pstwriter/message.h"

namespace pstwriter {

// FILETIME of a POSIX time in seconds.
constexpr std::uint64_t FileTimeFromUnix(std::int64_t seconds) {
  return std::uint64_t(seconds + 11644473600LL) * 10000000ull;
}

// An "IPM.Note" with subject, sender and the submit, delivery, creation and modification times;
// marked read.
Message MakeMail(std::string subject, std::string sender_name, std::string sender_address,
                 std::int64_t unix_time);

// A recipient row (type: tags::kRecipientTo, kRecipientCc, kRecipientBcc); name and address may
// each be left out.
PropertyBag MakeRecipient(std::int32_t type, std::optional<std::string> name,
                          std::optional<std::string> address);
// Sets PR_DISPLAY_TO, PR_DISPLAY_CC and PR_DISPLAY_BCC from the recipients' names.
void SetDisplayRecipients(Message& message);

Attachment MakeFileAttachment(std::string filename, std::shared_ptr<const ByteSource> data,
                              std::string mime_type = "application/octet-stream");
Attachment MakeEmbeddedAttachment(std::string display_name, Message message);
Attachment MakeReferenceAttachment(std::string filename, std::string path);

// Sets PR_MESSAGE_SIZE, as mail clients store it on every message (and so in its folder's contents
// table): the sum of the sizes of the message's property values, its recipients' and its
// attachments' (an embedded message counted whole). Set it last, once the message is complete.
void SetMessageSize(Message& message);

// PR_RTF_COMPRESSED from rtf, compressed or in the uncompressed form, with PR_RTF_IN_SYNC.
void SetRtfBody(Message& message, std::string_view rtf, bool compressed);
// PR_HTML as bytes (UTF-8 text).
void SetHtmlBody(Message& message, std::string_view html);

}  // namespace pstwriter
