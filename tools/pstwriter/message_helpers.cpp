// Message, recipient, attachment and body shortcuts.
#include "tools/pstwriter/message_helpers.h"

#include <algorithm>
#include <cstdint>

#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/rtf_body.h"

namespace pstwriter {

Message MakeMail(std::string subject, std::string sender_name, std::string sender_address,
                 std::int64_t unix_time) {
  Message m;
  std::uint64_t time = FileTimeFromUnix(unix_time);
  m.props.SetString(tags::kMessageClass, "IPM.Note")
      .SetString(tags::kSubject, std::move(subject))
      .SetString(tags::kSenderName, sender_name)
      .SetString(tags::kSenderEmailAddress, sender_address)
      .SetString(tags::kSenderAddrType, "SMTP")
      .SetString(tags::kSentRepresentingName, std::move(sender_name))
      .SetTime(tags::kClientSubmitTime, time)
      .SetTime(tags::kMessageDeliveryTime, time + 10000000ull * 60)
      .SetTime(tags::kCreationTime, time)
      .SetTime(tags::kLastModificationTime, time)
      .SetInt32(tags::kMessageFlags, tags::kMsgFlagRead)
      .SetInt32(tags::kImportance, 1)
      .SetInt32(tags::kPriority, 0)
      .SetInt32(tags::kSensitivity, 0);
  return m;
}

PropertyBag MakeRecipient(std::int32_t type, std::optional<std::string> name,
                          std::optional<std::string> address) {
  PropertyBag r;
  r.SetInt32(tags::kRecipientType, type)
      .SetInt32(tags::kObjectType, 6)
      .SetInt32(tags::kDisplayType, 0);
  if (name) r.SetString(tags::kDisplayName, *name);
  if (address) {
    r.SetString(tags::kEmailAddress, *address)
        .SetString(tags::kAddrType, "SMTP")
        .SetString(tags::kSmtpAddress, *address);
  }
  return r;
}

void SetDisplayRecipients(Message& message) {
  std::string lists[3];
  for (const PropertyBag& r : message.recipients) {
    const PropValue* type = r.Find(tags::kRecipientType);
    const PropValue* name = r.Find(tags::kDisplayName);
    if (!type || type->fixed < 1 || type->fixed > 3 || !name || name->text.empty()) continue;
    std::string& list = lists[type->fixed - 1];
    if (!list.empty()) list += "; ";
    list += name->text.front();
  }
  message.props.SetString(tags::kDisplayTo, lists[0])
      .SetString(tags::kDisplayCc, lists[1])
      .SetString(tags::kDisplayBcc, lists[2]);
}

namespace {

std::uint64_t ValuesSize(const PropertyBag& bag) {
  std::uint64_t size = 0;
  for (const auto& [id, value] : bag.values()) {
    size += sizeof value.fixed + value.bytes.size() + (value.stream ? value.stream->size() : 0);
    for (const std::string& text : value.text) size += text.size();
  }
  return size;
}

std::uint64_t WholeSize(const Message& message) {
  std::uint64_t size = ValuesSize(message.props);
  for (const PropertyBag& recipient : message.recipients) size += ValuesSize(recipient);
  for (const Attachment& attachment : message.attachments) {
    size += ValuesSize(attachment.props);
    if (attachment.embedded) size += WholeSize(*attachment.embedded);
  }
  return size;
}

}  // namespace

void SetMessageSize(Message& message) {
  message.props.Remove(tags::kMessageSize);
  message.props.SetInt32(tags::kMessageSize,
                         std::int32_t(std::min<std::uint64_t>(WholeSize(message), INT32_MAX)));
}

Attachment MakeFileAttachment(std::string filename, std::shared_ptr<const ByteSource> data,
                              std::string mime_type) {
  Attachment a;
  a.props.SetInt32(tags::kAttachMethod, tags::kAttachByValue)
      .SetInt32(tags::kAttachSize, std::int32_t(std::min<std::uint64_t>(data->size(), INT32_MAX)))
      .SetInt32(tags::kRenderingPosition, -1)
      .SetString(tags::kAttachFilename, filename)
      .SetString(tags::kAttachLongFilename, filename)
      .SetString(tags::kDisplayName, filename)
      .SetStream(tags::kAttachDataBin, std::move(data));
  if (!mime_type.empty()) a.props.SetString(tags::kAttachMimeTag, std::move(mime_type));
  return a;
}

Attachment MakeEmbeddedAttachment(std::string display_name, Message message) {
  Attachment a;
  a.props.SetInt32(tags::kAttachMethod, tags::kAttachEmbeddedMessage)
      .SetInt32(tags::kRenderingPosition, -1)
      .SetString(tags::kDisplayName, std::move(display_name));
  a.embedded = std::make_unique<Message>(std::move(message));
  return a;
}

Attachment MakeReferenceAttachment(std::string filename, std::string path) {
  Attachment a;
  a.props.SetInt32(tags::kAttachMethod, tags::kAttachByReference)
      .SetInt32(tags::kRenderingPosition, -1)
      .SetString(tags::kAttachFilename, filename)
      .SetString(tags::kAttachLongFilename, filename)
      .SetString(tags::kDisplayName, std::move(filename))
      .SetString(tags::kAttachPathname, path)
      .SetString(tags::kAttachLongPathname, std::move(path));
  return a;
}

void SetRtfBody(Message& message, std::string_view rtf, bool compressed) {
  message.props.SetBinary(tags::kRtfCompressed, CompressedRtfStream(rtf, compressed))
      .SetBool(tags::kRtfInSync, true);
}

void SetHtmlBody(Message& message, std::string_view html) {
  auto bytes = AsBytes(html);
  message.props.SetBinary(tags::kHtml, Bytes(bytes.begin(), bytes.end()));
}

}  // namespace pstwriter
