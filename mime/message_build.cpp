// Building and changing a message: finding parts by type, turning a part into a multipart, the
// plain-text and HTML parts, attachments.
#include "mime/base64_codec.h"
#include "mime/mime_message.h"
#include "mime/quoted_printable_codec.h"
#include "platform/os/text_compare.h"
#include "support/diag/error.h"

namespace mime {

TMimeMessage* TMimeMessage::FindPart(std::string_view mime_type) {
  if (IsOfType(mime_type)) return this;
  if (sub_parts_->Count() == 0) {
    bool untyped_plain =
        header_->MimeType().empty() && os::EqualsTextIgnoreCase(mime_type, "text/plain");
    return untyped_plain ? this : nullptr;
  }
  if (IsOfType("multipart/mixed")) return sub_parts_->Item(0).FindPart(mime_type);
  if (IsOfType("multipart/alternative")) {
    for (int i = sub_parts_->Count() - 1; i >= 0; --i)
      if (TMimeMessage* hit = sub_parts_->Item(i).FindPart(mime_type)) return hit;
  }
  return nullptr;
}

void TMimeMessage::ConvertToMultipart(std::string_view multipart_type) {
  if (!header_->ContentType().GetText().empty()) {
    auto child = std::make_unique<TMimeMessage>();
    child->header_->ContentType().SetText(header_->ContentType().GetText());
    child->header_->ContentTransferEncoding().SetText(header_->ContentTransferEncoding().GetText());
    child->header_->ContentDisposition().SetText(header_->ContentDisposition().GetText());
    child->body_->Lines() = body_->Lines();
    sub_parts_->MoveTo(*child->sub_parts_);
    sub_parts_->Add(std::move(child));
  }
  NewGuid();
  std::string boundary = uid_;
  for (char& c : boundary)
    if (c == '-') c = '_';
  header_->ContentType().SetText(std::string(multipart_type) + "; boundary=\"Next_Part_" +
                                 boundary + "\"");
  header_->ContentTransferEncoding().SetText("");
  header_->ContentDisposition().SetText("");
  body_->Lines() = {"This is a multi-part message"};
}

// The part of mime_type, created and placed beside a part of other_type when missing. In the two
// placements beside an existing other_type part the new part is appended when append is set,
// otherwise put first.
TMimeMessage& TMimeMessage::CreatePart(std::string_view mime_type, std::string_view other_type,
                                       bool append) {
  if (TMimeMessage* found = FindPart(mime_type)) return *found;
  if (header_->ContentType().GetText().empty()) {
    header_->ContentType().SetMimeType(mime_type);
    return *this;
  }
  auto part = std::make_unique<TMimeMessage>();
  part->header_->ContentType().SetMimeType(mime_type);
  TMimeMessage& created = *part;
  auto place = [&](TMimeMessage& holder) {
    holder.ConvertToMultipart("multipart/alternative");
    if (append)
      holder.sub_parts_->Add(std::move(part));
    else
      holder.sub_parts_->Insert(0, std::move(part));
  };
  if (IsOfType(other_type)) {
    place(*this);
  } else if (IsOfType("multipart/mixed")) {
    // A multipart/mixed without parts simply receives the new part first.
    if (sub_parts_->Count() > 0 && sub_parts_->Item(0).IsOfType(other_type))
      place(sub_parts_->Item(0));
    else
      sub_parts_->Insert(0, std::move(part));
  } else {
    return KeepUnplaced(std::move(part));
  }
  return created;
}

TMimeMessage& TMimeMessage::Plaintext() { return CreatePart("text/plain", "text/html", false); }

TMimeMessage& TMimeMessage::Html() { return CreatePart("text/html", "text/plain", true); }

bool TMimeMessage::IsAttachment() const {
  if (IsOfType("image/") || IsOfType("application/")) return true;
  if (!parent_ || parent_->IsOfType("multipart/alternative")) return false;
  if (parent_->IsOfType("multipart/digest") || parent_->IsOfType("message/rfc822")) return true;
  return parent_->sub_parts_->Count() == 0 || &parent_->sub_parts_->Item(0) != this;
}

void TMimeMessage::AssignHtmlPart(std::string_view html) {
  body_->SetText(html);
  header_->ContentType().SetText("text/html");
}

void TMimeMessage::AssignPlaintextPart(std::string_view text, std::string_view charset) {
  body_->SetText(text);
  header_->ContentType().SetText("text/plain; charset=\"" + std::string(charset) + "\"");
}

TMimeMessage& TMimeMessage::AttachBinary(std::string_view data, std::string_view mime_type,
                                         std::string_view encoding, std::string_view file_name,
                                         std::string_view charset) {
  if (!IsOfType("multipart/mixed")) ConvertToMultipart("multipart/mixed");
  auto part = std::make_unique<TMimeMessage>();
  mime::LineList& lines = part->body_->Lines();
  if (os::EqualsTextIgnoreCase(encoding, "base64")) {
    mime::EncodeBase64Lines(data, lines);
  } else if (os::EqualsTextIgnoreCase(encoding, "quoted-printable")) {
    mime::EncodeQuotedPrintableLines(data, lines);
  } else {
    // 7bit and every other encoding: the data as text lines, never dropped.
    mime::SplitLines(data, lines);
  }
  std::string type(mime_type);
  if (!charset.empty()) type += "; charset=\"" + std::string(charset) + "\"";
  part->header_->ContentType().SetText(type);
  std::string disposition = "attachment";
  if (!file_name.empty()) disposition += "; filename=\"" + std::string(file_name) + "\"";
  part->header_->ContentDisposition().SetText(disposition);
  part->header_->ContentTransferEncoding().SetText(encoding);
  TMimeMessage& attached = *part;
  sub_parts_->Add(std::move(part));
  return attached;
}

TMimeMessage& TMimeMessage::AttachMessageText(std::string_view text) {
  if (!IsOfType("multipart/")) ConvertToMultipart("multipart/mixed");
  auto holder = std::make_unique<TMimeMessage>();
  holder->header_->ContentType().SetText("message/rfc822");
  auto inner = std::make_unique<TMimeMessage>();
  inner->LoadFromString(text);
  holder->sub_parts_->Add(std::move(inner));
  TMimeMessage& attached = *holder;
  sub_parts_->Add(std::move(holder));
  return attached;
}

TMimeMessage& TMimeMessage::AttachMessage(dispatch::IDispatchLike* object) {
  if (!object) throw diag::EPlError("AttachMessage needs a message object");
  if (auto* message = dynamic_cast<TMimeMessage*>(object))
    return AttachMessageText(message->SaveToString());
  dispatch::DISPID id = 0;
  const std::u16string name = u"SaveToString";
  object->GetIDsOfNames(dispatch::IID_NULL, std::span<const std::u16string>(&name, 1), 0,
                        std::span<dispatch::DISPID>(&id, 1));
  dispatch::DISPPARAMS params;
  dispatch::TVariant result;
  dispatch::HRESULT status = object->Invoke(id, dispatch::IID_NULL, 0, dispatch::DISPATCH_METHOD,
                                            params, &result, nullptr, nullptr);
  if (dispatch::Failed(status)) throw diag::EPlError("The object cannot be saved as message text");
  return AttachMessageText(result.ToString());
}

}  // namespace mime
