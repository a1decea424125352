// Header lines, the cache of value objects and their write-back into the lines.
#include "mime/mime_header.h"

#include "mime/header_fields.h"
#include "platform/os/text_compare.h"

namespace mime {

TMimeHeader::~TMimeHeader() = default;

std::string TMimeHeader::GetText() const { return mime::JoinLines(lines_); }

void TMimeHeader::SetText(std::string_view text) {
  DropCache();
  mime::SplitLines(text, lines_);
}

void TMimeHeader::SetLines(mime::LineList lines) {
  DropCache();
  lines_ = std::move(lines);
}

void TMimeHeader::DropCache() {
  to_.reset();
  cc_.reset();
  from_.reset();
  sender_.reset();
  reply_to_.reset();
  derived_reply_to_.reset();
  derived_sender_.reset();
  content_type_.reset();
  transfer_encoding_.reset();
  disposition_.reset();
}

std::string TMimeHeader::ReadField(std::string_view name) const {
  return mime::ReadField(lines_, name);
}

void TMimeHeader::WriteField(std::string_view name, std::string_view value) {
  mime::WriteField(lines_, name, value);
}

template <typename T>
T& TMimeHeader::Cached(std::unique_ptr<T>& slot, std::string_view field) {
  if (!slot) {
    slot = std::make_unique<T>();
    slot->SetText(ReadField(field));
    slot->SetChangeHandler([this](TMimeHeaderItem& item) { WriteBack(item); });
  }
  return *slot;
}

TMimeEmailAddressList& TMimeHeader::ToList() { return Cached(to_, "To"); }
TMimeEmailAddressList& TMimeHeader::CcList() { return Cached(cc_, "Cc"); }
TMimeEmailAddress& TMimeHeader::FromAddress() { return Cached(from_, "From"); }
TMimeEmailAddress& TMimeHeader::SenderAddress() { return Cached(sender_, "Sender"); }
TMimeEmailAddress& TMimeHeader::ReplyToAddress() { return Cached(reply_to_, "Reply-To"); }
TMimeContentType& TMimeHeader::ContentType() { return Cached(content_type_, "Content-Type"); }
TMimeContentTransferEncoding& TMimeHeader::ContentTransferEncoding() {
  return Cached(transfer_encoding_, "Content-Transfer-Encoding");
}
TMimeContentDisposition& TMimeHeader::ContentDisposition() {
  return Cached(disposition_, "Content-Disposition");
}

// The text of the first present address, else the Return-Path field.
TMimeEmailAddress& TMimeHeader::Derived(std::unique_ptr<TMimeEmailAddress>& slot,
                                        TMimeEmailAddress* first, TMimeEmailAddress* second,
                                        TMimeEmailAddress* third) {
  if (slot) return *slot;
  std::string text;
  if (first->Present())
    text = first->GetText();
  else if (second->Present())
    text = second->GetText();
  else if (third->Present())
    text = third->GetText();
  else
    text = ReadField("Return-Path");
  slot = std::make_unique<TMimeEmailAddress>();
  slot->SetText(text);
  slot->SetChangeHandler([this](TMimeHeaderItem& item) { WriteBack(item); });
  return *slot;
}

TMimeEmailAddress& TMimeHeader::DerivedReplyToAddress() {
  return Derived(derived_reply_to_, &ReplyToAddress(), &SenderAddress(), &FromAddress());
}

TMimeEmailAddress& TMimeHeader::DerivedSenderAddress() {
  TMimeEmailAddress* sender = &SenderAddress();
  TMimeEmailAddress* from = &FromAddress();
  return Derived(derived_sender_, sender, from, from);
}

void TMimeHeader::WriteBack(TMimeHeaderItem& item) {
  struct Slot {
    const TMimeHeaderItem* object;
    std::string_view field;
  };
  const Slot slots[] = {{to_.get(), "To"},
                        {cc_.get(), "Cc"},
                        {from_.get(), "From"},
                        {sender_.get(), "Sender"},
                        {reply_to_.get(), "Reply-To"},
                        {content_type_.get(), "Content-Type"},
                        {transfer_encoding_.get(), "Content-Transfer-Encoding"},
                        {disposition_.get(), "Content-Disposition"}};
  for (const Slot& slot : slots) {
    if (slot.object == &item) {
      WriteField(slot.field, item.GetText());
      return;
    }
  }
  if (&item == derived_reply_to_.get()) {
    WriteField("Reply-To", item.GetText());
    reply_to_.reset();
  } else if (&item == derived_sender_.get()) {
    WriteField("Sender", item.GetText());
    sender_.reset();
  }
}

void TMimeHeader::RoutedWrite(std::string_view name, std::string_view value) {
  struct Route {
    std::string_view field;
    TMimeHeaderItem* object;
  };
  const Route routes[] = {{"To", to_.get()},
                          {"Cc", cc_.get()},
                          {"From", from_.get()},
                          {"Sender", sender_.get()},
                          {"Reply-To", reply_to_.get()},
                          {"Content-Type", content_type_.get()},
                          {"Content-Transfer-Encoding", transfer_encoding_.get()},
                          {"Content-Disposition", disposition_.get()}};
  for (const Route& route : routes) {
    if (route.object && os::EqualsTextIgnoreCase(name, route.field)) {
      route.object->SetText(value);
      return;
    }
  }
  WriteField(name, value);
}

bool TMimeHeader::IsMultipart() { return ContentType().MatchesMimeType("multipart/"); }

std::string TMimeHeader::Filename() {
  std::string name = ContentDisposition().Filename();
  return name.empty() ? ContentType().Name() : name;
}

}  // namespace mime
